// Where the settings file lies when no file is named.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdlib>
#include <optional>
#include <string>

#include "settings/OpenRegistry.h"

namespace {

// Sets or unsets an environment variable for the time of one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RegistryLocation, FollowsTheVariableThenXdgConfigHomeThenHome) {
    const ScopedVariable home("HOME", "/home/kanzlei");
    {
        const ScopedVariable file("ANSCHRIFTENWANDLER_REGISTRY", "/srv/einstellungen.reg");
        const ScopedVariable xdg("XDG_CONFIG_HOME", "/etc/xdg-user");
        EXPECT_EQ(settings::registryFileLocation(), "/srv/einstellungen.reg");
    }
    const ScopedVariable noFile("ANSCHRIFTENWANDLER_REGISTRY", nullptr);
    {
        const ScopedVariable xdg("XDG_CONFIG_HOME", "/etc/xdg-user");
        EXPECT_EQ(settings::registryFileLocation(), "/etc/xdg-user/anschriftenwandler/registry.reg");
    }
    {
        const ScopedVariable relative("XDG_CONFIG_HOME", "relativ");
        EXPECT_EQ(settings::registryFileLocation(), "/home/kanzlei/.config/anschriftenwandler/registry.reg");
    }
    {
        const ScopedVariable empty("XDG_CONFIG_HOME", "");
        EXPECT_EQ(settings::registryFileLocation(), "/home/kanzlei/.config/anschriftenwandler/registry.reg");
    }
    const ScopedVariable noXdg("XDG_CONFIG_HOME", nullptr);
    const ScopedVariable noHome("HOME", nullptr);
    EXPECT_THROW(settings::registryFileLocation(), std::runtime_error);
}

}  // namespace
#endif

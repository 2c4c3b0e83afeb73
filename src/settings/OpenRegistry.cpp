#include "settings/OpenRegistry.h"

#include <cstdlib>
#include <stdexcept>

#include "settings/FileRegistry.h"
#include "settings/Texts.h"
#include "text/Utf8Path.h"

#ifdef _WIN32
#include "settings/win32/Win32Registry.h"
#endif

namespace settings {

namespace {

constexpr const char* kFileVariable = "ANSCHRIFTENWANDLER_REGISTRY";

// A variable's value as a path; none when it is unset or empty.
std::optional<std::filesystem::path> environmentPath(const char* name) {
#ifdef _WIN32
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wideName.c_str());
#else
    const char* value = std::getenv(name);
#endif
    if (value == nullptr || *value == 0) return std::nullopt;
    return std::filesystem::path(value);
}

}  // namespace

std::filesystem::path registryFileLocation() {
    if (auto file = environmentPath(kFileVariable)) return *file;
    std::filesystem::path config;
    if (auto xdg = environmentPath("XDG_CONFIG_HOME"); xdg && xdg->is_absolute()) {
        config = *xdg;
    } else if (auto home = environmentPath("HOME")) {
        config = *home / ".config";
    } else {
        throw std::runtime_error(texts::noPlaceForFile(kFileVariable));
    }
    return config / "anschriftenwandler" / "registry.reg";
}

std::unique_ptr<RegistryApi> openRegistry(const std::optional<std::string>& file, StopWaiting stopWaiting) {
    if (file) {
        return std::make_unique<FileRegistry>(text::pathOf(*file), stopWaiting);
    }
#ifdef _WIN32
    if (!environmentPath(kFileVariable)) return std::make_unique<Win32Registry>();
#endif
    return std::make_unique<FileRegistry>(registryFileLocation(), stopWaiting);
}

}  // namespace settings

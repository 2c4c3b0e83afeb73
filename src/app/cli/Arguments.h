#pragma once
// The words after a command: options "--name value" (or "--name=value") or "--flag", and
// positional words; "--" ends the options.

#include <cstdio>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/Texts.h"

namespace cli {

// Bad usage: the tool prints the message and the command's help, and ends with code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs a command body: bad usage prints its message and the command's help and answers 2;
// any other failure that reaches here prints its message and answers 1.
template <class Body>
int withUsage(std::string_view help, Body&& body) {
    try {
        return body();
    } catch (const UsageError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::fwrite(help.data(), 1, help.size(), stderr);
        return 2;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(texts::kOutOfMemory.size()), texts::kOutOfMemory.data());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

// Writes a help or version text to stdout: 0, or 1 when it could not be written (a full disk,
// a closed pipe), saying so on stderr.
int printHelp(std::string_view text);

class Arguments {
public:
    // valued: options that take a value; flags: options that take none. Throws UsageError.
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
              const std::set<std::string>& flags);

    bool has(const std::string& option) const { return options_.count(option) > 0; }
    std::optional<std::string> value(const std::string& option) const;
    std::string required(const std::string& option) const;
    const std::vector<std::string>& positional() const { return positional_; }
    // For a command that takes no positional word: throws UsageError naming the first one.
    void refusePositional() const;
    bool wantsHelp() const { return help_; }

private:
    void take(const std::string& option, std::string value);

    std::map<std::string, std::string> options_;
    std::vector<std::string> positional_;
    bool help_ = false;
};

}  // namespace cli

#pragma once
// The words after a command: options "--name value" or "--flag", and positional words.

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Bad usage: the tool prints the message and the command's help, and ends with code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Arguments {
public:
    // valued: options that take a value; flags: options that take none. Throws UsageError.
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued, const std::set<std::string>& flags);

    bool has(const std::string& option) const { return options_.count(option) > 0; }
    std::optional<std::string> value(const std::string& option) const;
    std::string required(const std::string& option) const;
    const std::vector<std::string>& positional() const { return positional_; }
    bool wantsHelp() const { return help_; }

private:
    std::map<std::string, std::string> options_;
    std::vector<std::string> positional_;
    bool help_ = false;
};

}  // namespace cli

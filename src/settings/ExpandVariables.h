#pragma once
// The environment variables in a REG_EXPAND_SZ value, expanded as Windows'
// ExpandEnvironmentStrings does: %NAME% becomes the variable's value; a name that is not set,
// and a lone %, stay as they are written.

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The value of a variable, none when it is not set.
using VariableLookup = std::optional<std::string> (*)(std::string_view name);

// The variable from the program's environment (on Windows its name without regard to case).
std::optional<std::string> environmentVariable(std::string_view name);

std::string expandVariables(std::string_view text, VariableLookup lookup = environmentVariable);

}  // namespace settings

#pragma once
// Names compared without regard to case, as the registry and the database compare them: the
// letters of Windows-1252, the only ones the program's names use, equal in either case.

#include <string>
#include <string_view>

namespace text {

// Equal names have equal lengths: every letter and its other case take as many UTF-8 bytes.
// A byte that is no UTF-8 equals only itself.
bool sameName(std::string_view a, std::string_view b);

// The name with every letter in upper case: equal for two names exactly when sameName holds.
std::string foldedName(std::string_view name);

}  // namespace text

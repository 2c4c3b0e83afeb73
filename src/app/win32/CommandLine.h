#pragma once
// The command line as the window's start-up takes it: everything after the program name.

#include <string_view>

namespace app::win32 {

// The text after the program name (and the blanks that end it), as a whole. The program name
// ends at the first blank or tab outside double quotes, as Windows reads its first argument.
std::wstring_view argumentsOf(std::wstring_view commandLine);

}  // namespace app::win32

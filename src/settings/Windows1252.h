#pragma once
// Windows-1252, the ANSI code page of a German Windows, in which regedit reads and writes its
// older REGEDIT4 files. The five bytes the code page leaves unassigned stand for the control
// characters of the same number, as Windows converts them, so that every byte reads back.

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The text of bytes in Windows-1252, as UTF-8.
std::string utf8FromWindows1252(std::string_view bytes);
// UTF-8 text in Windows-1252; none when a character has no byte there.
std::optional<std::string> windows1252FromUtf8(std::string_view utf8);

}  // namespace settings

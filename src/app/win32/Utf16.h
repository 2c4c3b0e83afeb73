#pragma once
// UTF-8 inside, UTF-16 at the Win32 calls: the two conversions between them.

#include <string>
#include <string_view>

namespace app::win32 {

std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace app::win32

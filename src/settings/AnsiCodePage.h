#pragma once
// The ANSI code page in which texts cross the registry functions: Windows-1252, the code page
// of German and Western European Windows. Inside the program texts are UTF-8.

#include <string>
#include <string_view>

namespace settings {

// The character of a byte. The five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the control characters of the same number, as Windows maps them.
char32_t ansiCharacter(unsigned char byte);
// The byte of a character; '?' for a character the code page does not have.
char ansiByte(char32_t character);

std::string ansiToUtf8(std::string_view ansi);
// Characters outside the code page and malformed UTF-8 bytes become '?'.
std::string utf8ToAnsi(std::string_view utf8);

}  // namespace settings

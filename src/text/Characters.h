#pragma once
// Character positions in UTF-8 text. Field texts count characters, not bytes; these helpers
// are the only place that turns a character position into a byte offset.

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// What is left of s without its leading and trailing spaces, viewed; empty when nothing is.
std::string_view withoutSpaces(std::string_view s);

std::size_t charCount(std::string_view s);
// Byte offset of the character at 0-based index (s.size() when past the end).
std::size_t byteOffset(std::string_view s, std::size_t charIndex);
// Characters from 1-based position start on, at most count of them; empty past the end.
std::string mid(std::string_view s, std::size_t start, std::size_t count = std::string::npos);
std::string left(std::string_view s, std::size_t count);
// The character at 1-based position (empty text past the end).
std::string_view charAt(std::string_view s, std::size_t position);
// 1-based character position of the first occurrence of needle, 0 when absent.
std::size_t find(std::string_view haystack, std::string_view needle);
// Removes leading and trailing space characters (only U+0020).
std::string trimSpaces(std::string_view s);
// The same for a text its caller gives up: trimmed in place, without a copy.
std::string trimSpaces(std::string&& s);

}  // namespace text

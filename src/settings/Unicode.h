#pragma once
// UTF-8 and UTF-16 as the settings file and the registry's string data need them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// Decodes the character at pos and moves pos past it; false for a malformed sequence (an
// overlong form, a surrogate, beyond U+10FFFF or cut off), pos then unchanged.
bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);
void appendUtf8(std::string& out, char32_t codePoint);

// UTF-8 that decodeUtf8 accepts throughout; malformed bytes become U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
// None when a surrogate is unpaired.
std::optional<std::string> utf16ToUtf8(std::u16string_view utf16);
// An unpaired surrogate becomes U+FFFD, as Windows converts it.
std::string utf16ToUtf8Replacing(std::u16string_view utf16);

}  // namespace settings

#pragma once
// The one conversion between UTF-8, the text inside, and UTF-16, the text of the registry's
// string data, of the W functions and of the ODBC calls.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// Decodes the character at pos and moves pos past it; false for a malformed sequence (an
// overlong form, a surrogate, beyond U+10FFFF or cut off), pos then unchanged.
bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);
void appendUtf8(std::string& out, char32_t codePoint);
// Whether decodeUtf8 accepts every character of text.
bool isUtf8(std::string_view text);
// text with every byte that starts no character decodeUtf8 accepts replaced by U+FFFD.
std::string replacingMalformedUtf8(std::string_view text);

// Decodes the character whose first UTF-16 unit is unitAt(pos), of count units, and moves pos
// past it; false for an unpaired surrogate, pos then unchanged. unitAt lets a caller read the
// units straight from bytes.
template <class UnitAt>
bool decodeUtf16(const UnitAt& unitAt, std::size_t count, std::size_t& pos, char32_t& codePoint) {
    const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    const char32_t unit = unitAt(pos);
    if (isHigh(unit) && pos + 1 < count && isLow(unitAt(pos + 1))) {
        codePoint = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(pos + 1) - 0xDC00);
        pos += 2;
        return true;
    }
    if (isHigh(unit) || isLow(unit)) return false;
    codePoint = unit;
    ++pos;
    return true;
}

// UTF-8 that decodeUtf8 accepts throughout; malformed bytes become U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
// None when a surrogate is unpaired.
std::optional<std::string> utf16ToUtf8(std::u16string_view utf16);
// An unpaired surrogate becomes U+FFFD, as Windows converts it.
std::string utf16ToUtf8Replacing(std::u16string_view utf16);

#ifdef _WIN32
// The text of the W functions: wchar_t is a UTF-16 unit on Windows.
std::wstring toWide(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string fromWide(std::wstring_view utf16);
#endif

}  // namespace text

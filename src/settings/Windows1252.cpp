#include "settings/Windows1252.h"

#include <algorithm>
#include <array>

#include "text/Unicode.h"

namespace settings {

namespace {

// The characters of the bytes 0x80 to 0x9F; the other bytes are the characters of their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t characterOf(unsigned char byte) { return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte; }

std::optional<char> byteOf(char32_t c) {
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (found != kHighControls.end()) return static_cast<char>(0x80 + (found - kHighControls.begin()));
    if (c <= 0xFF && !(c >= 0x80 && c <= 0x9F)) return static_cast<char>(c);
    return std::nullopt;
}

}  // namespace

std::string utf8FromWindows1252(std::string_view bytes) {
    // Measured first, so that a large file's text is made in one piece and never moved.
    std::string utf8;
    std::size_t size = 0;
    for (const char byte : bytes) {
        const char32_t c = characterOf(static_cast<unsigned char>(byte));
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    }
    utf8.reserve(size);
    for (const char byte : bytes) text::appendUtf8(utf8, characterOf(static_cast<unsigned char>(byte)));
    return utf8;
}

std::optional<std::string> windows1252FromUtf8(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        if (!text::decodeUtf8(utf8, pos, c)) return std::nullopt;
        const auto byte = byteOf(c);
        if (!byte) return std::nullopt;
        bytes += *byte;
    }
    return bytes;
}

}  // namespace settings

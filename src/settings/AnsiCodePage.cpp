#include "settings/AnsiCodePage.h"

#include "settings/Unicode.h"

namespace settings {

namespace {

// 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t ansiCharacter(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char32_t>(byte);
}

char ansiByte(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character < 0x100)) return static_cast<char>(character);
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] == character) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (const char byte : ansi) appendUtf8(out, ansiCharacter(static_cast<unsigned char>(byte)));
    return out;
}

std::string utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        if (decodeUtf8(utf8, pos, c)) {
            out += ansiByte(c);
        } else {
            out += '?';
            ++pos;
        }
    }
    return out;
}

}  // namespace settings

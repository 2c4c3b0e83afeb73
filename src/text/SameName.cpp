#include "text/SameName.h"

#include "text/Unicode.h"

namespace text {

namespace {

char32_t upperAscii(char32_t c) { return c >= U'a' && c <= U'z' ? c - 0x20 : c; }

char32_t upper(char32_t c) {
    if (c < 0x80) return upperAscii(c);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    switch (c) {
        case 0xFF: return 0x178;
        case 0x161: return 0x160;
        case 0x153: return 0x152;
        case 0x17E: return 0x17D;
        default: return c;
    }
}

// The character at pos in upper case, pos moved past it; a byte that is no UTF-8 is kept apart
// from every character.
char32_t upperAt(std::string_view name, std::size_t& pos) {
    char32_t c = 0;
    if (decodeUtf8(name, pos, c)) return upper(c);
    return static_cast<unsigned char>(name[pos++]) | 0x80000000u;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[j]);
        if (x < 0x80 && y < 0x80) {  // the common case, without decoding
            if (upperAscii(x) != upperAscii(y)) return false;
            ++i, ++j;
        } else if (upperAt(a, i) != upperAt(b, j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

std::string foldedName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        if (decodeUtf8(name, pos, c)) {
            appendUtf8(out, upper(c));
        } else {
            out += '\xFF';  // which UTF-8 never holds
            out += name[pos++];
        }
    }
    return out;
}

}  // namespace text

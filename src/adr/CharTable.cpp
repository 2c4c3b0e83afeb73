#include "adr/CharTable.h"

namespace adr {

namespace {

// Bytes 128 to 175: the letters and signs of code page 437, except at 158, 167 and 169.
constexpr char32_t kUpper128[48] = {
    U'Ç', U'ü', U'é', U'â', U'ä', U'à', U'å', U'ç',      U'ê', U'ë',      U'è', U'ï', U'î', U'ì', U'Ä',      U'Å',
    U'É', U'æ', U'Æ', U'ô', U'ö', U'ò', U'û', U'ù',      U'ÿ', U'Ö',      U'Ü', U'¢', U'£', U'¥', U'\u017E', U'\u0192',
    U'á', U'í', U'ó', U'ú', U'ñ', U'Ñ', U'ª', U'\u00B0', U'¿', U'\u00A9', U'¬', U'½', U'¼', U'¡', U'«',      U'»',
};

char32_t codePoint(unsigned b) {
    if (b < 32) return U'=';
    if (b == 34) return U'\'';
    if (b == 39) return U'"';
    if (b < 128) return b;
    if (b < 176) return kUpper128[b - 128];
    switch (b) {
        case 177: return 0x7F;
        case 179: return U'|';
        case 225: return U'\u00DF';
        case 230: return U'\u00B5';
        case 241: return U'\u00B1';
        case 248: return U'\u00BA';
        case 249:
        case 250: return U'\u00B7';
        case 253: return U'\u00B2';
        case 254: return U'\u2022';
        default: return b;  // ISO 8859-1
    }
}

}  // namespace

CharTable::CharTable() {
    for (unsigned b = 1; b < 256; ++b) {
        const char32_t c = codePoint(b);
        Entry& e = entries_[b];
        if (c < 0x80) {
            e.bytes[0] = static_cast<char>(c);
            e.length = 1;
        } else if (c < 0x800) {
            e.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            e.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
            e.length = 2;
        } else {
            e.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            e.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            e.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
            e.length = 3;
        }
    }
}

const CharTable& zeichentabelle() {
    static const CharTable table;
    return table;
}

}  // namespace adr

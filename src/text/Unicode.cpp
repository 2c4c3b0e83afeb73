#include "text/Unicode.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace text {

bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint) {
    if (pos >= text.size()) return false;
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1Fu, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0Fu, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07u, smallest = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    codePoint = value;
    pos += length;
    return true;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

static_assert(std::endian::native == std::endian::little, "the first byte of a word is its lowest");

// Where the first byte is that starts no character decodeUtf8 accepts; npos when there is none.
std::size_t malformedUtf8At(std::string_view text) {
    std::size_t pos = 0;
    char32_t ignored = 0;
    while (pos < text.size()) {
        // Plain ASCII, most of any text here, needs no decoding: eight bytes at a time, and up to
        // the first byte of eight that is not ASCII.
        std::uint64_t eight = 0;
        if (text.size() - pos >= sizeof eight) {
            std::memcpy(&eight, text.data() + pos, sizeof eight);
            const std::uint64_t high = eight & 0x8080808080808080u;
            if (high == 0) {
                pos += sizeof eight;
                continue;
            }
            pos += static_cast<std::size_t>(std::countr_zero(high)) / 8;
        }
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
        } else if (!decodeUtf8(text, pos, ignored)) {
            return pos;
        }
    }
    return std::string_view::npos;
}

}  // namespace

bool isUtf8(std::string_view text) { return malformedUtf8At(text) == std::string_view::npos; }

std::string replacingMalformedUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t bad = malformedUtf8At(text); bad != std::string_view::npos; bad = malformedUtf8At(text)) {
        out.append(text.substr(0, bad));
        appendUtf8(out, 0xFFFD);
        text.remove_prefix(bad + 1);
    }
    out.append(text);
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        if (!decodeUtf8(utf8, pos, c)) {
            c = 0xFFFD;
            ++pos;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

namespace {

// Calls use(code point, paired) for every character; paired false for an unpaired surrogate.
template <class Use>
void forEachCharacter(std::u16string_view utf16, Use&& use) {
    const auto unitAt = [&](std::size_t i) -> char32_t { return utf16[i]; };
    for (std::size_t i = 0; i < utf16.size();) {
        char32_t c = 0;
        const bool paired = decodeUtf16(unitAt, utf16.size(), i, c);
        if (!paired) c = utf16[i++];
        use(c, paired);
    }
}

}  // namespace

std::optional<std::string> utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    bool wellFormed = true;
    forEachCharacter(utf16, [&](char32_t c, bool paired) {
        wellFormed = wellFormed && paired;
        appendUtf8(out, c);
    });
    if (!wellFormed) return std::nullopt;
    return out;
}

std::string utf16ToUtf8Replacing(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    forEachCharacter(utf16, [&](char32_t c, bool paired) { appendUtf8(out, paired ? c : 0xFFFD); });
    return out;
}

#ifdef _WIN32

std::wstring toWide(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string fromWide(std::wstring_view utf16) {
    return utf16ToUtf8Replacing(std::u16string(utf16.begin(), utf16.end()));
}

#endif

}  // namespace text

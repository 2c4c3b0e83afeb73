#include "review/TableCells.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace review {

namespace {

bool splitsCsv(char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; }

bool startsFormula(std::string_view text) {
    if (text.empty()) return false;
    const char c = text.front();
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

#if defined(__SSE2__)

// Most cells need no quoting: they are appended as they are, in one piece. Each is looked
// through once, sixteen characters at a time.
bool needsCsvQuotes(std::string_view text) {
    constexpr std::size_t kBlock = 16;
    std::size_t at = 0;
    for (; text.size() - at >= kBlock; at += kBlock) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i splits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(';')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        if (_mm_movemask_epi8(splits) != 0) return true;
    }
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), splitsCsv);
}

#else

// Most cells need no quoting: they are appended as they are, in one piece. A short cell is
// looked through once; in a long one, one search per character (memchr) is far quicker than
// find_first_of's test of every character against four.
bool needsCsvQuotes(std::string_view text) {
    constexpr std::size_t kShort = 32;
    if (text.size() <= kShort) return std::any_of(text.begin(), text.end(), splitsCsv);
    for (const char c : {';', '"', '\r', '\n'}) {
        if (text.find(c) != std::string_view::npos) return true;
    }
    return false;
}

#endif

// Most characters stand for themselves in a JSON string; runs of them are appended in one piece.
bool needsJsonEscape(char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Moves at past a run of digits; false when there is none.
bool skipDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    return at > start;
}

}  // namespace

void appendCsvCell(std::string& out, std::string_view text) {
    const bool formula = startsFormula(text);
    if (!formula && !needsCsvQuotes(text)) {
        out += text;
        return;
    }
    out += formula ? "\"'" : "\"";
    for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
        out.append(text.substr(0, quote + 1)).append(1, '"');
        text.remove_prefix(quote + 1);
    }
    out.append(text).append(1, '"');
}

std::string csvCell(std::string_view text) {
    std::string cell;
    appendCsvCell(cell, text);
    return cell;
}

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t plain = 0;  // start of the characters not appended yet
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!needsJsonEscape(c)) continue;
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            }
        }
    }
    out.append(text.substr(plain));
    out += '"';
}

std::string jsonString(std::string_view text) {
    std::string literal;
    appendJsonString(literal, text);
    return literal;
}

bool isNumberText(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') ++at;
    // No leading zero: "0123" is a text that keeps its zero.
    if (at < text.size() && text[at] == '0') {
        ++at;
    } else if (!skipDigits(text, at)) {
        return false;
    }
    if (at < text.size() && text[at] == '.' && !skipDigits(text, ++at)) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!skipDigits(text, at)) return false;
    }
    return at == text.size();
}

}  // namespace review

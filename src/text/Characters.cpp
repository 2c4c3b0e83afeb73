#include "text/Characters.h"

#include <cstdint>
#include <cstring>

namespace text {

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

}  // namespace

std::string_view withoutSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::size_t charCount(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) n += isContinuation(c) ? 0 : 1;
    return n;
}

std::size_t byteOffset(std::string_view s, std::size_t charIndex) {
    std::size_t i = 0;
    // Eight ASCII bytes are eight characters: fixed-width fields far into a line are reached a
    // word at a time.
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    for (std::uint64_t word = 0; charIndex >= kWord && s.size() - i >= kWord; i += kWord, charIndex -= kWord) {
        std::memcpy(&word, s.data() + i, kWord);
        if ((word & 0x8080808080808080u) != 0) break;
    }
    while (i < s.size() && charIndex > 0) {
        ++i;
        while (i < s.size() && isContinuation(s[i])) ++i;
        --charIndex;
    }
    return i;
}

std::string mid(std::string_view s, std::size_t start, std::size_t count) {
    if (start == 0) start = 1;
    const std::size_t from = byteOffset(s, start - 1);
    std::string_view rest = s.substr(from);
    if (count == std::string::npos) return std::string(rest);
    return std::string(rest.substr(0, byteOffset(rest, count)));
}

std::string left(std::string_view s, std::size_t count) { return std::string(s.substr(0, byteOffset(s, count))); }

std::string_view charAt(std::string_view s, std::size_t position) {
    if (position == 0) return {};
    const std::size_t from = byteOffset(s, position - 1);
    std::string_view rest = s.substr(from);
    return rest.substr(0, byteOffset(rest, 1));
}

std::size_t find(std::string_view haystack, std::string_view needle) {
    const std::size_t at = haystack.find(needle);
    return at == std::string_view::npos ? 0 : charCount(haystack.substr(0, at)) + 1;
}

std::string trimSpaces(std::string_view s) { return std::string(withoutSpaces(s)); }

std::string trimSpaces(std::string&& s) {
    const std::string_view kept = withoutSpaces(s);
    if (kept.empty()) {
        s.clear();
    } else {
        const auto first = static_cast<std::size_t>(kept.data() - s.data());
        s.erase(first + kept.size());
        s.erase(0, first);
    }
    return std::move(s);
}

}  // namespace text

#include "review/DuplicateKeys.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace review {

namespace {

// The letters of U+00C0 to U+00FF as they are compared; "" for × and ÷.
constexpr std::array<std::string_view, 64> kLatin1Letters = {
    "a", "a", "a", "a", "a",  "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",   // U+00C0
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "ss",  // U+00D0
    "a", "a", "a", "a", "ae", "a", "ae", "c", "e", "e", "e", "e", "i",  "i", "i",  "i",   // U+00E0
    "d", "n", "o", "o", "o",  "o", "oe", "",  "o", "u", "u", "u", "ue", "y", "th", "y"};  // U+00F0

// The further letters of Windows-1252 (U+0152 to U+017E), by their second UTF-8 byte after 0xC5.
std::string_view windows1252Letter(unsigned char second) {
    switch (second) {
        case 0x92:
        case 0x93: return "oe";
        case 0xA0:
        case 0xA1: return "s";
        case 0xB8: return "y";
        case 0xBD:
        case 0xBE: return "z";
        default: return "";
    }
}

// The length of the UTF-8 sequence that starts with lead.
std::size_t sequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// ASCII as it is compared: digits and lower-case letters, capitals lowered, anything else 0 (dropped).
constexpr std::array<char, 128> kAsciiFolded = [] {
    std::array<char, 128> folded{};
    for (char c = '0'; c <= '9'; ++c) folded[static_cast<std::size_t>(c)] = c;
    for (char c = 'a'; c <= 'z'; ++c)
        folded[static_cast<std::size_t>(c)] = folded[static_cast<std::size_t>(c - 32)] = c;
    return folded;
}();

static_assert(std::endian::native == std::endian::little, "the first byte of a word is its lowest");

// Writes text folded to out, which has room for as many bytes as text: a folded letter is never
// longer than its UTF-8 sequence. Answers the end of what was written.
char* fold(std::string_view text, char* out) {
    const auto append = [&](std::string_view letters) {
        for (const char c : letters) *out++ = c;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            *out = kAsciiFolded[c];
            out += *out != 0;
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(c);
        if (length == 2 && i + 1 < text.size()) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xC3 && second >= 0x80 && second <= 0xBF) append(kLatin1Letters[second - 0x80]);
            if (c == 0xC5) append(windows1252Letter(second));
        }
        i += length;
    }
    return out;
}

// "Straße", "Strasse" and "Str." of a street are all "str" once folded; answers the street's new end.
char* shortenStreet(char* street, char* end) {
    constexpr std::string_view kLong = "strasse";
    constexpr std::size_t kDropped = kLong.size() - 3;
    std::string_view rest(street, static_cast<std::size_t>(end - street));
    for (std::size_t at = rest.find(kLong); at != std::string_view::npos; at = rest.find(kLong, at + 3)) {
        char* const behind = street + at + kLong.size();
        std::memmove(behind - kDropped, behind, static_cast<std::size_t>(end - behind));
        end -= kDropped;
        rest = std::string_view(street, static_cast<std::size_t>(end - street));
    }
    return end;
}

// The digits of a telephone number written to out (room for two bytes more than number),
// "+49" and "0049" as "0", another country's "+" as "00"; none for a text with letters, which is
// no telephone number (often a postal code and place). Answers the digits.
std::string_view phoneDigits(std::string_view number, char* out) {
    const std::size_t plus = number.find_first_not_of(' ');
    char* end = out;
    if (plus != std::string_view::npos && number[plus] == '+') {
        *end++ = '0';
        *end++ = '0';
    }
    for (const char c : number) {
        if (c >= '0' && c <= '9') *end++ = c;
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return {};
        if (static_cast<unsigned char>(c) >= 0x80) return {};
    }
    std::string_view digits(out, static_cast<std::size_t>(end - out));
    if (digits.starts_with("0049")) {
        out[3] = '0';
        digits.remove_prefix(3);
    }
    return digits;
}

// Far too short for a telephone number with its area code: a place's postal code, a house number.
constexpr std::size_t kFewestPhoneDigits = 6;

// The finaliser of splitmix64: every bit of the value reaches every bit of the result.
std::uint64_t mixed(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

// The bytes of a key, eight at a time, with their number: from a buffer that can be read eight
// bytes beyond them.
std::uint64_t hashed(const char* bytes, std::size_t size, std::uint64_t seed) {
    std::uint64_t hash = mixed(seed ^ size);
    for (; size >= sizeof(std::uint64_t); size -= sizeof(std::uint64_t), bytes += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        hash = mixed(hash ^ word) + 0x9E3779B97F4A7C15ULL;
    }
    if (size == 0) return hash;
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return mixed(hash ^ (word & ((std::uint64_t{1} << (8 * size)) - 1)));
}

}  // namespace

std::string foldedForKey(std::string_view text) {
    std::string out(text.size(), '\0');
    out.resize(static_cast<std::size_t>(fold(text, out.data()) - out.data()));
    return out;
}

std::size_t duplicateKeys(const adr::MappedValues& values, std::array<DuplicateKey, 3>& keys) {
    // One buffer, kept from record to record so that it is not allocated anew for each: the
    // folded name, postal code and street one after the other, each but the last followed by a
    // byte no folded text holds, so that the parts stay apart ("Müll", "erJürgen" is not
    // "Müller", "Jürgen"); behind them a telephone number's digits (two more for its "+"), and
    // the eight bytes a hash may read beyond what it hashes.
    constexpr char kApart = '\x1F';
    thread_local std::string room;
    const std::size_t needed = values.nachname.size() + values.vorname.size() + values.plzOrt.size() +
                               values.strasse.size() + std::max(values.telefon1.size(), values.telefon2.size()) + 13;
    if (room.size() < needed) room.resize(needed);
    char* const start = room.data();
    char* at = fold(values.nachname, start);
    if (at == start) return 0;
    *at++ = kApart;
    at = fold(values.vorname, at);
    *at++ = kApart;
    const auto nameSize = static_cast<std::size_t>(at - start);

    std::size_t count = 0;
    const std::string_view plzOrt = values.plzOrt;
    char* const postalCode = at;
    for (const char c : plzOrt.substr(0, plzOrt.find(' ', plzOrt.find_first_not_of(' ')))) {
        if (c >= '0' && c <= '9') *at++ = c;
    }
    const bool hasPostalCode = at != postalCode;
    *at++ = kApart;
    char* const street = at;
    at = shortenStreet(street, fold(values.strasse, street));
    if (hasPostalCode && at != street) {
        keys[count++] = {hashed(start, static_cast<std::size_t>(at - start), DuplicateKey::address),
                         DuplicateKey::address};
    }
    const std::uint64_t name = hashed(start, nameSize, DuplicateKey::phone);
    for (const std::string_view* number : {&values.telefon1, &values.telefon2}) {
        const std::string_view digits = phoneDigits(*number, at);
        if (digits.size() < kFewestPhoneDigits) continue;
        keys[count++] = {hashed(digits.data(), digits.size(), name), DuplicateKey::phone};
    }
    return count;
}

}  // namespace review

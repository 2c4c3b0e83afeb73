#include "review/DuplicateKeys.h"

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

void fold(std::string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (const char folded = kAsciiFolded[c]) out += folded;
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(c);
        if (length == 2 && i + 1 < text.size()) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xC3 && second >= 0x80 && second <= 0xBF) out += kLatin1Letters[second - 0x80];
            if (c == 0xC5) out += windows1252Letter(second);
        }
        i += length;
    }
}

// "Straße", "Strasse" and "Str." of a street are all "str" once folded.
void shortenStreet(std::string& street) {
    constexpr std::string_view kLong = "strasse";
    for (std::size_t at = street.find(kLong); at != std::string::npos; at = street.find(kLong, at + 3)) {
        street.replace(at, kLong.size(), "str");
    }
}

// The digits of a telephone number, "+49" and "0049" as "0", another country's "+" as "00";
// none for a text with letters, which is no telephone number (often a postal code and place).
std::string phoneDigits(std::string_view number) {
    std::string digits;
    for (const char c : number) {
        if (c >= '0' && c <= '9') digits += c;
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return {};
        if (static_cast<unsigned char>(c) >= 0x80) return {};
    }
    const std::size_t plus = number.find_first_not_of(' ');
    if (plus != std::string_view::npos && number[plus] == '+') digits.insert(0, "00");
    if (digits.starts_with("0049")) digits.replace(0, 4, "0");
    return digits;
}

// Far too short for a telephone number with its area code: a place's postal code, a house number.
constexpr std::size_t kFewestPhoneDigits = 6;

// FNV-1a over the parts of a key as they are added, then mixed so that every bit of the key
// reaches every bit of the hash (the finaliser of splitmix64).
class KeyHash {
public:
    explicit KeyHash(DuplicateKey::Kind kind) { add(std::string_view(reinterpret_cast<const char*>(&kind), 1)); }
    KeyHash& add(std::string_view part) {
        for (const char c : part) {
            hash_ ^= static_cast<unsigned char>(c);
            hash_ *= 1099511628211ULL;
        }
        return *this;
    }
    std::uint64_t finish() const {
        std::uint64_t hash = (hash_ ^ (hash_ >> 30)) * 0xBF58476D1CE4E5B9ULL;
        hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
        return hash ^ (hash >> 31);
    }

private:
    std::uint64_t hash_ = 14695981039346656037ULL;
};

}  // namespace

std::string foldedForKey(std::string_view text) {
    std::string out;
    fold(text, out);
    return out;
}

std::size_t duplicateKeys(const adr::MappedValues& values, std::array<DuplicateKey, 3>& keys) {
    // The parts stand apart by a byte no folded text holds.
    constexpr std::string_view kApart = "\x1F";
    // Kept from record to record: their buffers are not allocated anew for each.
    thread_local std::string name;
    thread_local std::string postalCode;
    thread_local std::string street;
    name.clear();
    fold(values.nachname, name);
    if (name.empty()) return 0;
    name += kApart;
    fold(values.vorname, name);

    std::size_t count = 0;
    const std::string_view plzOrt = values.plzOrt;
    postalCode.clear();
    for (const char c : plzOrt.substr(0, plzOrt.find(' ', plzOrt.find_first_not_of(' ')))) {
        if (c >= '0' && c <= '9') postalCode += c;
    }
    street.clear();
    fold(values.strasse, street);
    shortenStreet(street);
    if (!postalCode.empty() && !street.empty()) {
        const KeyHash key =
            KeyHash(DuplicateKey::address).add(name).add(kApart).add(postalCode).add(kApart).add(street);
        keys[count++] = {key.finish(), DuplicateKey::address};
    }
    for (const std::string_view* number : {&values.telefon1, &values.telefon2}) {
        const std::string digits = phoneDigits(*number);
        if (digits.size() < kFewestPhoneDigits) continue;
        keys[count++] = {KeyHash(DuplicateKey::phone).add(name).add(kApart).add(digits).finish(), DuplicateKey::phone};
    }
    return count;
}

}  // namespace review

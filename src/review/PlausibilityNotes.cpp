#include "review/PlausibilityNotes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "review/Texts.h"
#include "text/Characters.h"

namespace review {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }

// A code or number as it is checked: without any blank, in a buffer kept from call to call.
std::string_view withoutBlanks(std::string_view s, std::string& kept) {
    if (s.find(' ') == std::string_view::npos) return s;
    kept.clear();
    for (const char c : s) {
        if (c != ' ') kept += c;
    }
    return kept;
}

// What a postal code in front of a place says about itself.
void notePostalCode(std::string_view plzOrt, bool postfach, const std::function<void(std::string)>& note) {
    const std::string_view code = text::withoutSpaces(plzOrt);
    std::string_view rest = code;
    // A country prefix: "D-12345" is German, "W-1000" and "O-1000" are German codes of before 1993,
    // any other ("A-1010", "CH-8001") a foreign address.
    bool oldPrefix = false;
    if (const std::size_t dash = rest.find('-');
        dash >= 1 && dash <= 3 && std::all_of(rest.begin(), rest.begin() + dash, isAsciiLetter)) {
        const std::string_view country = rest.substr(0, dash);
        if (country != "D" && country != "W" && country != "O") return;
        oldPrefix = country != "D";
        rest.remove_prefix(dash + 1);
    }
    const std::size_t digits =
        static_cast<std::size_t>(std::find_if_not(rest.begin(), rest.end(), isDigit) - rest.begin());
    // A place without a code in front is no postal code to judge.
    if (digits == 0) return;
    const bool followedByPlace = digits == rest.size() || rest[digits] == ' ' || rest[digits] == ',';
    if (digits == 5 && followedByPlace && !oldPrefix) return;
    if (digits == 4 && followedByPlace) {
        note(texts::oldPostalCode(code.substr(0, static_cast<std::size_t>(rest.data() - code.data()) + digits),
                                  postfach));
        return;
    }
    note(texts::postalCodeNotFiveDigits(code.substr(0, code.find(' ')), postfach));
}

// What an e-mail address cannot hold, each looked up once (find_first_of tests every character
// against each of them).
constexpr std::array<bool, 256> kNotInEmail = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view(" ,;<>()[]\\\"")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

// name@domain: one "@", a name without blanks, a domain of labels joined by dots, the last at
// least two characters long.
bool looksLikeEmail(std::string_view address) {
    const std::size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos) return false;
    if (std::any_of(address.begin(), address.end(),
                    [](char c) { return kNotInEmail[static_cast<unsigned char>(c)]; })) {
        return false;
    }
    const std::string_view domain = address.substr(at + 1);
    const std::size_t lastDot = domain.rfind('.');
    if (lastDot == std::string_view::npos || lastDot == 0 || domain.size() - lastDot - 1 < 2) return false;
    return domain.find("..") == std::string_view::npos && domain.front() != '.' && address[at - 1] != '.';
}

// A letter of ASCII or of Windows-1252's further letters (umlauts, accented letters, Š, Œ, Ž);
// signs such as "–", "/" or "·" are none. ASCII is looked at eight bytes at a time.
bool hasLetter(std::string_view s) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= s.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, sizeof word);
        if (word & kHighBits) break;  // beyond ASCII: byte by byte from here
        // Capitals as small letters; then the high bit of each byte from "a" on, and from "{" on:
        // no byte below 0x80 carries into the next.
        const std::uint64_t small = word | kOnes * 0x20;
        const std::uint64_t fromA = (small + kOnes * (0x80 - 'a')) & kHighBits;
        const std::uint64_t pastZ = (small + kOnes * (0x80 - '{')) & kHighBits;
        if (fromA & ~pastZ) return true;
    }
    for (; i < s.size(); ++i) {
        const auto lead = static_cast<unsigned char>(s[i]);
        if (lead < 0x80) {
            if (isAsciiLetter(s[i])) return true;
            continue;
        }
        if (i + 1 == s.size()) break;
        const auto next = static_cast<unsigned char>(s[i + 1]);
        if (lead == 0xC3 && next != 0x97 && next != 0xB7) return true;  // U+00C0 to U+00FF but × and ÷
        if (lead == 0xC5 || (lead == 0xC6 && next == 0x92)) return true;
    }
    return false;
}

// Days since 1 March of year 0, for comparing dates.
std::int64_t dayNumber(const db::Date& d) {
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t m = d.month <= 2 ? d.month + 9 : d.month - 3;
    return 365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + d.day - 1;
}

// An IBAN: two letters, two check digits, up to 30 letters or digits (Germany: 22 characters in
// all), whose check by 97 gives 1.
bool isIbanLike(std::string_view s) {
    return s.size() >= 15 && s.size() <= 34 && isAsciiLetter(s[0]) && isAsciiLetter(s[1]) && isDigit(s[2]) &&
           isDigit(s[3]) && std::all_of(s.begin(), s.end(), [](char c) { return isDigit(c) || isAsciiLetter(c); });
}

bool ibanChecks(std::string_view iban) {
    if ((iban.substr(0, 2) == "DE" || iban.substr(0, 2) == "de") && iban.size() != 22) return false;
    std::uint32_t remainder = 0;
    const auto add = [&](char c) {
        const int value = isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
        remainder = value >= 10 ? (remainder * 100 + static_cast<std::uint32_t>(value)) % 97
                                : (remainder * 10 + static_cast<std::uint32_t>(value)) % 97;
    };
    for (const char c : iban.substr(4)) add(c);
    for (const char c : iban.substr(0, 4)) add(c);
    return remainder == 1;
}

// A BIC in place of the bank code: four letters of the bank, two of the country, two letters or
// digits of the place, optionally three of the branch.
bool isBic(std::string_view s) {
    return (s.size() == 8 || s.size() == 11) && std::all_of(s.begin(), s.begin() + 6, isAsciiLetter) &&
           std::all_of(s.begin() + 6, s.end(), [](char c) { return isDigit(c) || isAsciiLetter(c); });
}

}  // namespace

void notePlausibility(const adr::MappedValues& values, const db::Date& today,
                      const std::function<void(std::string)>& note) {
    if (!values.plzOrt.empty()) notePostalCode(values.plzOrt, false, note);
    if (!values.plzOrtPostfach.empty()) notePostalCode(values.plzOrtPostfach, true, note);

    if (const std::string_view email = text::withoutSpaces(values.email); !email.empty() && !looksLikeEmail(email)) {
        note(texts::notAnEmail(email));
    }
    const std::pair<const std::string_view*, std::string_view> phones[] = {
        {&values.telefon1, texts::kTelefon1}, {&values.telefon2, texts::kTelefon2}, {&values.telefax, texts::kTelefax}};
    for (const auto& [number, which] : phones) {
        if (hasLetter(*number)) note(texts::phoneWithLetters(which, text::withoutSpaces(*number)));
    }

    if (values.geburtstag) {
        const db::Date& born = *values.geburtstag;
        if (dayNumber(born) > dayNumber(today)) {
            note(texts::birthDateInFuture(born));
        } else if (dayNumber(born) < dayNumber({today.year - 120, today.month, today.day})) {
            note(texts::birthDateTooOld(born));
        }
    }

    thread_local std::string kept;
    if (const std::string_view code = withoutBlanks(values.bankleitzahl, kept);
        !code.empty() && !(code.size() == 8 && allDigits(code)) && !isBic(code)) {
        note(texts::notABankCode(text::withoutSpaces(values.bankleitzahl)));
    }
    if (const std::string_view account = withoutBlanks(values.kontoNummer, kept); !account.empty()) {
        if (isIbanLike(account)) {
            if (!ibanChecks(account)) note(texts::notAnIban(text::withoutSpaces(values.kontoNummer)));
        } else if (!(account.size() <= 10 && allDigits(account))) {
            note(texts::notAnAccount(text::withoutSpaces(values.kontoNummer)));
        }
    }
}

}  // namespace review

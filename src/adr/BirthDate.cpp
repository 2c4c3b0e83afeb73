#include "adr/BirthDate.h"

#include <string>

#include "text/Characters.h"

namespace adr {

namespace {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<db::Date> existing(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    return db::Date{year, month, day};
}

// Splits text at separator into exactly three runs of digits and checks their lengths.
struct Parts {
    int value[3] = {};
    std::size_t digits[3] = {};
};

std::optional<Parts> split(std::string_view text, char separator) {
    Parts parts;
    std::size_t part = 0;
    for (char c : text) {
        if (c == separator) {
            if (++part == 3) return std::nullopt;
        } else if (c >= '0' && c <= '9') {
            if (++parts.digits[part] > 4) return std::nullopt;
            parts.value[part] = parts.value[part] * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (part != 2) return std::nullopt;
    return parts;
}

bool dayAndMonth(const Parts& p) {
    return p.digits[0] >= 1 && p.digits[0] <= 2 && p.digits[1] >= 1 && p.digits[1] <= 2;
}

}  // namespace

std::optional<db::Date> recogniseBirthDate(std::string_view text) {
    const std::string trimmed = text::trimSpaces(text);
    if (auto p = split(trimmed, '.'); p && dayAndMonth(*p)) {
        if (p->digits[2] == 4) return existing(p->value[2], p->value[1], p->value[0]);
        if (p->digits[2] == 2)
            return existing(p->value[2] + (p->value[2] < 30 ? 2000 : 1900), p->value[1], p->value[0]);
        return std::nullopt;
    }
    if (auto p = split(trimmed, '/'); p && dayAndMonth(*p) && p->digits[2] == 4) {
        return existing(p->value[2], p->value[1], p->value[0]);
    }
    if (auto p = split(trimmed, '-'); p && p->digits[0] == 4 && p->digits[1] == 2 && p->digits[2] == 2) {
        return existing(p->value[0], p->value[1], p->value[2]);
    }
    return std::nullopt;
}

}  // namespace adr

#include "db/Value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace db {

std::string formatIsoDate(Date date) {
    // Written by hand where the fields fit their widths: every staged birth date passes here,
    // and snprintf would cost more than the rest of binding it.
    if (date.year >= 0 && date.year <= 9999 && date.month >= 0 && date.month <= 99 && date.day >= 0 && date.day <= 99) {
        std::string text = "0000-00-00";
        const auto put = [&](std::size_t end, int value) {
            for (std::size_t at = end; value > 0; value /= 10) text[--at] = static_cast<char>('0' + value % 10);
        };
        put(4, date.year);
        put(7, date.month);
        put(10, date.day);
        return text;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

std::string Value::toText() const {
    if (isText()) return text();
    if (isInteger()) return std::to_string(integer());
    if (isDate()) return formatIsoDate(date());
    if (isDouble()) {
        // A whole number of up to 15 digits reads the same in either form, and an address number
        // is one: the integer form is the cheaper.
        const double value = number();
        if (value == std::trunc(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
            return std::to_string(static_cast<std::int64_t>(value));
        }
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, number(), std::chars_format::general, 15);
        return std::string(buffer, result.ptr);
    }
    return {};
}

}  // namespace db

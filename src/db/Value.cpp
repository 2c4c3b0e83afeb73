#include "db/Value.h"

#include <charconv>
#include <cstdio>

namespace db {

std::string formatIsoDate(Date date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

std::string Value::toText() const {
    if (isText()) return text();
    if (isInteger()) return std::to_string(integer());
    if (isDate()) return formatIsoDate(date());
    if (isDouble()) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, number(), std::chars_format::general, 15);
        return std::string(buffer, result.ptr);
    }
    return {};
}

}  // namespace db

#pragma once
// Column values and dates as failure messages show them.

#include <ostream>

#include "db/Value.h"

namespace db {

inline void PrintTo(const Date& date, std::ostream* out) { *out << formatIsoDate(date); }

inline void PrintTo(const Value& value, std::ostream* out) {
    if (value.isNull()) {
        *out << "Null";
    } else if (value.isText()) {
        *out << '"' << value.text() << '"';
    } else {
        *out << value.toText();
    }
}

}  // namespace db

#pragma once
// A forward-only result of a command text: read the current row, move on.

#include <string>
#include <string_view>

#include "db/Value.h"

namespace db {

class RowSet {
public:
    virtual ~RowSet() = default;
    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;
    virtual int columnCount() const = 0;
    virtual const std::string& columnName(int column) const = 0;
    virtual Value value(int column) const = 0;
    // Appends the text form of a column's value (Value::toText) to out; a backend that holds
    // the text already appends it without a copy of its own.
    virtual void appendText(int column, std::string& out) const { out += value(column).toText(); }

    // The value of a column named without regard to case; an unknown name is an error.
    Value value(std::string_view column) const;
    // The position of a column named without regard to case; -1 when there is none.
    int position(std::string_view column) const;
};

}  // namespace db

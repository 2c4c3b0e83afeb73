#pragma once
// A row set opened on a table for writing: it adds new rows or edits the rows it selected.
// Assignments collect in the current row until update() saves them or cancelUpdate() drops them.

#include <string_view>

#include "db/Value.h"

namespace db {

class EditableRowSet {
public:
    virtual ~EditableRowSet() = default;
    // True when the row set stands on no row (nothing selected, nothing added yet).
    virtual bool atEnd() const = 0;
    // Starts a new row; changes still pending in the current row are saved first.
    virtual void addNew() = 0;
    virtual void set(std::string_view column, const Value& value) = 0;
    // What the current row holds: assigned values, else the stored ones, else null.
    virtual Value get(std::string_view column) const = 0;
    // Saves the pending changes of the current row; without any it does nothing.
    virtual void update() = 0;
    // Drops the pending changes; a new row that was never saved disappears.
    virtual void cancelUpdate() = 0;
    // Writes whatever the backend still holds back (batched rows) and ends the row set.
    virtual void close() = 0;
};

}  // namespace db

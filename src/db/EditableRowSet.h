#pragma once
// A row set opened on a table for writing: it adds new rows or edits the rows it selected.
// Assignments collect in the current row until update() saves them or cancelUpdate() drops them.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "db/Value.h"

namespace db {

class RowViewer;
class RowOutcomes;

// A column of an editable row set, looked up by name once and then used by its position. A
// name the table lacks keeps no position: every use of it fails as a use by that name does.
struct Column {
    static constexpr std::size_t kMissing = static_cast<std::size_t>(-1);
    std::string_view name;  // the caller's text, which must outlive the column
    std::size_t position = kMissing;
};

class EditableRowSet {
public:
    virtual ~EditableRowSet() = default;
    // True when the row set stands on no row (nothing selected, nothing added yet).
    virtual bool atEnd() const = 0;
    // Starts a new row; changes still pending in the current row are saved first.
    virtual void addNew() = 0;
    // The column of that name (without regard to case); it stays valid while the row set is open.
    virtual Column column(std::string_view name) const = 0;
    // Takes the value over: a value is moved, never copied, on its way into the row.
    virtual void set(const Column& column, Value&& value) = 0;
    // What the current row holds: assigned values, else the stored ones, else null. The value
    // stays valid until the row changes.
    virtual const Value& get(const Column& column) const = 0;
    void set(std::string_view name, Value value) { set(column(name), std::move(value)); }
    const Value& get(std::string_view name) const { return get(column(name)); }
    // Saves the pending changes of the current row; without any it does nothing.
    virtual void update() = 0;
    // Drops the pending changes; a new row that was never saved disappears.
    virtual void cancelUpdate() = 0;
    // Writes whatever the backend still holds back (batched rows) and ends the row set.
    virtual void close() = 0;
    // From now on new rows may be written behind, on a thread of the row set's own: update()
    // tells outcomes which row it handed on and returns at once (the row stood on holds nothing
    // afterwards); what became of each row is told later, by update() and settle(). False: this
    // row set writes each row as update() saves it, and update() throws what failed.
    virtual bool writeBehind(RowOutcomes& /*outcomes*/) { return false; }
    // Before writeBehind: every new row saved from now on is shown to the viewer as it is
    // written (RowViewer). A row set that cannot does nothing.
    virtual void showRowsTo(RowViewer* /*viewer*/) {}
    // Tells what became of the rows written behind by now; with wait, of every row handed on.
    virtual void settle(bool /*wait*/) {}

    // Tells row sets apart for callers that keep the columns they looked up in one: no two
    // row sets of a process share it, not even one made where another was destroyed.
    std::uint64_t identity() const { return identity_; }

private:
    static std::uint64_t nextIdentity() {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
    }
    std::uint64_t identity_ = nextIdentity();
};

}  // namespace db

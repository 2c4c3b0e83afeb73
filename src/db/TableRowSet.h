#pragma once
// What every backend's editable row set keeps: the row it stands on, with the values the
// database holds and those assigned since, and the row stood on before addNew (cancelUpdate
// goes back to it). Texts longer than a column's declared length, and columns the table
// lacks, are refused with an error. Saving a row is the backend's.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/EditableRowSet.h"
#include "db/Names.h"
#include "db/RowViewer.h"

namespace db {

struct TableColumn {
    std::string name;
    std::optional<std::size_t> maxChars;  // declared length of a text column, e.g. varchar(60)
};

class TableRowSet : public EditableRowSet {
public:
    bool atEnd() const override;
    void addNew() override;
    Column column(std::string_view name) const override;
    void set(const Column& column, Value&& value) override;
    const Value& get(const Column& column) const override;
    using EditableRowSet::get;
    using EditableRowSet::set;
    void update() override;
    void cancelUpdate() override;
    void close() override;
    void showRowsTo(RowViewer* viewer) override;

protected:
    struct Row {
        std::optional<std::int64_t> id;  // the backend's mark of a saved row; none: a new row not yet saved
        // What the database holds; none for a column of a new row. Of the same type as the
        // assigned values, so that a new row once saved takes them over whole.
        std::vector<std::optional<Value>> stored;
        std::vector<std::optional<Value>> assigned;
        bool hasChanges() const;
        const Value& storedValue(std::size_t column) const;
    };

    TableRowSet(std::string table, std::vector<TableColumn> columns);
    // Stands on a row selected from the table.
    void select(std::int64_t id, std::vector<Value> stored);
    // Saves a new row; sets its id.
    virtual void insert(Row& row) = 0;
    // Saves the assigned values of a row saved before.
    virtual void modify(Row& row) = 0;

    // A value for each column, all null; a vector of that size keeps its buffer and only the
    // values it still holds are dropped.
    void clearValues(std::vector<std::optional<Value>>& values) const;
    const std::string& table() const { return table_; }
    const std::vector<TableColumn>& columns() const { return columns_; }
    // The viewer rows are shown to (RowViewer); none when nobody asked.
    RowViewer* viewer() const { return viewer_; }
    // A new row written at once has been saved: the viewer sees it.
    void showSaved(const Row& row) const;

private:
    std::size_t columnIndex(const Column& column) const;
    Row& currentRow();

    std::string table_;
    std::vector<TableColumn> columns_;
    NameIndex columnPositions_;
    std::optional<Row> current_;
    std::optional<Row> beforeNew_;
    std::optional<Row> spare_;  // a row no longer stood on, whose buffers the next new row takes
    RowViewer* viewer_ = nullptr;
};

}  // namespace db

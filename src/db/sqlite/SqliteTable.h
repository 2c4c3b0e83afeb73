#pragma once
// A SQLite table opened for writing: new rows are inserted with prepared statements (one per
// set of assigned columns), selected rows are edited in place by their rowid. Texts longer
// than a column's declared length, and columns the table lacks, are refused with an error.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/EditableRowSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

struct SqliteColumn {
    std::string name;
    std::optional<std::size_t> maxChars;  // declared length of a text column, e.g. varchar(60)
};

class SqliteTable : public EditableRowSet {
public:
    // condition: empty for the whole table opened for adding rows, else a WHERE condition
    // whose rows are selected for editing (the row set stands on the first).
    SqliteTable(sqlite3* handle, std::string table, const std::string& condition);
    ~SqliteTable() override;
    SqliteTable(const SqliteTable&) = delete;
    SqliteTable& operator=(const SqliteTable&) = delete;

    bool atEnd() const override;
    void addNew() override;
    void set(std::string_view column, const Value& value) override;
    Value get(std::string_view column) const override;
    void update() override;
    void cancelUpdate() override;
    void close() override;

private:
    struct Row {
        std::optional<std::int64_t> rowid;  // none: a new row not yet saved
        std::vector<Value> stored;          // what the database holds (selected rows)
        std::vector<std::optional<Value>> assigned;
        bool hasChanges() const;
    };

    std::size_t columnIndex(std::string_view column) const;
    sqlite3_stmt* insertStatement(const std::vector<std::optional<Value>>& assigned);
    void bindAssigned(sqlite3_stmt* statement, const std::vector<std::optional<Value>>& assigned);
    void insert(Row& row);
    void modify(Row& row);

    sqlite3* handle_;
    std::string table_;
    std::vector<SqliteColumn> columns_;
    std::optional<Row> current_;
    std::optional<Row> beforeNew_;  // the row stood on before addNew, restored by cancelUpdate
    std::map<std::vector<bool>, sqlite3_stmt*> inserts_;
};

}  // namespace db

#pragma once
// A SQLite table opened for writing: new rows are inserted with prepared statements (one per
// set of assigned columns), selected rows are edited in place by their rowid.

#include <string>
#include <unordered_map>
#include <vector>

#include "db/TableRowSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class SqliteTable : public TableRowSet {
public:
    // condition: empty for the whole table opened for adding rows, else a WHERE condition
    // whose rows are selected for editing (the row set stands on the first).
    SqliteTable(sqlite3* handle, std::string table, const std::string& condition);
    ~SqliteTable() override;
    SqliteTable(const SqliteTable&) = delete;
    SqliteTable& operator=(const SqliteTable&) = delete;

private:
    sqlite3_stmt* insertStatement(const std::vector<std::optional<Value>>& assigned);
    void bindAssigned(sqlite3_stmt* statement, const std::vector<std::optional<Value>>& assigned);
    void insert(Row& row) override;
    void modify(Row& row) override;

    sqlite3* handle_;
    // By the columns a row assigns: "1" for each assigned column, "0" for the others.
    std::unordered_map<std::string, sqlite3_stmt*> inserts_;
    std::string mask_;  // the mask of the row being inserted, kept to spare an allocation per row
};

}  // namespace db

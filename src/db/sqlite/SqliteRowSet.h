#pragma once
// The rows of one SQLite statement, read forward.

#include <string>
#include <vector>

#include "db/RowSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class SqliteRowSet : public RowSet {
public:
    // Takes ownership of a prepared statement and steps to its first row.
    SqliteRowSet(sqlite3* handle, sqlite3_stmt* statement);
    ~SqliteRowSet() override;
    SqliteRowSet(const SqliteRowSet&) = delete;
    SqliteRowSet& operator=(const SqliteRowSet&) = delete;

    bool atEnd() const override { return atEnd_; }
    void moveNext() override;
    int columnCount() const override { return static_cast<int>(names_.size()); }
    const std::string& columnName(int column) const override { return names_.at(static_cast<std::size_t>(column)); }
    Value value(int column) const override;
    void appendText(int column, std::string& out) const override;

private:
    void step();
    void checkColumn(int column) const;

    sqlite3* handle_;
    sqlite3_stmt* statement_;
    std::vector<std::string> names_;
    bool atEnd_ = false;
};

// The value of a result column of the statement's current row.
Value columnValue(sqlite3_stmt* statement, int column);

}  // namespace db

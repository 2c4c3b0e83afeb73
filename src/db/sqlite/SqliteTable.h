#pragma once
// A SQLite table opened for writing: new rows are inserted with prepared statements (one per
// set of assigned columns), selected rows are edited in place by their rowid. Written behind,
// the inserts run on a thread of their own; the connection is left to it until close().

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/TableRowSet.h"
#include "db/WriteBehind.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The length of char(n), varchar(n), nchar(n), nvarchar(n) (also "character"), which the
// embedded Datenpool holds its texts to; none for other types.
std::optional<std::size_t> declaredLength(std::string_view type);

class SqliteTable : public TableRowSet {
public:
    // condition: empty for the whole table opened for adding rows, else a WHERE condition
    // whose rows are selected for editing (the row set stands on the first).
    SqliteTable(sqlite3* handle, std::string table, const std::string& condition);
    ~SqliteTable() override;
    SqliteTable(const SqliteTable&) = delete;
    SqliteTable& operator=(const SqliteTable&) = delete;

    bool writeBehind(RowOutcomes& outcomes) override;
    void settle(bool wait) override;
    void close() override;

private:
    // The insert of rows rows into the columns that mask_ names, prepared once for each.
    sqlite3_stmt* insertStatement(std::size_t rows);
    void bindAssigned(sqlite3_stmt* statement, const std::vector<std::optional<Value>>& assigned);
    void write(const std::vector<std::optional<Value>>& assigned);
    // Rows written behind: together, a statement for up to rowsTogether_ of them, where it can.
    void writeRows(std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures);
    // false: nothing was written.
    bool writeTogether(std::span<const WriteBehind::Values> rows);
    void insert(Row& row) override;
    void modify(Row& row) override;

    sqlite3* handle_;
    // By the columns a row assigns: "1" for each assigned column, "0" for the others; for rows
    // inserted together, "x" and their number follow.
    std::unordered_map<std::string, sqlite3_stmt*> inserts_;
    std::string mask_;  // the mask of the rows being inserted, kept to spare an allocation per row
    std::string key_;
    std::vector<bool> hasDefault_;
    std::vector<std::size_t> assignedIn_;  // of each column, by how many rows of a batch
    std::size_t rowsTogether_ = 1;
    std::array<sqlite3_stmt*, 3> savepoint_{};  // set, release, roll back to
    std::unique_ptr<WriteBehind> behind_;
};

}  // namespace db

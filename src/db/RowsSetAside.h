#pragma once
// Rows of a table kept out of one step of a transaction and put back after it with their ids,
// in a temporary table that only this connection sees. Set aside and put back inside one
// transaction, they stand or fall with it: a rollback leaves the table as it was.

#include <cstdint>
#include <string>
#include <string_view>

namespace db {

class Connection;

class RowsSetAside {
public:
    // Moves the rows of `table` (whose key is `id`) that meet `condition` into the temporary
    // table. Throws db::Error.
    RowsSetAside(Connection& connection, std::string table, std::string_view condition);

    std::int64_t count() const { return count_; }
    // Puts the rows back with their ids and drops the temporary table. Throws db::Error.
    void putBack();

private:
    Connection& connection_;
    std::string table_;
    std::string aside_;  // the temporary table's name as statements write it
    std::int64_t count_ = 0;
};

}  // namespace db

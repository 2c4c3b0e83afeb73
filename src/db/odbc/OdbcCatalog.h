#pragma once
// What the catalog functions of ODBC tell about the database: its tables, procedures, columns
// and primary keys. Names compare without regard to case.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/odbc/OdbcSession.h"

namespace db {

// A column's type as the catalog declares it (DATA_TYPE, COLUMN_SIZE, DECIMAL_DIGITS); a
// sqlType of 0: not known.
struct ColumnType {
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;

    bool operator==(const ColumnType&) const = default;
};

bool isTextType(SQLSMALLINT sqlType);

struct CatalogColumn {
    std::string name;
    ColumnType type;
    std::string typeName;                 // the database's own name of the type (TYPE_NAME)
    std::optional<std::size_t> maxChars;  // a text column's declared length
    bool omittable = false;               // an insert may leave it out: a default, an identity, read-only
};

// Calls `row` for every row of a catalog result until it answers false, then closes the
// cursor: without MARS, SQL Server takes no other statement on the connection while a
// result is open ("Connection is busy with results for another command").
void forEachRow(const OdbcSession& session, const OdbcHandle& statement, const std::function<bool()>& row);

// The table or view's name as the catalog spells it; none when there is none.
std::optional<std::string> findTable(const OdbcSession& session, const std::string& name);
bool isProcedure(const OdbcSession& session, const std::string& name);
// The table's columns in their order.
std::vector<CatalogColumn> tableColumns(const OdbcSession& session, const std::string& table);
// The names of the table's primary key columns; empty when it has none.
std::vector<std::string> primaryKey(const OdbcSession& session, const std::string& table);

}  // namespace db

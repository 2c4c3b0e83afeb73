#include "db/RowsSetAside.h"

#include <utility>

#include "db/Connection.h"
#include "db/Error.h"

namespace db {

namespace {

constexpr const char* kAsideName = "Beiseitegelegt";

// "[a], [b]": the table's columns, brackets quoting them in both flavours.
std::string columnList(Connection& connection, const std::string& table) {
    const auto rows = connection.execute("SELECT * FROM " + table + " WHERE 1=0");
    std::string list;
    for (int column = 0; column < rows->columnCount(); ++column) {
        if (column > 0) list += ", ";
        list += "[" + rows->columnName(column) + "]";
    }
    return list;
}

}  // namespace

RowsSetAside::RowsSetAside(Connection& connection, std::string table, std::string_view condition)
    : connection_(connection), table_(std::move(table)) {
    const std::string rows = " FROM " + table_ + " WHERE " + std::string(condition);
    if (connection_.sqlFlavour() == SqlFlavour::transactSql) {
        aside_ = std::string("#") + kAsideName;
        connection_.execute("SELECT * INTO " + aside_ + rows);
    } else {
        aside_ = std::string("temp.") + kAsideName;
        connection_.execute(std::string("CREATE TEMP TABLE ") + kAsideName + " AS SELECT *" + rows);
    }
    count_ = connection_.execute("SELECT COUNT(*) FROM " + aside_)->value(0).integer();
    connection_.execute("DELETE FROM " + table_ + " WHERE id IN (SELECT id FROM " + aside_ + ")");
}

void RowsSetAside::putBack() {
    const std::string columns = columnList(connection_, table_);
    const std::string insert = "INSERT INTO " + table_ + " (" + columns + ") SELECT " + columns + " FROM " + aside_;
    if (connection_.sqlFlavour() == SqlFlavour::transactSql) {
        // The ids are kept: an identity column takes given values only while this is on, and
        // while it is on, rows without an id are refused, so it is always switched off again.
        const std::string identityInsert =
            "IF OBJECTPROPERTY(OBJECT_ID(N'" + table_ + "'), 'TableHasIdentity') = 1 SET IDENTITY_INSERT " + table_;
        connection_.execute(identityInsert + " ON");
        try {
            connection_.execute(insert);
        } catch (const Error&) {
            try {
                connection_.execute(identityInsert + " OFF");
            } catch (const Error&) {
                // The failed insert is the failure to tell.
            }
            throw;
        }
        connection_.execute(identityInsert + " OFF");
    } else {
        connection_.execute(insert);
    }
    connection_.execute("DROP TABLE " + aside_);
}

}  // namespace db

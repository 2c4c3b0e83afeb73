#pragma once
// The check of a Datenpool reached through an ODBC driver of another database than SQLite: the
// driver and the database system as SQLGetInfo names them, the columns as SQLColumns lists
// them, the routines as SQLProcedures does. What ODBC cannot tell (rights, encryption, others'
// locks) is said to be unknown; the SQL Server dialect asks the server itself.

#include <vector>

#include "db/Survey.h"
#include "db/odbc/OdbcConnection.h"

namespace db {

class OdbcSurvey : public Survey {
public:
    explicit OdbcSurvey(OdbcConnection& connection) : connection_(connection) {}

    std::vector<Finding> connectionFindings() override;
    std::optional<std::vector<ColumnFacts>> columns(const std::string& table) override;
    Finding routine(const std::string& name) override;
    std::vector<Finding> rights() override;
    Finding locks() override;

protected:
    OdbcConnection& connection_;
};

// The driver and its version, the database system and its version (SQL_DRIVER_NAME,
// SQL_DRIVER_VER, SQL_DBMS_NAME, SQL_DBMS_VER).
std::vector<Finding> odbcDriverFindings(const OdbcConnection& connection);

ColumnKind odbcColumnKind(SQLSMALLINT sqlType);

}  // namespace db

#pragma once
// What start-up asks SQL Server about the Datenpool, through its metadata functions: they answer
// at once, also while another session holds a lock on the table (a TRUNCATE takes a schema lock,
// which every statement that reads the table would wait for).

#include <string>
#include <string_view>

namespace db {

// Answers 1 when the database has a table or view of that name, else 0.
std::string sqlServerTableExists(std::string_view name);

// Answers 1 when the database is set to READ_ONLY, else 0.
inline constexpr const char* kSqlServerReadOnly =
    "SELECT CASE WHEN DATABASEPROPERTYEX(DB_NAME(), 'Updateability') = 'READ_ONLY' THEN 1 ELSE 0 END";

}  // namespace db

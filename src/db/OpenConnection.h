#pragma once
// Opens the connection a connection string names, with the keywords the law-office system
// stores ("Provider=SQLOLEDB.1; Data Source=srv; Initial Catalog=Norvel; ..."):
//   Provider=SQLite                          the embedded Datenpool file named by Data Source
//   Provider=SQLOLEDB / SQLNCLI / MSOLEDBSQL SQL Server through its ODBC driver
//   Driver=... or DSN=... (no Provider)      that ODBC data source, the string unchanged
// Throws db::Error with the provider-like text that start-up shows in the target field when
// the string names nothing usable or the database cannot be reached.

#include <memory>
#include <string>

#include "db/Connection.h"

namespace db {

std::unique_ptr<Connection> openConnection(const std::string& connectionString);

}  // namespace db

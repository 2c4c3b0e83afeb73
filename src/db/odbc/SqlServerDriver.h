#pragma once
// The ODBC driver that reaches SQL Server: the newest of Microsoft's that is installed, else
// FreeTDS, else the "SQL Server" driver that every Windows has.

#include <string>
#include <vector>

namespace db {

std::string chooseSqlServerDriver(const std::vector<std::string>& installed);

// The drivers the ODBC driver manager knows (SQLDriversW).
std::vector<std::string> installedOdbcDrivers();

}  // namespace db

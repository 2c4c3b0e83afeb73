#include "db/odbc/SqlServerDriver.h"

#include "db/Names.h"
#include "db/odbc/Odbc.h"
#include "db/odbc/OdbcHandles.h"
#include "db/odbc/OdbcText.h"

namespace db {

namespace {

// Newest first.
const char* const kPreferred[] = {
    "ODBC Driver 18 for SQL Server",
    "ODBC Driver 17 for SQL Server",
    "ODBC Driver 13.1 for SQL Server",
    "ODBC Driver 13 for SQL Server",
    "SQL Server Native Client 11.0",
    "FreeTDS",
    "SQL Server",
};

}  // namespace

std::string chooseSqlServerDriver(const std::vector<std::string>& installed) {
    for (const char* preferred : kPreferred) {
        for (const auto& name : installed) {
            if (sameName(name, preferred)) return name;
        }
    }
#ifdef _WIN32
    return "SQL Server";
#else
    return "FreeTDS";
#endif
}

std::vector<std::string> installedOdbcDrivers() {
    std::vector<std::string> names;
    const auto environment = OdbcHandle::environment();
    SQLWCHAR name[256];
    SQLWCHAR attributes[1024];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(
        SQLDriversW(environment.get(), direction, name, 256, &nameLength, attributes, 1024, &attributesLength))) {
        names.push_back(fromWide(name, nameLength));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

}  // namespace db

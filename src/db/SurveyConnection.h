#pragma once
// The check of the Datenpool behind an open connection, as its backend answers it: the embedded
// file, a SQLite file through its ODBC driver, SQL Server, or another ODBC data source.

#include <memory>

#include "db/Connection.h"
#include "db/Survey.h"

namespace db {

// The survey keeps the connection, which must outlive it. Throws std::logic_error for a
// connection of no known backend.
std::unique_ptr<Survey> surveyConnection(Connection& connection);

}  // namespace db

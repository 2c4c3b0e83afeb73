#pragma once
// What an ODBC connection is opened with: the string for the driver manager, what the caller's
// own string named as the server and the database (the driver is asked when empty), and how
// long logging in and each statement may wait.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/ConnectionString.h"
#include "db/odbc/OdbcError.h"

namespace db {

struct OdbcTarget {
    std::string connectionString;
    std::string dataSource;
    std::string catalog;
    std::optional<std::uint32_t> loginTimeoutSeconds;
    std::optional<std::uint32_t> queryTimeoutSeconds;
    ErrorNumbers errorNumbers = ErrorNumbers::Unknown;  // whose numbers a failure to connect carries
};

// The waits a connection's keywords ask for: "Connect Timeout" (or "Connection Timeout",
// "Timeout") for logging in, "Command Timeout" for each statement, which takes the login's where
// it has none of its own; 30 seconds where neither is given (ADO's own defaults are 15 for the
// login and 30 per statement, set on its objects, not read from the keywords). 0 waits as long
// as it takes. A value that is no number counts as not given.
void setTimeouts(OdbcTarget& target, const std::vector<Keyword>& keywords);

}  // namespace db

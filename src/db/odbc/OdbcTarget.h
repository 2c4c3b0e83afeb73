#pragma once
// What an ODBC connection is opened with: the string for the driver manager, and what the
// caller's own string named as the server and the database (the driver is asked when empty).

#include <cstdint>
#include <optional>
#include <string>

namespace db {

struct OdbcTarget {
    std::string connectionString;
    std::string dataSource;
    std::string catalog;
    std::optional<std::uint32_t> loginTimeoutSeconds;
};

}  // namespace db

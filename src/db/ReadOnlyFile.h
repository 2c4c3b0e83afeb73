#pragma once
// Whether a database file and its folder take writes, found out without touching the database:
// SQLite writes into the file, and beside it creates its journal for every write.

#include <optional>
#include <string>

namespace db {

// Why the file (UTF-8 path) or its folder takes no writes, in German; none when both do.
std::optional<std::string> whyFileIsReadOnly(const std::string& path);

}  // namespace db

#pragma once
// The two T-SQL statements the tool sends, in SQLite's words:
//   truncate table T                 -> delete every row and restart T's id counter
//   DBCC CHECKIDENT('T', RESEED, n)  -> the next id of T becomes n + 1

#include <optional>
#include <string>
#include <string_view>

namespace db {

std::optional<std::string> translateTsql(std::string_view statement);

}  // namespace db

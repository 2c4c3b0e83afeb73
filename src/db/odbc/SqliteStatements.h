#pragma once
// SQL text of several statements cut into single ones, for the SQLite ODBC driver, which takes
// one statement per call. The cuts are where SQLite itself would end a statement.

#include <string>
#include <string_view>
#include <vector>

namespace db {

std::vector<std::string> splitSqliteStatements(std::string_view sql);

}  // namespace db

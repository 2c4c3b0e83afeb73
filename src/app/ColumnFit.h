#pragma once
// Whether a table's columns take what the tool writes there: every column present, of a type
// that holds the value, and long enough for the longest text the field mapper composes.

#include <optional>
#include <string>
#include <vector>

#include "db/Survey.h"

namespace app {

// columns: as the database declares them, none when the table is missing (always a failure).
// misfit: the verdict of a column that is missing or does not fit; typeNote: how the database
// holds types, said on the line of a table whose columns all fit.
std::vector<db::Finding> judgeColumns(const std::string& table,
                                      const std::optional<std::vector<db::ColumnFacts>>& columns, db::Verdict misfit,
                                      const std::string& typeNote);

}  // namespace app

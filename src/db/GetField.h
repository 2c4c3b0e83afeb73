#pragma once
// GetField: one value looked up with "SELECT " + auswahl. The answer is the first column of
// the first row; the table of all rows when the query has more than one column (even for one
// row); nullwert when there is no row or the first value is null; fehlerwert, silently, when
// the lookup fails. Without fehlerwert the failure's description goes to `report` (the window
// shows it without an icon under the application's title) and the answer is empty. An
// omitted nullwert makes that answer empty as well.

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "db/GoOn.h"  // Report
#include "db/Value.h"

namespace db {

class Connection;

// The rows of a lookup with more than one column, indexed [field][row].
using FieldTable = std::vector<std::vector<Value>>;
// Empty (std::monostate), a value, or a table.
using FieldResult = std::variant<std::monostate, Value, FieldTable>;

FieldResult GetField(Connection& connection, std::string_view auswahl, const std::optional<Value>& nullwert,
                     const std::optional<Value>& fehlerwert, const Report& report);

}  // namespace db

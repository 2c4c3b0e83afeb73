#pragma once
// Birth dates as a German office writes them: "D.M.YYYY", "D.M.YY", "YYYY-MM-DD" and
// "D/M/YYYY", blanks around them ignored. Two-digit years 00 to 29 are 2000 to 2029, 30 to 99
// are 1930 to 1999. The date must exist. The same answer on every machine, whatever its locale.

#include <optional>
#include <string_view>

#include "db/Value.h"

namespace adr {

std::optional<db::Date> recogniseBirthDate(std::string_view text);

}  // namespace adr

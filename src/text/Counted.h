#pragma once
// A count with its noun in the number the count takes: "1 Datensatz", "2.000 Datensätze".

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// The number's digits grouped by separator, a blank, and one for 1, many for every other number.
std::string counted(std::int64_t number, std::string_view separator, std::string_view one, std::string_view many);

}  // namespace text

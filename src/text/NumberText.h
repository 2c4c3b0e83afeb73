#pragma once
// Numbers as the user reads them: "#,##0" with the digit grouping of the user's locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// Groups of three digits joined by separator (no separator: plain digits).
std::string groupDigits(std::int64_t number, std::string_view separator);

}  // namespace text

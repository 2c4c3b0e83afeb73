#pragma once
// Database object and column names compare without regard to case (ASCII letters).

#include <string_view>

namespace db {

bool sameName(std::string_view a, std::string_view b);

}  // namespace db

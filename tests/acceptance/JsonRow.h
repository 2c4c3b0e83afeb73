#pragma once
// Reads one line of the expected rows: a flat JSON object whose values are texts, numbers or null.

#include <map>
#include <string>

#include "db/Value.h"

namespace acceptance {

// Column name -> expected value (null, double or text). Throws std::runtime_error on bad input.
std::map<std::string, db::Value> parseJsonRow(const std::string& line);

}  // namespace acceptance

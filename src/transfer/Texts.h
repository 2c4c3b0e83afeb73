#pragma once
// The transfer layer's texts for the user.

#include <string>
#include <string_view>

namespace transfer::texts {

// The address table's highest ID, when it is none the import can count on.
std::string highestIdNotAnInteger(std::string_view value);

}  // namespace transfer::texts

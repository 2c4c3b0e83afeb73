#pragma once
// How many address records an ADR directory holds: the lines of its files "01A" to "99A" that
// open a record, counted as the batch reader frames them, without converting anything.

#include <cstdint>
#include <string>

namespace adr {

// Files that are not there count nothing. Throws with a message that names a file that is
// there but cannot be read.
std::int64_t countRecords(const std::string& directory);

}  // namespace adr

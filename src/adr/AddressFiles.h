#pragma once
// The names of the address files of an ADR directory: two digits and "A".

#include <cstdint>
#include <string>

namespace adr {

// "01A" for 1; the batch reader reads 1 to 99.
std::string addressFileName(int number);
// The file that holds an address: the last two digits of its number ("45A" for 745, "00A" for 300).
std::string addressFileNameFor(std::int32_t addressNumber);
// directory + "/" + name.
std::string addressFilePath(const std::string& directory, const std::string& name);

}  // namespace adr

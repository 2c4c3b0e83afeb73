#pragma once
// The names of the address files of an ADR directory: two digits and "A" (or "a").

#include <cstdint>
#include <string>

namespace adr {

// "01A" for 1; the batch reader reads 1 to 99.
std::string addressFileName(int number);
// The file that holds an address: the last two digits of its number ("45A" for 745, "00A" for 300).
std::string addressFileNameFor(std::int32_t addressNumber);
// The name inside the directory, joined as the directory is written; where letter cases differ
// (a Linux directory), "01a" when only that exists: the name as written is preferred.
std::string addressFilePath(const std::string& directory, const std::string& name);
// The path of "01A", whose presence makes a directory an ADR directory.
std::string firstAddressFilePath(const std::string& directory);

}  // namespace adr

#pragma once
// Writes an ADR directory of realistic German addresses: every marker and tag block the field
// mapper knows, at rates seen in real data, umlauts as the DOS bytes of the reader's table,
// CR LF line ends, the records spread over "01A" to "99A" by the last two digits of their
// number. The same seed gives the same directory.

#include <cstdint>
#include <filesystem>

namespace bench {

// Answers the number of bytes written.
std::uint64_t writeCorpus(const std::filesystem::path& directory, int records, std::uint32_t seed);

}  // namespace bench

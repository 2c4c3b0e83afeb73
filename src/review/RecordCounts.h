#pragma once
// How many records a run read, and what became of them: read = saved + discarded (+ unknown).

#include <cstdint>
#include <string>
#include <string_view>

namespace review {

struct RecordCounts {
    std::int64_t read = 0;
    std::int64_t saved = 0;
    std::int64_t discarded = 0;
    std::int64_t notes = 0;
    std::int64_t filesUnreadable = 0;
    // Handed to the staging table, but neither their rows could be looked up nor counted: saved
    // or not, only the table can tell.
    std::int64_t unknown = 0;
};

// "1.234 Datensätze gelesen: 1.200 gespeichert, 34 verworfen; 56 Hinweise; 0 Adressdateien fehlen oder sind unlesbar."
// With records of unknown outcome the saved count is said to be unknown, and where to look.
std::string countsLine(const RecordCounts& counts, std::string_view groupSeparator);

}  // namespace review

#pragma once
// How many records a run read, and what became of them: read = saved + discarded (+ unknown).

#include <cstdint>
#include <optional>

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
    // Records that repeat an earlier one's name with its address or telephone number; only when
    // the records were checked for them.
    std::optional<std::int64_t> likelyDuplicates;
    // The address table could not be read to compare the records with (a table of another form).
    bool tableNotCompared = false;
    // Not every record could be looked through for them (their work file failed, or the memory
    // for the checks ran out): likelyDuplicates counts those found.
    bool duplicatesNotAllFound = false;
};

}  // namespace review

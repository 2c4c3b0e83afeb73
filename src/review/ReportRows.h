#pragma once
// The report's rows: one per record and per unreadable file, in reading order, read back from
// the work file (the records, and apart from them their original lines), each record handed to
// the staging table with the staging id its row has.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace review {

class LikelyDuplicates;
class RecordSpill;
class RowChecks;
class TableSink;

// The id a record handed on gets in the report when its row could not be looked up.
inline constexpr std::int64_t kUnpaired = -1;

class ReportRows {
public:
    // The report's columns, in their order.
    static const std::vector<std::string>& columns();

    // duplicates: the likely duplicates found among the records, noted on their rows; none when
    // they were not looked for.
    // checks: the checks of the rows, when they were made.
    ReportRows(RecordSpill& spill, LikelyDuplicates* duplicates, const RowChecks* checks)
        : spill_(spill), duplicates_(duplicates), checks_(checks) {}

    // The outcome and the note of the records whose rows could not be looked up (kUnpaired).
    void unpaired(std::string outcome, std::string note);
    // Writes every row; nextId gives the staging id of the next record handed on (0: it has no
    // row). False when the work file could not be written or read to its end: then the last
    // row says so, and cutShort why. recordsRead: of the whole run, for that row.
    bool write(TableSink& writer, const std::function<std::int64_t()>& nextId, std::int64_t recordsRead);
    // Why the report ends before its last record, when it does; empty otherwise.
    const std::string& cutShort() const { return cutShort_; }

private:
    RecordSpill& spill_;
    LikelyDuplicates* duplicates_;
    const RowChecks* checks_;
    std::string unpairedOutcome_;
    std::string unpairedNote_;
    std::string cutShort_;
};

}  // namespace review

#pragma once
// The pairing of the records with the rows of the run's list while it is read, by the rule of
// RowPairing. It stands only for a complete list whose rows each have both columns and a whole
// id above the one before; for any other the table is paired in a pass of its own.

#include <cstdint>
#include <functional>

#include "review/NumberLog.h"
#include "review/RowPairing.h"

namespace db {
class RowSet;
}

namespace review {

class ListedPairing {
public:
    ListedPairing(NumberLog::Reader records, std::function<void(std::int64_t id)> paired)
        : pairing_(records, std::move(paired)) {}

    // The next listed row ("id", "fremdid"), while it is the row set's current one.
    void take(const db::RowSet& row);
    // Whether the rows so far can pair the records.
    bool usable() const { return usable_; }
    // The list has ended; complete: every row of the run was listed.
    void end(bool complete) { complete_ = complete && usable_; }
    // The list has ended complete, and its rows paired the records.
    bool complete() const { return complete_; }

private:
    RowPairing pairing_;
    bool columnsKnown_ = false;
    int idAt_ = -1;
    int fremdidAt_ = -1;
    std::int64_t lastId_ = 0;
    bool usable_ = true;
    bool complete_ = false;
};

}  // namespace review

#pragma once
// The rule that pairs the staging rows of a run, in id order, with the records handed to the
// staging table, in order. Rows are inserted in record order, so the pairing needs no answer
// from the writer per row, which may hold rows back in batches: a row is the row of the next
// record still to come whose address number its fremdid agrees with, and the records before
// that one have none. A row that no record still to come matches is one this run did not write
// (another workstation's, one a trigger added or renumbered): taken for the next record, it
// would leave every later record without its row, so it is passed over. Each row passed over
// costs a pass over the records left: past 1000 the pairing gives up.

#include <cstdint>
#include <functional>

#include "review/NumberLog.h"

namespace db {
class Value;
}

namespace review {

class RowPairing {
public:
    // records: the address numbers of the records handed on; paired: told the staging id of
    // each record the rows reach, in order, 0 for a record without a row.
    RowPairing(NumberLog::Reader records, std::function<void(std::int64_t id)> paired)
        : ahead_(records), paired_(std::move(paired)) {}

    enum class Taken { paired, passedOver, gaveUp };
    // The next row, by its fremdid; its id is read only when it is paired.
    Taken take(const db::Value& fremdid, const std::function<std::int64_t()>& id);
    // Every record has been reached.
    bool done() const { return ahead_.atEnd(); }
    std::int64_t rowsPaired() const { return rowsPaired_; }

private:
    NumberLog::Reader ahead_;  // the records still to come
    std::function<void(std::int64_t)> paired_;
    std::int64_t rowsPaired_ = 0;
    std::int64_t rowsPassedOver_ = 0;
};

}  // namespace review

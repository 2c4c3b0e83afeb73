#pragma once
// The table's own pass: the records paired, by the rule of RowPairing, with the rows a query
// selects, when the list could not pair them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "review/NumberLog.h"

namespace db {
class Connection;
}

namespace review {

struct TablePass {
    // Why the rows could not be read up to the last record (the records not reached are
    // unpaired); none when they could.
    std::optional<std::string> failure;
    std::int64_t rowsPaired = 0;
    // The rows not read are this run's: none was passed over as another's past the limit.
    bool rowsLeftCountable = true;
};

// rowsQuery: the run's rows, "id" and "fremdid", ordered by id. paired: as for RowPairing.
TablePass pairWithTable(db::Connection& connection, const std::string& rowsQuery, NumberLog::Reader records,
                        std::function<void(std::int64_t id)> paired);

}  // namespace review

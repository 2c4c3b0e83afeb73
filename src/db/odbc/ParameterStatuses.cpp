#include "db/odbc/ParameterStatuses.h"

#include <algorithm>

namespace db {

SetFates fatesOf(SQLRETURN rc, std::span<const SQLUSMALLINT> statuses, SQLULEN processed) {
    const std::size_t sets = statuses.size();
    SetFates result{std::vector<SetFate>(sets, SetFate::Saved)};
    const bool reported =
        std::none_of(statuses.begin(), statuses.end(), [](SQLUSMALLINT s) { return s == kStatusNotReported; });
    if (!reported) {
        if (!SQL_SUCCEEDED(rc) && sets > 0) {
            const std::size_t failed = std::min<std::size_t>(processed, sets - 1);
            std::fill(result.fates.begin() + static_cast<std::ptrdiff_t>(failed), result.fates.end(), SetFate::Again);
            result.fates[failed] = SetFate::Failed;
        }
        return result;
    }
    bool settled = false;
    for (std::size_t i = 0; i < sets; ++i) {
        switch (statuses[i]) {
            case SQL_PARAM_SUCCESS:
            case SQL_PARAM_SUCCESS_WITH_INFO: settled = true; break;
            case SQL_PARAM_UNUSED: result.fates[i] = SetFate::Again; break;
            default:  // SQL_PARAM_ERROR, SQL_PARAM_DIAG_UNAVAILABLE
                result.fates[i] = SetFate::Failed;
                settled = true;
        }
    }
    // Nothing was done: the first set takes the failure, so that the rest can go on.
    if (!settled && sets > 0) result.fates[0] = SetFate::Failed;
    result.failureUnexplained = !SQL_SUCCEEDED(rc) && std::all_of(result.fates.begin(), result.fates.end(),
                                                                  [](SetFate f) { return f == SetFate::Saved; });
    return result;
}

}  // namespace db

#pragma once
// The import lock on SQL Server: an application lock that the transaction holds, so that one
// import or undo runs at a time on every workstation that reaches the database.

#include <cstdint>
#include <optional>
#include <string>

#include "db/Error.h"

namespace db {

// The batch that asks for the lock and answers sp_getapplock's status (0 or 1 granted; -1 the
// wait ran out, -2 cancelled, -3 a deadlock, -999 a wrong call). It waits a little less than a
// statement may (timeoutSeconds; none: as long as it takes), so that the lock's own answer
// comes before the statement's timeout would end the transaction.
std::string sqlServerImportLock(std::optional<std::uint32_t> timeoutSeconds);

// The failure for a status below 0.
Error importLockRefused(std::int64_t status);

}  // namespace db

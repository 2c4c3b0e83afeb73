#include "db/odbc/ImportLock.h"

#include "db/Texts.h"

namespace db {

std::string sqlServerImportLock(std::optional<std::uint32_t> timeoutSeconds) {
    std::int64_t waitMs = -1;
    if (timeoutSeconds && *timeoutSeconds > 0) waitMs = std::int64_t{*timeoutSeconds} * 1000 - 500;
    return "DECLARE @granted int; "
           "EXEC @granted = sp_getapplock @Resource = N'Anschriftenwandler Import', @LockMode = N'Exclusive', "
           "@LockOwner = N'Transaction', @LockTimeout = " +
           std::to_string(waitMs) + "; SELECT @granted";
}

Error importLockRefused(std::int64_t status) {
    return Error(kErrorsOccurred, texts::importLockRefused(status),
                 status == -1 ? Error::Kind::locked : Error::Kind::other);
}

}  // namespace db

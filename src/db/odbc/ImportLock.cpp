#include "db/odbc/ImportLock.h"

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
    const std::string why = status == -1   ? "Ein anderer Arbeitsplatz importiert gerade Adressen in diesen Datenpool "
                                             "oder löscht sie wieder; das Warten darauf lief ab. Bitte später erneut "
                                             "versuchen."
                            : status == -3 ? "Die Datenbank hat das Warten darauf als Verklemmung beendet. Bitte "
                                             "erneut versuchen."
                                           : "Die Datenbank hat sie verweigert.";
    return Error(kErrorsOccurred,
                 "Die Importsperre des Datenpools ließ sich nicht erlangen. " + why +
                     " (sp_getapplock: " + std::to_string(status) + ")",
                 status == -1 ? Error::Kind::locked : Error::Kind::other);
}

}  // namespace db

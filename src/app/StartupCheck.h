#pragma once
// What start-up finds of the Datenpool, and what it lets the user do: why the Datenpool cannot
// be used, for the window and the command line alike, the cause in German, the database's own
// text after it.

#include <string>

#include "db/Connection.h"
#include "db/Error.h"

namespace app {

struct DatenpoolCheck {
    enum class Finding { usable, noProfile, unreachable, noStagingTable, readOnly };
    Finding finding = Finding::usable;
    // Why the Datenpool cannot be used; empty when it can.
    std::string problem;

    // A conversion needs the staging table and a Datenpool that takes writes.
    bool convertible() const { return finding == Finding::usable; }
    // The settings of the import belong to a Datenpool that has its staging table.
    bool hasStagingTable() const { return finding == Finding::usable || finding == Finding::readOnly; }
    // The undo deletes: it needs a connection, and writes.
    bool mayDelete() const { return finding == Finding::usable || finding == Finding::noStagingTable; }
    // Start-up shows this finding in a message box as well (the database script is to be run);
    // the others only in the target field.
    bool toldInMessageBox() const { return finding == Finding::noStagingTable; }
};

// The connection could not be opened.
DatenpoolCheck connectionFailed(const db::Error& error);
// The same, where the current database profile (datenbank: its name, which may be empty) holds
// no connection parameters in the settings at settingsLocation.
DatenpoolCheck noConnectionParameters(const db::Error& error, const std::string& datenbank,
                                      const std::string& settingsLocation);

// Asks the open connection whether it has the staging table (its catalog: no row is read, and no
// lock on the table is waited for) and whether it takes writes.
DatenpoolCheck checkDatenpool(db::Connection& connection);

}  // namespace app

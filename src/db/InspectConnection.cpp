#include "db/InspectConnection.h"

#include <stdexcept>

#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcInspection.h"
#include "db/odbc/SqlServerInspection.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteFileInspection.h"

namespace db {

std::unique_ptr<Inspection> inspectConnection(Connection& connection) {
    if (dynamic_cast<SqliteConnection*>(&connection)) {
        return std::make_unique<SqliteFileInspection>(
            connection, connection.identity(),
            std::vector<Finding>{{Verdict::ok, "Datenpool", sqliteLibraryVersion() + ", eingebettet"}});
    }
    if (auto* odbc = dynamic_cast<OdbcConnection*>(&connection)) {
        if (odbc->session().dialect.identity == Identity::DatabaseFile) {
            return std::make_unique<SqliteFileInspection>(connection, connection.identity(), odbcDriverFindings(*odbc));
        }
        if (odbc->session().dialect.sqlServerMetadata) return std::make_unique<SqlServerInspection>(*odbc);
        return std::make_unique<OdbcInspection>(*odbc);
    }
    throw std::logic_error("Diese Verbindung lässt sich nicht prüfen.");
}

}  // namespace db

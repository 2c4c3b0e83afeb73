#include "transfer/AddressTable.h"

#include <cmath>

#include "db/Connection.h"
#include "db/Error.h"

namespace transfer {

std::int32_t highestId(db::Connection& connection) {
    const auto rows = connection.execute("SELECT MAX (id) FROM Adressen");
    if (rows->atEnd()) return 0;
    const db::Value value = rows->value(0);
    if (value.isNull()) return 0;
    const double id = value.isInteger() ? static_cast<double>(value.integer()) : value.isDouble() ? value.number() : -1;
    if (id < 0 || id > 2147483647.0 || std::floor(id) != id) {
        throw db::Error(
            db::kErrorsOccurred,
            "Die höchste ID der Adressen ist keine ganze Zahl im Bereich bis 2147483647: " + value.toText());
    }
    return static_cast<std::int32_t>(id);
}

std::int64_t stagedCount(db::Connection& connection) {
    return connection.execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
}

void runAddressImport(db::Connection& connection) { connection.execute("AdressImport"); }

void runMaintenance(db::Connection& connection) { connection.execute("Datenpflege"); }

std::int64_t countRange(db::Connection& connection, std::int32_t after, std::int32_t last) {
    return connection
        .execute("SELECT COUNT(*) FROM Adressen WHERE id>" + std::to_string(after) + " AND id<=" + std::to_string(last))
        ->value(0)
        .integer();
}

std::int32_t deleteRange(db::Connection& connection, std::int32_t after, std::int32_t last) {
    // The deletion, the lookup and the reseed stand or fall together: a refused reseed (a login
    // without the rights for DBCC) must not leave the rows gone and the counter where it was.
    connection.beginTransaction();
    try {
        connection.execute("DELETE FROM Adressen WHERE id>" + std::to_string(after) +
                           " AND id<=" + std::to_string(last));
        const std::int32_t remaining = highestId(connection);
        connection.execute("DBCC CHECKIDENT('Adressen', RESEED, " + std::to_string(remaining) + ")");
        connection.commit();
        return remaining;
    } catch (const db::Error&) {
        try {
            connection.rollback();
        } catch (const db::Error&) {
            // The failure that stopped the undo is the one to tell; a transaction the server
            // already ended needs no rollback.
        }
        throw;
    }
}

}  // namespace transfer

#include "transfer/AddressTable.h"

#include <cmath>

#include "db/Connection.h"
#include "db/Error.h"
#include "transfer/Texts.h"

namespace transfer {

std::int32_t highestId(db::Connection& connection) {
    const auto rows = connection.execute("SELECT MAX (id) FROM Adressen");
    if (rows->atEnd()) return 0;
    const db::Value value = rows->value(0);
    if (value.isNull()) return 0;
    const double id = value.isInteger() ? static_cast<double>(value.integer()) : value.isDouble() ? value.number() : -1;
    if (id < 0 || id > 2147483647.0 || std::floor(id) != id) {
        throw db::Error(db::kErrorsOccurred, texts::highestIdNotAnInteger(value.toText()));
    }
    return static_cast<std::int32_t>(id);
}

std::int64_t stagedCount(db::Connection& connection) {
    return connection.execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
}

std::string stagedRowsMark(db::Connection& connection) {
    const auto rows = connection.execute("SELECT COUNT(*), MAX(id) FROM AdressenImport");
    return std::to_string(rows->value(0).integer()) + "|" + rows->value(1).toText() + "|" + connection.identity();
}

void runAddressImport(db::Connection& connection) { connection.callRoutine("AdressImport"); }

void runMaintenance(db::Connection& connection) { connection.callRoutine("Datenpflege"); }

RangeContents rangeContents(db::Connection& connection, std::int32_t after, std::int32_t last) {
    const auto rows = connection.execute("SELECT COUNT(*), MIN(id), MAX(id) FROM Adressen WHERE id>" +
                                         std::to_string(after) + " AND id<=" + std::to_string(last));
    RangeContents contents;
    contents.count = rows->value(0).integer();
    if (contents.count > 0) {
        contents.lowest = rows->value(1).integer();
        contents.highest = rows->value(2).integer();
    }
    return contents;
}

std::int32_t deleteRange(db::Connection& connection, std::int32_t after, std::int32_t last) {
    // The reseed belongs to the same transaction: a refused reseed (a login without the rights
    // for DBCC) must not leave the rows gone and the counter where it was.
    connection.execute("DELETE FROM Adressen WHERE id>" + std::to_string(after) + " AND id<=" + std::to_string(last));
    const std::int32_t remaining = highestId(connection);
    connection.execute("DBCC CHECKIDENT('Adressen', RESEED, " + std::to_string(remaining) + ")");
    return remaining;
}

}  // namespace transfer

#pragma once
// The database side of import and undo on the address table Adressen: its highest id, the
// number of staged addresses, the transfer routine, and the deletion of an id range with the
// identity counter reset. The statements are built from whole numbers only.

#include <cstdint>
#include <string>

namespace db {
class Connection;
}

namespace transfer {

// The protected database profile: import and undo refuse to work on it.
inline constexpr const char* kProtectedDatabase = "NORVEL-SERVER/Norvel";

// "MAX (id) FROM Adressen": 0 for an empty table. Throws db::Error when the lookup fails.
std::int32_t highestId(db::Connection& connection);
// The number of addresses staged in AdressenImport. Throws db::Error when the count fails.
std::int64_t stagedCount(db::Connection& connection);
// What the staging table holds now, so that one filling is told from another (never shown):
// "37|37|/pfad/pool.db", the count, the highest id and the Datenpool. Throws db::Error when the
// lookup fails.
std::string stagedRowsMark(db::Connection& connection);
// Runs the database routine that copies the staged addresses into Adressen.
void runAddressImport(db::Connection& connection);
// Runs the maintenance routine that follows an import.
void runMaintenance(db::Connection& connection);
// The addresses with ids above `after` up to `last`: how many, and the lowest and highest id
// among them (0 when there are none).
struct RangeContents {
    std::int64_t count = 0;
    std::int64_t lowest = 0;
    std::int64_t highest = 0;
};
RangeContents rangeContents(db::Connection& connection, std::int32_t after, std::int32_t last);
// Inside the caller's transaction, so that it stands or falls with it: deletes the ids above
// `after` up to `last` and sets the identity counter to the highest id left; answers that id.
std::int32_t deleteRange(db::Connection& connection, std::int32_t after, std::int32_t last);

}  // namespace transfer

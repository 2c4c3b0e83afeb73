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
// Runs the database routine that copies the staged addresses into Adressen.
void runAddressImport(db::Connection& connection);
// Runs the maintenance routine that follows an import.
void runMaintenance(db::Connection& connection);
// The number of addresses with ids above `after` up to `last`.
std::int64_t countRange(db::Connection& connection, std::int32_t after, std::int32_t last);
// Deletes the ids above `after` up to `last` and sets the identity counter to the highest id
// left, in one transaction; answers that id. On a failure nothing of it is done.
std::int32_t deleteRange(db::Connection& connection, std::int32_t after, std::int32_t last);

}  // namespace transfer

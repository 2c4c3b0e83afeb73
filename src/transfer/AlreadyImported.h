#pragma once
// Staged addresses that an earlier import already brought into Adressen, known by their
// RA-MICRO address number (fremdid), which the import routine copies along. Where Adressen has
// no column fremdid this cannot be told.

#include <cstdint>
#include <optional>

namespace db {
class Connection;
}

namespace transfer {

// The condition on AdressenImport's rows that an earlier import brought into Adressen.
inline constexpr const char* kAlreadyImported = "fremdid IN (SELECT fremdid FROM Adressen)";

// Whether Adressen has the column fremdid, asked without reading a row. Throws db::Error.
bool canTellAlreadyImported(db::Connection& connection);
// How many staged addresses already stand in Adressen; none when it cannot be told. Throws
// db::Error.
std::optional<std::int64_t> countAlreadyImported(db::Connection& connection);

}  // namespace transfer

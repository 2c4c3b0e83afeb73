#pragma once
// import --dry-run: which staged addresses an import would bring into Adressen and which it
// would leave out as imported already, read and changed nothing.

#include <optional>

namespace db {
class Connection;
}

namespace cli {

// Lists every staged address on stdout, marked, and a count line on stderr; onlyNew:
// --only-new (true), --all (false) or neither. Answers the exit code. Throws db::Error.
int importDryRun(db::Connection& connection, std::optional<bool> onlyNew);

}  // namespace cli

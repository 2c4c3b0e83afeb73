#pragma once
// Opening a Datenpool that must be there already: a command that only reads or checks it must
// not leave an empty Datenpool behind where a file name was mistyped.

#include <memory>
#include <string>

#include "db/Connection.h"

namespace cli {

// Throws std::runtime_error when target is no connection string (it holds "=") and names no
// Datenpool file that is there.
void requireExisting(const std::string& target);

// A connection string or the name of an existing Datenpool file. Throws db::Error, or
// std::runtime_error for a file that is not there.
std::unique_ptr<db::Connection> openExisting(const std::string& target);

}  // namespace cli

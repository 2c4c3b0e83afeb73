#pragma once
// Opening the Datenpool that --db names, as the commands need it.

#include <memory>
#include <string>

#include "db/Connection.h"

namespace cli {

// Throws UsageError when the target (what says where it came from: "--db", "init-db FILE")
// is empty or blank.
void checkTarget(const std::string& target, const std::string& what);

// What --db names: a connection string (it holds "="), else a Datenpool file, created from the
// database script when it does not exist. Throws db::Error.
std::unique_ptr<db::Connection> openTarget(const std::string& target);

// openTarget, then checks as the window's start-up does that the Datenpool can take a
// conversion: its staging table is there and it takes writes. Throws db::Error with the
// window's message.
std::unique_ptr<db::Connection> openDatenpool(const std::string& target);

}  // namespace cli

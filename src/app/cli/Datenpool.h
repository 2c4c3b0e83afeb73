#pragma once
// Opening the Datenpool that --db names, as the commands need it.

#include <memory>
#include <string>

#include "db/Connection.h"

namespace cli {

// Opens the embedded Datenpool FILE, creating it from the database script when it does not
// exist, and checks that it holds the staging table. Throws db::Error with the user's message.
std::unique_ptr<db::Connection> openDatenpool(const std::string& file);

}  // namespace cli

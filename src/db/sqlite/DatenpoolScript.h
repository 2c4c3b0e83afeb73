#pragma once
// The database script that creates an embedded Datenpool, built into the program.

#include <string>

namespace db {

const std::string& datenpoolScript();

}  // namespace db

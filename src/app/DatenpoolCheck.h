#pragma once
// The administrator's check before a migration: whether this Datenpool, this login and this
// driver will carry it. One finding per check, in this order: the connection (driver, server,
// encryption), the two tables and their columns, the two routines, the rights, others' locks,
// a trial conversion rolled back, and, for an ADR directory, the time its records would take.
// Nothing of it changes the Datenpool.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Connection.h"
#include "db/Survey.h"

namespace app {

std::vector<db::Finding> checkDatenpool(db::Connection& connection, db::Survey& survey,
                                        const std::optional<std::string>& adrDirectory,
                                        std::string_view groupSeparator);

}  // namespace app

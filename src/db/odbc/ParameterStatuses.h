#pragma once
// What each parameter set of an executed array came to, read from the parameter status array
// and the execution's return code.
//
// A driver that leaves the status array unfilled (the SQLite ODBC driver) stops at its first
// failing set and counts the sets it processed before it: the sets after that one go again.

#include <cstddef>
#include <span>
#include <vector>

#include "db/odbc/Odbc.h"

namespace db {

// The status a set has until the driver sets one.
inline constexpr SQLUSMALLINT kStatusNotReported = 0xFFFF;

enum class SetFate { Saved, Failed, Again };

struct SetFates {
    std::vector<SetFate> fates;
    // The execution failed, yet every set reads as saved: which of its rows stand, no status
    // tells.
    bool failureUnexplained = false;
};

SetFates fatesOf(SQLRETURN rc, std::span<const SQLUSMALLINT> statuses, SQLULEN processed);

}  // namespace db

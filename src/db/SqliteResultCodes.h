#pragma once
// SQLite's result codes, as the embedded Datenpool and the SQLite ODBC driver report them, named
// here so that the ODBC side reads them without SQLite's header (the embedded one checks them
// against it). The primary code is the low byte; an extended code adds detail above it
// (SQLITE_READONLY_DBMOVED is 1032).

#include <cstdint>

#include "db/Error.h"

namespace db::sqlite_result {

inline constexpr std::int32_t kError = 1;
inline constexpr std::int32_t kBusy = 5;
inline constexpr std::int32_t kLocked = 6;
inline constexpr std::int32_t kNoMemory = 7;
inline constexpr std::int32_t kReadOnly = 8;
inline constexpr std::int32_t kInterrupt = 9;
inline constexpr std::int32_t kIoError = 10;
inline constexpr std::int32_t kCorrupt = 11;
inline constexpr std::int32_t kFull = 13;
inline constexpr std::int32_t kConstraint = 19;
inline constexpr std::int32_t kNotADatabase = 26;

inline std::int32_t primary(std::int32_t code) { return code & 0xFF; }

inline Error::Kind kindOf(std::int32_t code) {
    switch (primary(code)) {
        case kBusy:
        case kLocked: return Error::Kind::locked;
        case kCorrupt:
        case kNotADatabase: return Error::Kind::notADatabase;
        case kReadOnly: return Error::Kind::readOnly;
        default: return Error::Kind::other;
    }
}

}  // namespace db::sqlite_result

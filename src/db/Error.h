#pragma once
// A database failure: a 32-bit code, the description the user is shown, and the kind of
// failure that callers act on, so that none of them needs to know a backend's own codes.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace db {

// The database rejected a command (syntax, unknown table or column in a statement).
inline constexpr std::int32_t kErrorsInCommand = static_cast<std::int32_t>(0x80040E14u);
// A constraint was violated.
inline constexpr std::int32_t kIntegrityViolation = static_cast<std::int32_t>(0x80040E2Fu);
// A value could not be stored in its column (too long, wrong type).
inline constexpr std::int32_t kErrorsOccurred = static_cast<std::int32_t>(0x80040E21u);
// A row set read past its end.
inline constexpr std::int32_t kNoCurrentRow = static_cast<std::int32_t>(0x800A0BCDu);
// A column name that the row set does not have.
inline constexpr std::int32_t kItemNotFound = static_cast<std::int32_t>(0x800A0CC1u);
// A provider that is not installed (ADO's adErrProviderNotFound).
inline constexpr std::int32_t kProviderNotFound = static_cast<std::int32_t>(0x800A0E7Au);
// The generic failure (E_FAIL): what has no code of its own, and is never passed over.
inline constexpr std::int32_t kUnspecifiedFailure = static_cast<std::int32_t>(0x80004005u);
// A statement cancelled on request (E_ABORT).
inline constexpr std::int32_t kOperationAborted = static_cast<std::int32_t>(0x80004004u);

class Error : public std::runtime_error {
public:
    enum class Kind {
        other,
        locked,           // another program holds the database, and the wait for it ran out
        notADatabase,     // the file is no database, or a damaged one
        readOnly,         // the database takes no writes
        driverNotLoaded,  // the ODBC driver the connection names could not be loaded
    };

    Error(std::int32_t code, const std::string& description, Kind kind = Kind::other)
        : std::runtime_error(description), code_(code), kind_(kind) {}
    std::int32_t code() const { return code_; }
    const char* description() const { return what(); }
    Kind kind() const { return kind_; }

private:
    std::int32_t code_;
    Kind kind_;
};

// The two codes that reader and mapper pass over without a message.
inline bool isSilent(std::int32_t code) { return code == kErrorsInCommand || code == kIntegrityViolation; }

}  // namespace db

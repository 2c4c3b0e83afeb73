#pragma once
// A database failure: a 32-bit code and the description the user is shown.

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

class Error : public std::runtime_error {
public:
    Error(std::int32_t code, const std::string& description)
        : std::runtime_error(description), code_(code) {}
    std::int32_t code() const { return code_; }
    const char* description() const { return what(); }

private:
    std::int32_t code_;
};

// The two codes that reader and mapper pass over without a message.
inline bool isSilent(std::int32_t code) { return code == kErrorsInCommand || code == kIntegrityViolation; }

}  // namespace db

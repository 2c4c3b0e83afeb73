#pragma once
// The import that the settings record for the undo: the id range (AdressNr0 exclusive, AdressNr1
// inclusive, texts as stored) and the Datenpool it went to (AdressNrDatenpool; empty for a range
// that an earlier version recorded, which does not say).

#include <cstdint>
#include <optional>
#include <string>

namespace app {

inline constexpr const char* kRecordedFrom = "AdressNr0";
inline constexpr const char* kRecordedTo = "AdressNr1";
inline constexpr const char* kRecordedDatenpool = "AdressNrDatenpool";
// Not part of the record: what a cancelled conversion left in the staging table, empty after a
// complete one.
inline constexpr const char* kCancelledConversion = "AbgebrocheneKonvertierung";

struct RecordedImport {
    std::string from;
    std::string to;
    std::string datenpool;
    bool operator==(const RecordedImport&) const = default;
};

// An id field's text as a whole number; none for anything else ("100.5", "abc", ""). The
// statements of import and undo are built from such numbers, never from the texts.
std::optional<std::int32_t> wholeIdOf(const std::string& text);

// Whether two Datenpool identities name one Datenpool: Windows' file names and SQL Server's
// names do not tell upper from lower case; elsewhere a file's name does.
bool sameDatenpool(const std::string& a, const std::string& b);

}  // namespace app

#pragma once
// The conversion of an ADR directory as the "Konvertieren" command runs it: read the files
// into the staging table (in one transaction), list the staged rows, and say what was done.

#include <cstdint>
#include <functional>
#include <string>

namespace adr {
class ConversionEvents;
class FieldMapper;
}  // namespace adr
namespace db {
class Connection;
}

namespace app {

struct ConversionOutcome {
    std::int32_t recordsStarted = 0;  // decides whether the import is offered
    std::int64_t listed = 0;          // the count the summary names
};

// Throws db::Error when the Datenpool cannot take the run (locked, read-only) or cannot keep
// it (the commit failed): the staging table is then as it was before.
ConversionOutcome convertDirectory(db::Connection& connection, adr::FieldMapper& mapper, adr::ConversionEvents& events,
                                   const std::string& directory, const std::function<void(const std::string&)>& addListLine);

// "<server>/<database> / AdressenImport": the target as the window shows it.
std::string datenpoolCaption(const db::Connection& connection);

// "1.234 Adressen konvertiert nach <target>:"
std::string conversionSummary(std::int64_t listed, std::string_view groupSeparator, const std::string& datenpoolCaption);

}  // namespace app

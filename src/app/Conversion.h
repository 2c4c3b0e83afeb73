#pragma once
// The conversion of an ADR directory as the "Konvertieren" command runs it: read the files
// into the staging table (in one transaction), list the staged rows, and say what was done.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace adr {
class ConversionEvents;
class FieldMapper;
}  // namespace adr
namespace db {
class Connection;
class RowSet;
}  // namespace db

namespace app {

struct ConversionOutcome {
    enum class Ending {
        notStarted,  // refused before reading (no directory, no address data), or a click that cancels
        failed,      // the Datenpool could not take or keep the run: it is as it was before
        cancelled,   // the user cancelled the reading; what was read until then is kept
        finished,
    };
    Ending ending = Ending::notStarted;
    std::int32_t recordsStarted = 0;  // decides whether the import is offered
    std::int64_t listed = 0;          // list lines handed on
    bool listComplete = false;        // every staged row was listed
    // When the list is not complete: the rows the staging table holds, when they could be counted.
    std::optional<std::int64_t> staged;
    std::string failure;  // failed: why, as the user reads it
};

// Lines of the list go to addListLine; it answers false to stop the listing (the rows stay).
using ListLineSink = std::function<bool(const std::string& line)>;
// Each listed row, in list order, while it is the row set's current one; it holds the columns
// of the list line, id and fremdid, not the whole row.
using ListedRowSink = std::function<void(const db::RowSet& row)>;

// A Datenpool that cannot take the run (locked, read-only, a staging table that cannot be
// emptied) or keep it (the commit failed) ends it as failed, with the staging table as before.
ConversionOutcome convertDirectory(db::Connection& connection, adr::FieldMapper& mapper, adr::ConversionEvents& events,
                                   const std::string& directory, const ListLineSink& addListLine,
                                   const ListedRowSink& rowListed = {});

// "<server>/<database>": the Datenpool as the window names it.
std::string datenpoolName(const db::Connection& connection);
// The rows the staging table holds; none when they cannot be counted.
std::optional<std::int64_t> stagedRows(db::Connection& connection);
// "<server>/<database> / AdressenImport": the target as the window shows it.
std::string datenpoolCaption(const db::Connection& connection);

// "1.234 Adressen konvertiert nach <target>:"
std::string conversionSummary(std::int64_t listed, std::string_view groupSeparator,
                              const std::string& datenpoolCaption);

// The summary of a run that was not failed: the rows listed, or, when the list stayed
// incomplete, the rows the staging table holds, or that the list could not be read; a
// cancelled run says so after the target.
std::string conversionSummary(const ConversionOutcome& outcome, std::string_view groupSeparator,
                              const std::string& datenpoolCaption);

}  // namespace app

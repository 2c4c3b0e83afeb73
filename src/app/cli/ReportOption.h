#pragma once
// The --report FILE of convert and convert-one. The report's name is tried before the run, so
// a name that cannot be written stops the command before the Datenpool changes; the report is
// begun only when the run has ended (kept, or at its list), and written beside its name, which
// it replaces only once it is whole on disk: a command that ends before, or a report that
// cannot be written to its end, leaves an earlier report as it was and no empty one; a report
// cut short stays beside the name (".part"), its last row saying so. The
// records wait in order in a work file beside it until their staging ids are known after the run,
// their keys in another, in which they are sorted to find the likely duplicates. Drafts and work
// files take names of their own run's, so that runs writing the same report at once, on this
// machine or another, keep apart, and no file of the user's beside it is overwritten.

#include <memory>
#include <optional>
#include <string>

#include "app/Conversion.h"
#include "app/cli/OutputFile.h"
#include "review/MigrationRecords.h"
#include "review/TableWriter.h"
#include "review/WorkFile.h"
#include "review/WorkbookWriter.h"

namespace adr {
class FieldMapper;
}

namespace cli {

class ReportOption {
public:
    // Without a path the records are only counted. Throws UsageError for a name that ends in
    // none of .csv, .jsonl and .xlsx, std::runtime_error when the report cannot be created.
    explicit ReportOption(const std::optional<std::string>& path);
    ~ReportOption();
    ReportOption(const ReportOption&) = delete;
    ReportOption& operator=(const ReportOption&) = delete;

    review::MigrationRecords& records() { return *records_; }
    // Follows a conversion: its records as the mapper tells them, and the rows its list shows,
    // through the sink returned, which pairs them with the records while the list is read.
    app::ListedRowSink follow(adr::FieldMapper& mapper);
    // Settles the records against the staging rows that rowsQuery selects, or that countQuery
    // counts when they cannot be read (no connection: nothing was kept), and writes the report.
    // Throws std::runtime_error when writing fails, or when the report ends before its last record.
    void finish(db::Connection* connection, const std::string& rowsQuery, const std::string& countQuery);

private:
    // Creates the report file anew, with its header.
    review::TableSink& begin();
    // Writes what is still held of the report, a workbook the counts on a sheet of their own, and
    // puts a whole report in its place; one cut short stays beside it.
    void closeReport(bool whole);

    std::optional<std::string> path_;
    review::TableFormat format_ = review::TableFormat::csv;
    bool reportExisted_ = false;
    std::optional<review::WorkFile> spill_;  // the records
    std::optional<review::WorkFile> keys_;   // their keys, sorted to find likely duplicates
    std::optional<OutputFile> file_;
    std::optional<review::TableWriter> writer_;
    std::optional<review::WorkbookWriter> workbook_;
    std::unique_ptr<review::MigrationRecords> records_;  // last: its thread writes to the members above
};

}  // namespace cli

#pragma once
// What the window keeps of its last conversion for the report: every record in a work file of
// its own (in the temporary directory, with a second one for their keys), paired with its staging row while the list is read;
// after the run the counts, and on request the report, written to the file the user names.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Conversion.h"
#include "review/MigrationRecords.h"
#include "review/TableWriter.h"
#include "review/WorkFile.h"

namespace db {
class Connection;
}

namespace app {

class RunReport {
public:
    // A work file that cannot be made leaves the records counted only; save then says why.
    explicit RunReport(const std::filesystem::path& workDirectory);
    // Removes the work file.
    ~RunReport();
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    review::MigrationRecords& records() { return *records_; }
    ListedRowSink pairing() { return records_->pairWhileListed(); }
    // After the run: pairs the records with the staging rows; without a connection nothing was kept.
    void settle(db::Connection* connection, bool listComplete);
    const review::RecordCounts& counts() const { return records_->counts(); }

    // Writes the report to path, as a workbook, CSV or JSON Lines by its ending, beside it first
    // and then in its place. Throws std::runtime_error with the user's message when it cannot be
    // written; answers why it is incomplete (its last row says so too), empty when it is whole.
    std::string save(const std::string& path, std::string_view groupSeparator);

private:
    // Writes every row to the file at path; answers why the report ends early, empty when whole.
    std::string writeTo(const std::filesystem::path& path, review::TableFormat format, std::string_view groupSeparator);

    std::filesystem::path workName_;  // the work files' names without their endings
    review::WorkFile spill_;          // the records
    review::WorkFile keys_;           // their keys, sorted to find likely duplicates
    std::string workFileFailure_;
    std::unique_ptr<review::MigrationRecords> records_;
};

}  // namespace app

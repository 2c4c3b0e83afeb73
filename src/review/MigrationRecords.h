#pragma once
// The record-by-record account of a conversion: every record with its file, line, address
// number, outcome, notes and original lines, and the counts that add up (read = saved +
// discarded). A record counts as saved only when its row is found in the staging table after
// the run, so a row the database lost on the way is never reported as saved.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "adr/RecordObserver.h"
#include "review/CappedList.h"
#include "review/NumberLog.h"

namespace db {
class Connection;
class RowSet;
}  // namespace db

namespace review {

class ListedIds;
class TableWriter;

// Begins the report, anew at each call: what an earlier call began is dropped.
using ReportOpener = std::function<TableWriter&()>;

struct RecordCounts {
    std::int64_t read = 0;
    std::int64_t saved = 0;
    std::int64_t discarded = 0;
    std::int64_t notes = 0;
    std::int64_t filesUnreadable = 0;
    // Handed to the staging table, but neither their rows could be looked up nor counted: saved
    // or not, only the table can tell.
    std::int64_t unknown = 0;
};

// "1.234 Datensätze gelesen: 1.200 gespeichert, 34 verworfen; 56 Hinweise; 0 Adressdateien fehlen oder sind unlesbar."
// With records of unknown outcome the saved count is said to be unknown, and where to look.
std::string countsLine(const RecordCounts& counts, std::string_view groupSeparator);

class MigrationRecords : public adr::RecordObserver {
public:
    // The report's columns, in their order.
    static const std::vector<std::string>& reportColumns();

    // spill: where finished records wait, in order, until their staging ids are known; without
    // one the records are only counted.
    explicit MigrationRecords(std::iostream* spill = nullptr);
    ~MigrationRecords() override;
    MigrationRecords(const MigrationRecords&) = delete;
    MigrationRecords& operator=(const MigrationRecords&) = delete;

    void recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) override;
    void lineRead(const adr::Line& line) override;
    void note(const std::string& text) override;
    void recordEnded(bool saved) override;
    void fileUnreadable(const std::string& file, const std::string& reason) override;

    // After the run: pairs the records handed to the staging table, in order, with the rows that
    // rowsQuery returns ("id", "fremdid", ordered by id). Rows are inserted in record order, so
    // the pairing needs no answer from the writer per row, which may hold rows back in batches.
    // A record without its row becomes discarded; a row that no record still to come matches is
    // passed over. Without a connection nothing was kept.
    // When the rows cannot be read (a table without fremdid, a statement broken off), those
    // still unpaired are counted with countQuery (the run's rows, "SELECT COUNT(*) ..."); their
    // records are saved or discarded by that count, and their report rows say that their own
    // outcome is unknown when the count leaves it open. Without a count they stay unknown.
    // With a report (begun through `report`, and a spill) it gets one row per record and per
    // unreadable file, in reading order, paired while the spill is read back; false when the
    // spill ended inside an entry: then its last row says so. A report that fails is thrown
    // after every record is counted.
    bool settle(db::Connection* connection, const std::string& rowsQuery, const ReportOpener& report = {},
                const std::string& countQuery = {});
    // Why the rows could not be paired with the records, when they could not; empty otherwise.
    const std::string& pairingFailure() const { return pairingFailure_; }
    // Why the report ends before its last record, when it does; empty otherwise.
    const std::string& reportCutShort() const { return reportCutShort_; }
    // The report is begun once the list starts, and written on a thread of its own while the
    // list is read, each record as soon as the listed rows pair it; settle waits for it. When
    // the list turns out unable to pair the records, settle begins the report anew.
    void reportWhileListed(ReportOpener report) { reportWhileListed_ = std::move(report); }
    // While the run's list is read: takes each listed row (its "id" and "fremdid"), in list
    // order, and pairs the records with them by the rule of settle. When listEnded says the list
    // was complete, and every row had a whole id above the one before, settle needs no pass of its
    // own over the table.
    std::function<void(const db::RowSet& row)> pairWhileListed();
    void listEnded(bool complete);
    const RecordCounts& counts() const { return counts_; }

private:
    // The report keeps this many of a record's lines, and of its notes.
    static constexpr std::size_t kReportedParts = 200;
    struct Current {
        std::string file;
        std::uint64_t line = 0;
        std::optional<double> number;
        bool saved = false;
        std::uint64_t lines = 0;
        CappedList notes{" | ", kReportedParts, "weiterer Hinweis", "weitere Hinweise"};
        CappedList original{" ⏎ ", kReportedParts, "weitere Zeile", "weitere Zeilen"};
    };
    // Ends the record being read: tells its end when nobody did, and spills it with all its lines.
    void finishOpenRecord();
    void spillFile(const std::string& file, const std::string& reason);
    void rowListed(const db::RowSet& row);
    void listed(std::int64_t id);
    void startReportAhead();
    void writeReportAhead(TableWriter& writer);
    // Counts a record handed on as saved (its staging id) or, without one, as discarded; a record
    // of unknown outcome was counted when the pairing failed.
    std::int64_t counted(std::int64_t id);
    // The pairing failed (why) with `unpaired` records handed on left: counts them from the table.
    void countUnpaired(db::Connection& connection, const std::string& countQuery, std::int64_t rowsTaken,
                       std::int64_t unpaired, const std::string& why);
    template <typename NextId>
    bool writeReport(TableWriter& writer, NextId nextId);

    std::iostream* spill_;
    Current current_;
    std::string entry_;     // a spilled entry as it is put together or read back, in one piece
    bool open_ = false;     // a record is read whose end is not told yet
    bool reading_ = false;  // a record is read: its lines run up to the next record's
    std::vector<std::pair<std::string, std::string>> laterFiles_;  // unreadable while a record was open
    NumberLog handedOn_;                                           // address numbers of the records handed to the table
    std::int64_t handedCount_ = 0;                                 // records handed to the table
    std::optional<NumberLog::Reader> listedUpTo_;                  // the records handed on that the listed rows reached
    NumberLog listedIds_;                         // per record reached: the id of its listed row, 0 for none
    int listedIdAt_ = -1, listedFremdidAt_ = -1;  // column positions in the listed rows
    std::int64_t lastListedId_ = 0;
    std::int64_t rowsWithoutRecord_ = 0;  // listed rows that no record matched
    bool listUsable_ = false;             // rows were taken while listed, every one in id order
    bool listed_ = false;                 // ... and the list was complete
    RecordCounts counts_;
    ReportOpener reportWhileListed_;
    std::unique_ptr<ListedIds> aheadIds_;  // the pairs, for the report written while listed
    // Writes the report while the list is read; until settle joins it, the spill, entry_ and the
    // counts are its own, and the numbers handed on are only read.
    std::thread ahead_;
    RecordCounts countsBeforeAhead_;
    bool aheadComplete_ = false;
    bool aheadFailed_ = false;
    std::string pairingFailure_;
    // The outcome the records left unpaired get in the report: empty while they are paired.
    std::string unpairedOutcome_;
    std::string unpairedNote_;
    bool spillFailed_ = false;  // a write to the spill failed
    std::string reportCutShort_;
};

}  // namespace review

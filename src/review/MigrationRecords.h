#pragma once
// The record-by-record account of a conversion: every record with its file, line, address
// number, outcome, notes and original lines, and the counts that add up (read = saved +
// discarded). A record counts as saved only when its row is found in the staging table after
// the run, so a row the database lost on the way is never reported as saved.

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "adr/RecordObserver.h"
#include "db/Value.h"
#include "review/CappedList.h"
#include "review/DuplicateKeys.h"
#include "review/LikelyDuplicates.h"
#include "review/ListedPairing.h"
#include "review/NumberLog.h"
#include "review/RecordCounts.h"
#include "review/RecordSpill.h"
#include "review/ReportRows.h"
#include "review/RowChecks.h"
#include "review/Texts.h"

namespace db {
class Connection;
class RowSet;
}  // namespace db

namespace review {

class ReportWhileListed;
class TableSink;

// Begins the report, anew at each call: what an earlier call began is dropped.
using ReportOpener = std::function<TableSink&()>;

class MigrationRecords : public adr::RecordObserver {
public:
    // spill: where finished records and their original lines wait, in order, until their staging
    // ids are known; without one the records are only counted. With one, the row of each record
    // saved is checked as it is written (rowViewer) for implausible values (birth dates against
    // today) and, with keyFile to sort their keys in, for likely duplicates, and the findings noted.
    explicit MigrationRecords(std::iostream* spill = nullptr, std::iostream* keyFile = nullptr,
                              const db::Date& today = currentDate());
    ~MigrationRecords() override;
    MigrationRecords(const MigrationRecords&) = delete;
    MigrationRecords& operator=(const MigrationRecords&) = delete;

    void recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) override;
    void lineRead(const adr::Line& line) override;
    void linesRead(std::uint64_t count) override;
    void lineText(const std::string& text, std::uint64_t recordLine) override;
    void note(const std::string& text) override;
    db::RowViewer* rowViewer() override { return checks_ ? &*checks_ : nullptr; }
    void rowOfRecord(std::uint64_t row) override { current_.row = row; }
    void recordEnded(bool saved) override;
    void fileUnreadable(const std::string& file, const std::string& reason, bool missing) override;
    void readingEnded() override;

    // After the run: pairs the records handed to the staging table with their rows, by the rule
    // of RowPairing: from the list when it paired them (pairWhileListed, listEnded), else from
    // the rows that rowsQuery returns ("id", "fremdid", ordered by id). A record without its row
    // becomes discarded. Without a connection nothing was kept.
    // When the rows cannot be read (a table without fremdid, a statement broken off), those
    // still unpaired are counted with countQuery (the run's rows, "SELECT COUNT(*) ..."); their
    // records are saved or discarded by that count, and their report rows say that their own
    // outcome is unknown when the count leaves it open. Without a count they stay unknown.
    // With a report (begun through `report`, and a spill) it gets one row per record and per
    // unreadable file, in reading order; false when the spill ended inside an entry: then its
    // last row says so. A report that fails is thrown after every record is counted.
    bool settle(db::Connection* connection, const std::string& rowsQuery, const ReportOpener& report = {},
                const std::string& countQuery = {});
    // After settle: writes the report (again) from the spill, each record with the staging id
    // settle found for it; the counts stay as settle left them. False as settle's.
    bool writeReport(TableSink& report);
    // Why the rows could not be paired with the records, when they could not; empty otherwise.
    const std::string& pairingFailure() const;
    // Why the report ends before its last record, when it does; empty otherwise.
    const std::string& reportCutShort() const;
    // The report is begun once reading has ended (at the latest when the list starts), and
    // written on a thread of its own while the rows are kept and the list is read, each record
    // as soon as the listed rows pair it; settle waits for it. When the list turns out unable to
    // pair the records, or the rows were not kept, settle begins the report anew.
    void reportWhileListed(ReportOpener report) { reportWhileListed_ = std::move(report); }
    // While the run's list is read: takes each listed row, in list order, and pairs the records
    // with them. When listEnded says the list was complete, and the list could pair them, settle
    // needs no pass of its own over the table.
    std::function<void(const db::RowSet& row)> pairWhileListed();
    void listEnded(bool complete);
    const RecordCounts& counts() const { return counts_; }
    // Before the run, with a report: the addresses already in the address table, whose repeats
    // among the records are noted as likely duplicates. A table without the columns (or none)
    // is not compared with.
    void readKnownAddresses(db::Connection& connection);

    // Today's date on this machine.
    static db::Date currentDate();

private:
    // The report keeps this many of a record's lines, and of its notes.
    static constexpr std::size_t kReportedParts = 200;
    struct Current {
        std::string file;
        std::uint64_t line = 0;
        std::optional<double> number;
        std::uint32_t index = 0;  // counted from 0 in reading order
        bool saved = false;
        std::uint64_t row = 0;  // written behind: the number of its row; 0 saved at once
        std::uint64_t lines = 0;
        std::string notes;
        CappedList<std::string> noteList{" | ", kReportedParts, texts::kMoreNote, texts::kMoreNotes};
    };
    // Notes what the checks of the saved record's row found: implausible values; hands on its keys.
    void noteFindings();
    // Reading has ended: the last record is finished, and the likely duplicates are found.
    void finishReading();
    // Once reading has ended: finds the likely duplicates and counts them and their notes.
    void findDuplicates();
    // Ends the record being read: tells its end when nobody did, and spills it.
    void finishOpenRecord();
    // Spills the original lines of the record whose lines were told last.
    void finishLines();
    void rowListed(const db::RowSet& row);
    void paired(std::int64_t id);
    void startReportAhead();
    // The staging id settle found for the next record handed on.
    std::int64_t settledId(NumberLog::Reader& ids) const;
    // Counts a record handed on as saved (its staging id) or, without one, as discarded; a record
    // of unknown outcome was counted when the pairing failed.
    std::int64_t counted(std::int64_t id);
    // The pairing failed (why) with `unpaired` records handed on left: counts them from the table.
    void countUnpaired(db::Connection& connection, const std::string& countQuery, std::int64_t rowsPaired,
                       std::int64_t unpaired, const std::string& why);

    std::optional<RecordSpill> spill_;
    // The original lines of the record whose lines are told, ahead of its other events, put
    // together in the spill; whether they are.
    CappedList<ByteBlock> original_{" ⏎ ", kReportedParts, texts::kMoreLine, texts::kMoreLines};
    bool linesOpen_ = false;
    db::Date today_;
    std::optional<LikelyDuplicates> duplicates_;
    std::optional<RowChecks> checks_;
    std::optional<ReportRows> rows_;  // written from the spill
    Current current_;
    bool open_ = false;     // a record is read whose end is not told yet
    bool reading_ = false;  // a record is read: its lines run up to the next record's
    std::vector<std::tuple<std::string, std::string, bool>> laterFiles_;  // unreadable while a record was open
    NumberLog handedOn_;                    // address numbers of the records handed to the table
    std::int64_t handedCount_ = 0;          // records handed to the table
    NumberLog pairedIds_;                   // per record the rows reached: its staging id, 0 for none
    std::optional<ListedPairing> listing_;  // while the list is read
    std::optional<std::string> pairingFailure_;
    RecordCounts counts_;
    ReportOpener reportWhileListed_;
    RecordCounts countsBeforeAhead_;
    std::unique_ptr<ReportWhileListed> ahead_;  // last: its thread reads and counts the members above
};

}  // namespace review

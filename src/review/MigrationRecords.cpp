#include "review/MigrationRecords.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <span>
#include <system_error>

#include "adr/LineReader.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "review/PlausibilityNotes.h"
#include "review/ReportWhileListed.h"
#include "review/TablePairing.h"

namespace review {

MigrationRecords::MigrationRecords(std::iostream* spill, std::iostream* keyFile, const db::Date& today)
    : today_(today) {
    if (!spill) return;
    spill_.emplace(*spill);
    if (keyFile) duplicates_.emplace(*keyFile);
    checks_.emplace(today, keyFile != nullptr);
    rows_.emplace(*spill_, duplicates_ ? &*duplicates_ : nullptr, &*checks_);
}

db::Date MigrationRecords::currentDate() {
    const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
            static_cast<int>(static_cast<unsigned>(day.day()))};
}

MigrationRecords::~MigrationRecords() = default;

void MigrationRecords::recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) {
    finishOpenRecord();
    open_ = true;
    reading_ = true;
    ++counts_.read;
    current_.file = file;
    current_.line = line;
    current_.number = number;
    current_.index = static_cast<std::uint32_t>(counts_.read - 1);
    current_.row = 0;
    current_.lines = 0;
    current_.notes.clear();
    current_.noteList.begin(current_.notes);
}

void MigrationRecords::lineText(const std::string& text, std::uint64_t recordLine) {
    if (!spill_) return;
    if (recordLine != 0) {
        finishLines();
        original_.begin(spill_->beginLines(recordLine));
        linesOpen_ = true;
    }
    if (linesOpen_) original_.add(text);
}

void MigrationRecords::finishLines() {
    if (!linesOpen_) return;
    linesOpen_ = false;
    original_.finish();
    spill_->endLines();
}

void MigrationRecords::lineRead(const adr::Line& line) {
    if (!reading_) return;
    ++current_.lines;
    if (line.characters > adr::kLineTextLimit) {
        note(texts::lineCut(current_.lines, adr::kLineTextLimit, line.characters));
    }
}

void MigrationRecords::linesRead(std::uint64_t count) {
    if (reading_) current_.lines += count;
}

void MigrationRecords::note(const std::string& text) {
    if (!reading_) return;
    ++counts_.notes;
    if (spill_) current_.noteList.add(text);
}

void MigrationRecords::readKnownAddresses(db::Connection& connection) {
    if (!duplicates_) return;
    try {
        const auto rows =
            connection.execute("SELECT id, nachname, vorname, strassenr, PLZOrt, telefon1, telefon2 FROM Adressen");
        std::array<std::string, 6> texts;  // nachname to telefon2, as the values view them
        std::array<DuplicateKey, 3> keys;
        for (; !rows->atEnd(); rows->moveNext()) {
            for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = rows->value(static_cast<int>(i) + 1).toText();
            adr::MappedValues values;
            values.nachname = texts[0];
            values.vorname = texts[1];
            values.strasse = texts[2];
            values.plzOrt = texts[3];
            values.telefon1 = texts[4];
            values.telefon2 = texts[5];
            const db::Value id = rows->value(0);
            duplicates_->addKnown(std::span(keys).first(duplicateKeys(values, keys)),
                                  id.isInteger() ? id.integer() : static_cast<std::int64_t>(id.number()));
        }
    } catch (const std::exception&) {
        // An address table of another form: the records are compared among themselves only, and
        // the counts say so.
        counts_.tableNotCompared = true;
    }
}

void MigrationRecords::noteFindings() {
    std::optional<RowChecks::Findings> found = checks_->take(current_.row);
    if (!found) return;
    for (const std::string& text : found->notes) note(text);
    if (duplicates_) {
        duplicates_->add(current_.index, std::span(found->keys).first(found->keyCount), current_.file, current_.line,
                         current_.number);
    }
}

void MigrationRecords::finishReading() {
    finishOpenRecord();
    finishLines();
    findDuplicates();
}

void MigrationRecords::findDuplicates() {
    if (!duplicates_ || counts_.likelyDuplicates) return;
    duplicates_->resolve();
    counts_.notes += duplicates_->notes();
    counts_.likelyDuplicates = duplicates_->count();
    counts_.duplicatesNotAllFound = duplicates_->failed() || checks_->failed();
}

void MigrationRecords::recordEnded(bool saved) {
    if (!open_) return;
    open_ = false;
    current_.saved = saved;
    if (saved && checks_) noteFindings();
    if (saved) {
        handedOn_.add(current_.number);
        ++handedCount_;
    } else {
        ++counts_.discarded;
    }
}

void MigrationRecords::finishOpenRecord() {
    if (open_) recordEnded(false);
    if (!reading_) return;
    reading_ = false;
    if (!spill_) return;
    current_.noteList.finish();
    spill_->putRecord(current_.saved, current_.file, current_.line, current_.number, current_.notes);
    for (const auto& [file, reason, missing] : std::exchange(laterFiles_, {})) spill_->putFile(file, reason, missing);
}

void MigrationRecords::fileUnreadable(const std::string& file, const std::string& reason, bool missing) {
    ++counts_.filesUnreadable;
    if (!spill_) return;
    // A record still read (from an earlier file) keeps its place before the file's row.
    if (reading_) {
        laterFiles_.emplace_back(file, reason, missing);
    } else {
        spill_->putFile(file, reason, missing);
    }
}

std::function<void(const db::RowSet&)> MigrationRecords::pairWhileListed() {
    listing_.emplace(handedOn_.reader(), [this](std::int64_t id) { paired(id); });
    return [this](const db::RowSet& row) { rowListed(row); };
}

void MigrationRecords::readingEnded() {
    // The report's thread finds the likely duplicates while the run's rows are committed, before
    // the list needs them.
    if (listing_ && reportWhileListed_ && spill_) startReportAhead();
}

void MigrationRecords::rowListed(const db::RowSet& row) {
    if (!listing_->usable()) return;
    if (reportWhileListed_ && spill_) startReportAhead();
    listing_->take(row);
}

void MigrationRecords::paired(std::int64_t id) {
    pairedIds_.add(static_cast<double>(id));
    if (ahead_) ahead_->listed(id);
}

void MigrationRecords::startReportAhead() {
    const ReportOpener report = std::exchange(reportWhileListed_, {});
    // No record is read any more: the last one is finished here, so that the spill and the
    // numbers handed on stay as they are while the report's thread reads them.
    finishOpenRecord();
    finishLines();
    countsBeforeAhead_ = counts_;
    TableSink* writer = nullptr;
    try {
        writer = &report();
    } catch (const std::exception&) {
        return;  // settle begins the report again and tells why it cannot
    }
    try {
        ahead_ = std::make_unique<ReportWhileListed>([this, writer](ListedIds& ids) {
            // While the list is read: the likely duplicates are found before the first row needs them.
            findDuplicates();
            std::int64_t given = 0;  // records handed on whose id was taken
            const auto nextId = [&] {
                ++given;
                return counted(ids.next());
            };
            const bool complete = rows_->write(*writer, nextId, counts_.read);
            while (given < handedCount_) nextId();
            return complete;
        });
    } catch (const std::system_error&) {
        // settle writes it all
    }
}

void MigrationRecords::listEnded(bool complete) {
    if (!listing_) return;
    listing_->end(complete);
    if (ahead_) ahead_->listEnded(listing_->complete());
}

std::int64_t MigrationRecords::counted(std::int64_t id) {
    if (id == kUnpaired) {
        ++counts_.notes;  // its report row says why its row is not named
    } else if (id != 0) {
        ++counts_.saved;
    } else {
        ++counts_.discarded;
        ++counts_.notes;
    }
    return id;
}

bool MigrationRecords::settle(db::Connection* connection, const std::string& rowsQuery, const ReportOpener& report,
                              const std::string& countQuery) {
    const bool pairedWhileListed = connection && listing_ && listing_->complete();
    if (ahead_) {
        const std::optional<bool> written = ahead_->finish(pairedWhileListed);
        ahead_.reset();
        if (pairedWhileListed && written) return *written;
        counts_ = countsBeforeAhead_;
    }
    finishReading();
    if (!pairedWhileListed) {
        pairedIds_ = NumberLog();
        if (connection) {
            std::int64_t reached = 0;
            const TablePass pass = pairWithTable(*connection, rowsQuery, handedOn_.reader(), [&](std::int64_t id) {
                paired(id);
                ++reached;
            });
            if (pass.failure) {
                countUnpaired(*connection, pass.rowsLeftCountable ? countQuery : std::string(), pass.rowsPaired,
                              handedCount_ - reached, *pass.failure);
            }
        }
    }
    NumberLog::Reader ids = pairedIds_.reader();
    std::int64_t given = 0;  // records handed on whose id was taken
    const auto nextId = [&] {
        ++given;
        return counted(settledId(ids));
    };
    bool written = true;
    std::exception_ptr reportFailure;
    try {
        if (report) written = rows_ && rows_->write(report(), nextId, counts_.read);
    } catch (...) {
        reportFailure = std::current_exception();
    }
    // Every record handed on is counted, also when the spill could not be read back to its end
    // or the report could not be written.
    while (given < handedCount_) nextId();
    if (reportFailure) std::rethrow_exception(reportFailure);
    return written;
}

std::int64_t MigrationRecords::settledId(NumberLog::Reader& ids) const {
    // The records the rows did not reach have none, or, when the rows failed, are unpaired.
    if (ids.atEnd()) return pairingFailure_ ? kUnpaired : 0;
    return static_cast<std::int64_t>(ids.next().value_or(0));
}

bool MigrationRecords::writeReport(TableSink& report) {
    if (!rows_) return false;
    NumberLog::Reader ids = pairedIds_.reader();
    return rows_->write(
        report, [&] { return settledId(ids); }, counts_.read);
}

void MigrationRecords::countUnpaired(db::Connection& connection, const std::string& countQuery, std::int64_t rowsPaired,
                                     std::int64_t unpaired, const std::string& why) {
    pairingFailure_ = why;
    std::optional<std::int64_t> rowsLeft;
    if (!countQuery.empty()) {
        try {
            rowsLeft = connection.execute(countQuery)->value(0).integer() - rowsPaired;
        } catch (const std::exception&) {
            // The count fails as the rows did: the records stay unknown.
        }
    }
    if (!rowsLeft) {
        counts_.unknown += unpaired;
        if (rows_) rows_->unpaired(std::string(texts::kUnknown), texts::notLookedUp(why));
        return;
    }
    // The rows left belong to the records left, in order; which of them has one, the rows cannot say.
    const std::int64_t saved = std::clamp<std::int64_t>(*rowsLeft, 0, unpaired);
    counts_.saved += saved;
    counts_.discarded += unpaired - saved;
    if (!rows_) return;
    rows_->unpaired(std::string(saved == unpaired ? texts::kSaved
                                : saved == 0      ? texts::kDiscarded
                                                  : texts::kUnknown),
                    texts::notPaired(why, saved, unpaired));
}

const std::string& MigrationRecords::pairingFailure() const {
    static const std::string none;
    return pairingFailure_ ? *pairingFailure_ : none;
}

const std::string& MigrationRecords::reportCutShort() const {
    static const std::string none;
    return rows_ ? rows_->cutShort() : none;
}

}  // namespace review

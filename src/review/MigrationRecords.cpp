#include "review/MigrationRecords.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "adr/LineReader.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/Value.h"
#include "review/ListedIds.h"
#include "review/TableWriter.h"
#include "text/NumberText.h"

namespace review {

namespace {

// Spilled entries: a kind letter, the length of the rest in eight bytes, then fields, each its
// length in eight bytes and its bytes. A field carries any byte, and an entry is read back in
// one piece and taken apart in place.
constexpr char kSaved = 'S';      // a record handed to the staging table
constexpr char kDiscarded = 'D';  // a record dropped
constexpr char kFile = 'F';       // an unreadable file
constexpr std::size_t kLengthBytes = sizeof(std::uint64_t);
constexpr const char* kNotInTable = "nicht in AdressenImport gespeichert";
// The id of a record whose row could not be looked up.
constexpr std::int64_t kUnpaired = -1;

void append(std::string& joined, std::string_view separator, std::string_view part) {
    if (!joined.empty()) joined += separator;
    joined += part;
}

void putLength(std::string& entry, std::uint64_t length) {
    char bytes[kLengthBytes];
    std::memcpy(bytes, &length, kLengthBytes);
    entry.append(bytes, kLengthBytes);
}

std::uint64_t lengthAt(std::string_view bytes) {
    std::uint64_t length = 0;
    std::memcpy(&length, bytes.data(), kLengthBytes);
    return length;
}

void put(std::string& entry, std::string_view field) {
    putLength(entry, field.size());
    entry.append(field);
}

// Starts an entry with its kind and room for its length, which finishEntry fills in.
void startEntry(std::string& entry, char kind) {
    entry.assign(1, kind);
    putLength(entry, 0);
}

void finishEntry(std::string& entry, std::ostream& spill) {
    const std::uint64_t rest = entry.size() - 1 - kLengthBytes;
    std::memcpy(entry.data() + 1, &rest, kLengthBytes);
    spill.write(entry.data(), static_cast<std::streamsize>(entry.size()));
}

// Reads the next entry; false at the end of the spill or when it ends inside an entry (then
// `complete` is false as well).
bool readEntry(std::istream& spill, char& kind, std::string& entry, bool& complete) {
    char head[1 + kLengthBytes];
    const auto got = spill.rdbuf()->sgetn(head, sizeof head);
    complete = got == 0 || got == static_cast<std::streamsize>(sizeof head);
    if (got != static_cast<std::streamsize>(sizeof head)) return false;
    kind = head[0];
    entry.resize(lengthAt(std::string_view(head + 1, kLengthBytes)));
    const auto size = static_cast<std::streamsize>(entry.size());
    complete = spill.rdbuf()->sgetn(entry.data(), size) == size;
    return complete;
}

// Takes the next field off the front of an entry read back; false when the entry holds no more.
bool take(std::string_view& rest, std::string_view& field) {
    if (rest.size() < kLengthBytes) return false;
    const std::uint64_t length = lengthAt(rest);
    rest.remove_prefix(kLengthBytes);
    if (length > rest.size()) return false;
    field = rest.substr(0, length);
    rest.remove_prefix(length);
    return true;
}

bool sameNumber(const db::Value& fremdid, const std::optional<double>& number) {
    if (fremdid.isNull()) return !number;
    if (!number) return false;
    if (fremdid.isDouble()) return fremdid.number() == *number;
    if (fremdid.isInteger()) return static_cast<double>(fremdid.integer()) == *number;
    return fremdid.toText() == db::Value(*number).toText();
}

// How many of the records still to come (from `ahead` on) precede the first that the row's
// fremdid matches; none when no record still to come matches it: a row this run did not write
// (another workstation's, one a trigger added or renumbered). Taken for the next record, such a
// row would leave every later record without its row, so it is passed over.
std::optional<std::int64_t> recordsBeforeMatch(NumberLog::Reader ahead, const db::Value& fremdid) {
    for (std::int64_t before = 0; !ahead.atEnd(); ++before) {
        if (sameNumber(fremdid, ahead.next())) return before;
    }
    return std::nullopt;
}

// Each row passed over costs a pass over the records left: past this many the pairing gives up.
constexpr std::int64_t kRowsWithoutRecord = 1000;
constexpr const char* kTooManyRowsWithoutRecord =
    "mehr als 1000 Zeilen in AdressenImport gehören zu keinem Datensatz dieses Laufs";

}  // namespace

std::string countsLine(const RecordCounts& c, std::string_view separator) {
    const std::string saved = c.unknown == 0
                                  ? text::groupDigits(c.saved, separator) + " gespeichert"
                                  : "gespeichert unbekannt (" + text::groupDigits(c.saved, separator) + " bestätigt, " +
                                        text::groupDigits(c.unknown, separator) + " ungeprüft: siehe AdressenImport)";
    return text::groupDigits(c.read, separator) + " Datensätze gelesen: " + saved + ", " +
           text::groupDigits(c.discarded, separator) + " verworfen; " + text::groupDigits(c.notes, separator) +
           " Hinweise; " + text::groupDigits(c.filesUnreadable, separator) +
           " Adressdateien fehlen oder sind unlesbar.";
}

const std::vector<std::string>& MigrationRecords::reportColumns() {
    static const std::vector<std::string> columns{"Datei", "Zeile",    "Adressnummer", "Ergebnis",
                                                  "ID",    "Hinweise", "Original"};
    return columns;
}

MigrationRecords::MigrationRecords(std::iostream* spill) : spill_(spill) {}

MigrationRecords::~MigrationRecords() {
    if (!ahead_.joinable()) return;
    aheadIds_->end(false);
    ahead_.join();
}

void MigrationRecords::recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) {
    finishOpenRecord();
    open_ = true;
    reading_ = true;
    ++counts_.read;
    current_.file = file;
    current_.line = line;
    current_.number = number;
    current_.lines = 0;
    current_.notes.clear();
    current_.original.clear();
}

void MigrationRecords::lineRead(const adr::Line& line) {
    if (!reading_) return;
    ++current_.lines;
    if (spill_) current_.original.add(line.text);
    if (line.characters > adr::kLineTextLimit) {
        note("Zeile " + std::to_string(current_.lines) + " nach " + std::to_string(adr::kLineTextLimit) + " von " +
             std::to_string(line.characters) + " Zeichen abgeschnitten");
    }
}

void MigrationRecords::note(const std::string& text) {
    if (!reading_) return;
    ++counts_.notes;
    if (spill_) current_.notes.add(text);
}

void MigrationRecords::recordEnded(bool saved) {
    if (!open_) return;
    open_ = false;
    current_.saved = saved;
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
    startEntry(entry_, current_.saved ? kSaved : kDiscarded);
    put(entry_, current_.file);
    put(entry_, std::to_string(current_.line));
    put(entry_, current_.number ? db::Value(*current_.number).toText() : std::string());
    put(entry_, current_.notes.finish());
    put(entry_, current_.original.finish());
    finishEntry(entry_, *spill_);
    for (const auto& [file, reason] : std::exchange(laterFiles_, {})) spillFile(file, reason);
}

void MigrationRecords::fileUnreadable(const std::string& file, const std::string& reason) {
    ++counts_.filesUnreadable;
    if (!spill_) return;
    // A record still read (from an earlier file) keeps its place before the file's row.
    if (reading_) {
        laterFiles_.emplace_back(file, reason);
    } else {
        spillFile(file, reason);
    }
}

void MigrationRecords::spillFile(const std::string& file, const std::string& reason) {
    startEntry(entry_, kFile);
    put(entry_, file);
    put(entry_, reason);
    finishEntry(entry_, *spill_);
}

std::function<void(const db::RowSet&)> MigrationRecords::pairWhileListed() {
    listUsable_ = true;
    return [this](const db::RowSet& row) { rowListed(row); };
}

void MigrationRecords::rowListed(const db::RowSet& row) {
    if (!listUsable_) return;
    if (!listedUpTo_) {
        listedUpTo_.emplace(handedOn_.reader());
        listedIdAt_ = row.position("id");
        listedFremdidAt_ = row.position("fremdid");
        if (reportWhileListed_ && spill_) startReportAhead();
    }
    // Without the two columns, or with ids out of order, settle pairs from its own query.
    const db::Value id = listedIdAt_ >= 0 && listedFremdidAt_ >= 0 ? row.value(listedIdAt_) : db::Value();
    if (!id.isInteger() || id.integer() <= lastListedId_) {
        listUsable_ = false;
        return;
    }
    lastListedId_ = id.integer();
    // The rule of settle, driven by the rows: the records before the one this row matches have none.
    const auto before = recordsBeforeMatch(*listedUpTo_, row.value(listedFremdidAt_));
    if (!before) {
        if (++rowsWithoutRecord_ > kRowsWithoutRecord) listUsable_ = false;
        return;
    }
    for (std::int64_t i = 0; i < *before; ++i) {
        listedUpTo_->next();
        listed(0);
    }
    listedUpTo_->next();
    listed(lastListedId_);
}

void MigrationRecords::listed(std::int64_t id) {
    listedIds_.add(static_cast<double>(id));
    if (aheadIds_) aheadIds_->add(id);
}

void MigrationRecords::startReportAhead() {
    // No record is read any more: the last one is finished here, so that the spill and the
    // numbers handed on stay as they are while the other thread reads them.
    finishOpenRecord();
    countsBeforeAhead_ = counts_;
    TableWriter* writer = nullptr;
    try {
        writer = &reportWhileListed_();
        aheadIds_ = std::make_unique<ListedIds>();
    } catch (const std::exception&) {
        return;  // settle begins the report again and tells why it cannot
    }
    try {
        ahead_ = std::thread([this, writer] { writeReportAhead(*writer); });
    } catch (const std::system_error&) {
        aheadIds_.reset();  // settle writes it all
    }
}

void MigrationRecords::writeReportAhead(TableWriter& writer) {
    try {
        NumberLog::Reader handed = handedOn_.reader();
        const auto nextId = [&] {
            handed.next();
            return counted(aheadIds_->next());
        };
        aheadComplete_ = writeReport(writer, nextId);
        while (!handed.atEnd()) nextId();
    } catch (...) {
        // Also when the list could not pair the records: settle writes the report again.
        aheadFailed_ = true;
    }
    aheadIds_->stopReading();
}

void MigrationRecords::listEnded(bool complete) {
    listed_ = complete && listUsable_;
    if (aheadIds_) aheadIds_->end(listed_);
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
    const bool pairedWhileListed = connection && listed_;
    if (ahead_.joinable()) {
        aheadIds_->end(pairedWhileListed);
        ahead_.join();
        if (pairedWhileListed && !aheadFailed_) return aheadComplete_;
        counts_ = countsBeforeAhead_;
    }
    finishOpenRecord();
    std::unique_ptr<db::RowSet> rows;
    std::int64_t rowsTaken = 0;  // rows paired with their records
    std::int64_t passed = 0;     // records handed on whose outcome is settled
    // From the first failure on, the records left are counted from the table instead.
    // countable: the rows left in the table are this run's (none was passed over as another's).
    const auto pairingFailed = [&](const std::exception& failure, std::int64_t unpaired, bool countable = true) {
        rows.reset();
        countUnpaired(*connection, countable ? countQuery : std::string(), rowsTaken, unpaired, failure.what());
    };
    if (connection && !pairedWhileListed) {
        try {
            rows = connection->execute(rowsQuery);
        } catch (const std::exception& failure) {
            pairingFailed(failure, handedCount_);
        }
    }
    // The two columns are looked up once; a missing one fails as its use by name does.
    const int idAt = rows ? rows->position("id") : -1;
    const int fremdidAt = rows ? rows->position("fremdid") : -1;
    const auto column = [&](int at, std::string_view name) { return at >= 0 ? rows->value(at) : rows->value(name); };
    NumberLog::Reader handed = handedOn_.reader();
    std::int64_t rowsRecord = -1;  // the record the current row matches, once a record before it had none
    std::int64_t rowsWithoutRecord = 0;
    NumberLog::Reader listedIds = listedIds_.reader();
    // The staging id of the next record handed to the table; 0 when its row is not there.
    const auto nextId = [&]() -> std::int64_t {
        const std::optional<double> number = handed.next();
        std::int64_t id = 0;
        if (pairedWhileListed) {
            // The records after the last listed row have none.
            if (!listedIds.atEnd()) id = static_cast<std::int64_t>(listedIds.next().value_or(0));
        } else if (!unpairedOutcome_.empty()) {
            id = kUnpaired;
        } else if (rows) {
            bool countable = true;
            try {
                while (!rows->atEnd()) {
                    const db::Value fremdid = column(fremdidAt, "fremdid");
                    if (sameNumber(fremdid, number)) {
                        id = column(idAt, "id").integer();
                        ++rowsTaken;
                        rows->moveNext();
                        rowsRecord = -1;
                        break;
                    }
                    if (rowsRecord > passed) break;  // this record has no row; the row is a later one's
                    if (const auto before = recordsBeforeMatch(handed, fremdid)) {
                        rowsRecord = passed + 1 + *before;
                        break;
                    }
                    if (++rowsWithoutRecord > kRowsWithoutRecord) {
                        countable = false;
                        throw std::runtime_error(kTooManyRowsWithoutRecord);
                    }
                    rows->moveNext();
                }
            } catch (const std::exception& failure) {
                // A record whose row was read before the failure keeps it.
                pairingFailed(failure, handedCount_ - passed - (id != 0 ? 1 : 0), countable);
                if (id == 0) id = kUnpaired;
            }
        }
        ++passed;
        return counted(id);
    };
    bool written = true;
    std::exception_ptr reportFailure;
    try {
        if (report) written = spill_ && writeReport(report(), nextId);
    } catch (...) {
        reportFailure = std::current_exception();
    }
    // Every record handed on is counted, also when the spill could not be read back to its end
    // or the report could not be written.
    while (!handed.atEnd()) nextId();
    if (reportFailure) std::rethrow_exception(reportFailure);
    return written;
}

void MigrationRecords::countUnpaired(db::Connection& connection, const std::string& countQuery, std::int64_t rowsTaken,
                                     std::int64_t unpaired, const std::string& why) {
    pairingFailure_ = why;
    std::optional<std::int64_t> rowsLeft;
    if (!countQuery.empty()) {
        try {
            rowsLeft = connection.execute(countQuery)->value(0).integer() - rowsTaken;
        } catch (const std::exception&) {
            // The count fails as the rows did: the records stay unknown.
        }
    }
    if (!rowsLeft) {
        counts_.unknown += unpaired;
        unpairedOutcome_ = "unbekannt";
        unpairedNote_ = "ob in AdressenImport gespeichert, ließ sich nicht nachsehen: " + why;
        return;
    }
    // The rows left belong to the records left, in order; which of them has one, the rows cannot say.
    const std::int64_t saved = std::clamp<std::int64_t>(*rowsLeft, 0, unpaired);
    counts_.saved += saved;
    counts_.discarded += unpaired - saved;
    unpairedOutcome_ = saved == unpaired ? "gespeichert" : saved == 0 ? "verworfen" : "unbekannt";
    unpairedNote_ = "ID unbekannt: die Zeilen in AdressenImport ließen sich den Datensätzen nicht zuordnen (" + why +
                    "); " + std::to_string(saved) + " von " + std::to_string(unpaired) +
                    " dieser Datensätze sind dort gespeichert";
}

template <typename NextId>
bool MigrationRecords::writeReport(TableWriter& writer, NextId nextId) {
    spill_->flush();
    // A write that failed during the run leaves the spill short of what the run told it; what
    // it holds is still read back.
    spillFailed_ = spillFailed_ || spill_->bad();
    spill_->clear();
    spill_->seekg(0);
    reportCutShort_.clear();
    char kind = 0;
    bool complete = true;
    std::int64_t reported = 0;  // records in the report
    std::string notes;          // with a note added
    while (complete && readEntry(*spill_, kind, entry_, complete)) {
        std::string_view rest = entry_;
        std::string_view file;
        if (kind == kFile) {
            std::string_view reason;
            complete = take(rest, file) && take(rest, reason);
            if (complete) writer.row({file, "", "", reason, "", "", ""});
            continue;
        }
        std::string_view line;
        std::string_view number;
        std::string_view recordNotes;
        std::string_view original;
        complete = take(rest, file) && take(rest, line) && take(rest, number) && take(rest, recordNotes) &&
                   take(rest, original);
        if (!complete) break;
        const bool saved = kind == kSaved;
        const std::int64_t id = saved ? nextId() : 0;
        std::string_view outcome = id != 0 ? "gespeichert" : "verworfen";
        if (id == kUnpaired || (saved && id == 0)) {
            notes = recordNotes;
            append(notes, " | ", id == kUnpaired ? unpairedNote_ : kNotInTable);
            recordNotes = notes;
            if (id == kUnpaired) outcome = unpairedOutcome_;
        }
        const std::string idText = id > 0 ? std::to_string(id) : std::string();
        writer.row({file, line, number, outcome, idText, recordNotes, original});
        ++reported;
    }
    if (complete && !spillFailed_) return true;
    reportCutShort_ = std::string("Die Arbeitsdatei des Berichts ließ sich nicht vollständig ") +
                      (spillFailed_ ? "schreiben" : "lesen") + "; der Bericht endet nach " + std::to_string(reported) +
                      " von " + std::to_string(counts_.read) + " Datensätzen.";
    writer.row({"", "", "", "Bericht unvollständig", "", reportCutShort_, ""});
    return false;
}

}  // namespace review

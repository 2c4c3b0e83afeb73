#include "app/MigrationRecords.h"

#include <cstring>
#include <istream>
#include <ostream>
#include <utility>

#include "adr/LineReader.h"
#include "app/NumberText.h"
#include "app/TableWriter.h"
#include "db/Connection.h"
#include "db/Value.h"

namespace app {

namespace {

// Spilled entries: a kind letter, then fields, each its length in eight bytes and its bytes, so
// that a field carries any byte and the reading back needs no search for an end.
constexpr char kSaved = 'S';      // a record handed to the staging table
constexpr char kDiscarded = 'D';  // a record dropped
constexpr char kFile = 'F';       // an unreadable file
constexpr const char* kNotInTable = "nicht in AdressenImport gespeichert";

void append(std::string& joined, std::string_view separator, std::string_view part) {
    if (!joined.empty()) joined += separator;
    joined += part;
}

void put(std::string& entry, std::string_view field) {
    const std::uint64_t size = field.size();
    char length[sizeof size];
    std::memcpy(length, &size, sizeof size);
    entry.append(length, sizeof length).append(field);
}

// Reads one field into a string kept from the field before, so reading back allocates rarely.
bool take(std::istream& in, std::string& field) {
    std::uint64_t size = 0;
    char length[sizeof size];
    if (!in.read(length, sizeof length)) return false;
    std::memcpy(&size, length, sizeof size);
    field.resize(size);
    return static_cast<bool>(in.read(field.data(), static_cast<std::streamsize>(size)));
}

bool sameNumber(const db::Value& fremdid, const std::optional<double>& number) {
    if (fremdid.isNull()) return !number;
    if (!number) return false;
    if (fremdid.isDouble()) return fremdid.number() == *number;
    if (fremdid.isInteger()) return static_cast<double>(fremdid.integer()) == *number;
    return fremdid.toText() == db::Value(*number).toText();
}

}  // namespace

std::string countsLine(const RecordCounts& c, std::string_view separator) {
    return groupDigits(c.read, separator) + " Datensätze gelesen: " + groupDigits(c.saved, separator) + " gespeichert, " +
           groupDigits(c.discarded, separator) + " verworfen; " + groupDigits(c.notes, separator) + " Hinweise; " +
           groupDigits(c.filesUnreadable, separator) + " Adressdateien fehlen oder sind unlesbar.";
}

const std::vector<std::string>& MigrationRecords::reportColumns() {
    static const std::vector<std::string> columns{"Datei", "Zeile", "Adressnummer", "Ergebnis", "ID", "Hinweise", "Original"};
    return columns;
}

void MigrationRecords::recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) {
    finishOpenRecord();
    open_ = true;
    ++counts_.read;
    current_.file = file;
    current_.line = line;
    current_.number = number;
    current_.lines = 0;
    current_.notes.clear();
    current_.original.clear();
}

void MigrationRecords::lineRead(const adr::Line& line) {
    if (!open_) return;
    ++current_.lines;
    if (spill_) append(current_.original, " ⏎ ", line.text);
    if (line.characters > adr::kLineTextLimit) {
        note("Zeile " + std::to_string(current_.lines) + " nach " + std::to_string(adr::kLineTextLimit) + " von " +
             std::to_string(line.characters) + " Zeichen abgeschnitten");
    }
}

void MigrationRecords::note(const std::string& text) {
    if (!open_) return;
    ++counts_.notes;
    if (spill_) append(current_.notes, " | ", text);
}

void MigrationRecords::recordEnded(bool saved) {
    if (!open_) return;
    open_ = false;
    if (saved) {
        handedOn_.add(current_.number);
    } else {
        ++counts_.discarded;
    }
    if (!spill_) return;
    entry_.assign(1, saved ? kSaved : kDiscarded);
    put(entry_, current_.file);
    put(entry_, std::to_string(current_.line));
    put(entry_, current_.number ? db::Value(*current_.number).toText() : std::string());
    put(entry_, current_.notes);
    put(entry_, current_.original);
    spill_->write(entry_.data(), static_cast<std::streamsize>(entry_.size()));
    for (const auto& [file, reason] : std::exchange(laterFiles_, {})) spillFile(file, reason);
}

void MigrationRecords::finishOpenRecord() {
    if (open_) recordEnded(false);
}

void MigrationRecords::fileUnreadable(const std::string& file, const std::string& reason) {
    ++counts_.filesUnreadable;
    if (!spill_) return;
    // A record still open (read from an earlier file) keeps its place before the file's row.
    if (open_) {
        laterFiles_.emplace_back(file, reason);
    } else {
        spillFile(file, reason);
    }
}

void MigrationRecords::spillFile(const std::string& file, const std::string& reason) {
    entry_.assign(1, kFile);
    put(entry_, file);
    put(entry_, reason);
    spill_->write(entry_.data(), static_cast<std::streamsize>(entry_.size()));
}

bool MigrationRecords::settle(db::Connection* connection, const std::string& rowsQuery, TableWriter* report) {
    finishOpenRecord();
    const auto rows = connection ? connection->execute(rowsQuery) : nullptr;
    NumberLog::Reader handed = handedOn_.reader();
    // The staging id of the next record handed to the table; 0 when its row is not there.
    const auto nextId = [&]() -> std::int64_t {
        const std::optional<double> number = handed.next();
        std::int64_t id = 0;
        if (rows && !rows->atEnd() && sameNumber(rows->value("fremdid"), number)) {
            id = rows->value("id").integer();
            rows->moveNext();
        }
        if (id != 0) {
            ++counts_.saved;
        } else {
            ++counts_.discarded;
            ++counts_.notes;
        }
        return id;
    };
    const bool written = !report || (spill_ && writeReport(*report, nextId));
    // Every record handed on is counted, also when the spill could not be read back to its end.
    while (!handed.atEnd()) nextId();
    return written;
}

template <typename NextId>
bool MigrationRecords::writeReport(TableWriter& writer, NextId nextId) {
    spill_->flush();
    spill_->seekg(0);
    std::string file;
    std::string line;
    std::string number;
    std::string notes;
    std::string original;
    for (int kind = spill_->get(); kind != std::char_traits<char>::eof(); kind = spill_->get()) {
        if (kind == kFile) {
            if (!take(*spill_, file) || !take(*spill_, notes)) return false;
            writer.row({file, "", "", notes, "", "", ""});
            continue;
        }
        if (!take(*spill_, file) || !take(*spill_, line) || !take(*spill_, number) || !take(*spill_, notes) ||
            !take(*spill_, original)) {
            return false;
        }
        const bool saved = kind == kSaved;
        const std::int64_t id = saved ? nextId() : 0;
        if (saved && id == 0) append(notes, " | ", kNotInTable);
        const std::string idText = id != 0 ? std::to_string(id) : std::string();
        writer.row({file, line, number, id != 0 ? "gespeichert" : "verworfen", idText, notes, original});
    }
    return true;
}

}  // namespace app

#include "app/MigrationRecords.h"

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

// Spilled entries: a kind letter, then fields each ended by a byte 0, which no text here holds.
constexpr char kRecord = 'R';
constexpr char kFile = 'F';
constexpr const char* kNotInTable = "nicht in AdressenImport gespeichert";

void append(std::string& joined, std::string_view separator, std::string_view part) {
    if (!joined.empty()) joined += separator;
    joined += part;
}

void put(std::ostream& out, std::string_view field) {
    out.write(field.data(), static_cast<std::streamsize>(field.size()));
    out.put('\0');
}

std::string take(std::istream& in) {
    std::string field;
    std::getline(in, field, '\0');
    return field;
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
    current_.line = std::to_string(line);
    current_.number = number;
    current_.numberText = number ? db::Value(*number).toText() : std::string();
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
        handedOn_.push_back(current_.number);
    } else {
        ++counts_.discarded;
    }
    if (!spill_) return;
    spill_->put(kRecord);
    for (const std::string* field : {&current_.file, &current_.line, &current_.numberText}) put(*spill_, *field);
    put(*spill_, saved ? "1" : "0");
    put(*spill_, current_.notes);
    put(*spill_, current_.original);
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
    spill_->put(kFile);
    put(*spill_, file);
    put(*spill_, reason);
}

void MigrationRecords::settle(db::Connection* connection, const std::string& rowsQuery) {
    finishOpenRecord();
    ids_.assign(handedOn_.size(), 0);
    if (connection) {
        auto rows = connection->execute(rowsQuery);
        for (std::size_t i = 0; i < handedOn_.size() && !rows->atEnd(); ++i) {
            if (!sameNumber(rows->value("fremdid"), handedOn_[i])) continue;
            ids_[i] = rows->value("id").integer();
            rows->moveNext();
        }
    }
    for (const std::int64_t id : ids_) {
        if (id != 0) {
            ++counts_.saved;
        } else {
            ++counts_.discarded;
            ++counts_.notes;
        }
    }
}

void MigrationRecords::writeReport(TableWriter& writer) {
    spill_->flush();
    spill_->seekg(0);
    std::size_t handed = 0;
    for (int kind = spill_->get(); kind != std::char_traits<char>::eof(); kind = spill_->get()) {
        if (kind == kFile) {
            const std::string file = take(*spill_);
            writer.row({file, std::string(), std::string(), take(*spill_), std::string(), std::string(), std::string()});
            continue;
        }
        const std::string file = take(*spill_);
        const std::string line = take(*spill_);
        const std::string number = take(*spill_);
        const bool saved = take(*spill_) == "1";
        std::string notes = take(*spill_);
        const std::string original = take(*spill_);
        const std::int64_t id = saved ? ids_[handed++] : 0;
        if (saved && id == 0) append(notes, " | ", kNotInTable);
        writer.row({file, line, number, id != 0 ? "gespeichert" : "verworfen", id != 0 ? std::to_string(id) : std::string(),
                    notes, original});
    }
}

}  // namespace app

#include "review/ReportRows.h"

#include <string_view>
#include <utility>

#include "db/Value.h"
#include "review/LikelyDuplicates.h"
#include "review/RecordSpill.h"
#include "review/RowChecks.h"
#include "review/TableSink.h"
#include "review/Texts.h"

namespace review {

namespace {

void append(std::string& joined, std::string_view separator, std::string_view part) {
    if (!joined.empty()) joined += separator;
    joined += part;
}

// Line, address number and id are numbers, written by this program; a record without one has none.
Cell numberOrNull(std::string_view digits) {
    if (digits.empty()) return {};
    Cell cell = Cell::ofNumber(digits);
    cell.utf8 = true;
    return cell;
}

}  // namespace

const std::vector<std::string>& ReportRows::columns() { return texts::reportColumns(); }

void ReportRows::unpaired(std::string outcome, std::string note) {
    unpairedOutcome_ = std::move(outcome);
    unpairedNote_ = std::move(note);
}

bool ReportRows::write(TableSink& writer, const std::function<std::int64_t()>& nextId, std::int64_t recordsRead) {
    spill_.rewind();
    if (duplicates_) duplicates_->rewind();
    cutShort_.clear();
    RecordSpill::Entry entry;
    RecordSpill::Read read;
    // The original lines of the next record that has any, read ahead.
    RecordSpill::Entry lines;
    RecordSpill::Read linesRead = spill_.nextLines(lines);
    std::int64_t reported = 0;  // records in the report
    std::string notes;          // with a note added
    while ((read = spill_.next(entry)) == RecordSpill::Read::entry) {
        if (entry.kind == RecordSpill::Entry::Kind::file || entry.kind == RecordSpill::Entry::Kind::missingFile) {
            const bool missing = entry.kind == RecordSpill::Entry::Kind::missingFile;
            writer.row(
                {entry.file, {}, {}, missing ? texts::kFileMissing : texts::kFileUnreadable, {}, entry.reason, {}});
            continue;
        }
        // A record whose original lines the work file lost ends the report.
        if (linesRead == RecordSpill::Read::cutShort) {
            read = linesRead;
            break;
        }
        const bool saved = entry.kind == RecordSpill::Entry::Kind::saved;
        const std::int64_t id = saved ? nextId() : 0;
        std::string_view outcome = id != 0 ? texts::kSaved : texts::kDiscarded;
        std::string_view recordNotes = entry.notes;
        const auto index = static_cast<std::uint32_t>(reported);
        const bool unpaired = id == kUnpaired || (saved && id == 0);
        if (unpaired || (duplicates_ && duplicates_->concerns(index))) {
            notes = recordNotes;
            if (duplicates_) duplicates_->notesOn(index, [&](std::string_view note) { append(notes, " | ", note); });
            if (unpaired) append(notes, " | ", id == kUnpaired ? std::string_view(unpairedNote_) : texts::kNotInTable);
            recordNotes = notes;
            if (id == kUnpaired) outcome = unpairedOutcome_;
        }
        const std::string line = std::to_string(entry.line);
        const std::string number = entry.number ? db::Value(*entry.number).toText() : std::string();
        const std::string idText = id > 0 ? std::to_string(id) : std::string();
        const bool hasLines = linesRead == RecordSpill::Read::entry && lines.line == entry.line &&
                              lines.kind == RecordSpill::Entry::Kind::lines;
        writer.row({entry.file, numberOrNull(line), numberOrNull(number), Cell::ofUtf8(outcome), numberOrNull(idText),
                    recordNotes, Cell::ofUtf8(hasLines ? lines.original : std::string_view())});
        if (hasLines) linesRead = spill_.nextLines(lines);
        ++reported;
    }
    if (read == RecordSpill::Read::end && !spill_.writeFailed()) {
        if (checks_ && checks_->failed()) {
            cutShort_ = std::string(texts::kNotEveryRowChecked);
        } else if (duplicates_ && duplicates_->failed()) {
            cutShort_ = std::string(texts::kDuplicatesNotAllFound);
        } else {
            return true;
        }
    } else {
        cutShort_ = texts::reportCutShort(spill_.writeFailed(), reported, recordsRead);
    }
    writer.row({{}, {}, {}, texts::kReportIncomplete, {}, cutShort_, {}});
    return false;
}

}  // namespace review

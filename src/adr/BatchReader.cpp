#include "adr/BatchReader.h"

#include <limits>
#include <memory>
#include <utility>

#include "adr/AddressFiles.h"
#include "adr/ByteSource.h"
#include "adr/ConversionEvents.h"
#include "adr/HeldEvents.h"
#include "adr/LineReader.h"
#include "adr/RecordObserver.h"
#include "adr/RowRefusal.h"
#include "adr/Texts.h"
#include "db/Connection.h"
#include "db/Error.h"

namespace adr {

BatchReader::BatchReader(db::Connection& connection, FieldMapper& mapper, ConversionEvents& events, FileOpener opener)
    : connection_(connection), mapper_(mapper), events_(&events), opener_(std::move(opener)) {}

void BatchReader::report(const std::string& description) {
    events_->showMessage(position_.line == 0 ? description : description + " (" + position_.describe() + ")");
}

void BatchReader::emptyStagingTable() {
    try {
        connection_.execute("truncate table AdressenImport");
    } catch (const db::Error& error) {
        // Whatever the reason (a login without ALTER on the table, a lock, a missing table):
        // the new rows would join the old ones, and the next import would take both.
        throw db::Error(db::isSilent(error.code()) ? db::kUnspecifiedFailure : error.code(),
                        texts::stagingNotEmptied(error.description()));
    }
}

std::int32_t BatchReader::run(const std::string& directory) {
    lineCounter_ = 0;
    recordsStarted_ = 0;
    position_ = {};
    cancelled_ = false;

    emptyStagingTable();
    events_->listCleared();
    std::unique_ptr<db::EditableRowSet> rows;
    try {
        rows = connection_.openForWriting("AdressenImport");
    } catch (const db::Error& error) {
        throw db::Error(error.code(), texts::stagingNotWritable(error.description()));
    }

    fremdid_ = rows->column("fremdid");
    RecordObserver& observer = mapper_.observer();
    ConversionEvents& window = *events_;
    HeldEvents held(window, observer, position_, *rows);
    // The reader and the mapper tell through the held events for the time of the run.
    struct Restore {
        ConversionEvents*& events;
        ConversionEvents* was;
        ~Restore() { events = was; }
    } restore{events_, std::exchange(events_, &held)};
    const FieldMapper::Telling telling(mapper_, position_, &held, &held);

    for (int number = 1; number <= 99 && !cancelled_; ++number) {
        events_->fileStarted(number);
        cancelled_ = !readFile(directory, number, *rows);
    }
    position_ = {};

    // The row still being filled: the last record of a complete run is saved, the record
    // a cancel interrupted is dropped.
    endOpenRecord(*rows, !cancelled_);
    held.release(true);
    db::goOn(report_, [&] { rows->close(); });
    observer.readingEnded();
    return recordsStarted_;
}

bool BatchReader::readFile(const std::string& directory, int number, db::EditableRowSet& rows) {
    position_ = {addressFileName(number), 0};
    std::unique_ptr<ByteSource> file;
    // A file that cannot be opened or read is the file's problem, not the open record's.
    bool missing = false;
    const db::Report fileReport = [&](const std::string& description) {
        mapper_.observer().fileUnreadable(position_.file, description, missing);
        report(description);
    };
    const auto open = [&] {
        try {
            file = opener_(addressFilePath(directory, position_.file));
        } catch (const FileMissing&) {
            missing = true;
            throw;
        }
    };
    if (db::goOn(fileReport, open)) {
        LineReader reader(*file);
        Line line;
        bool more = true;
        bool anyLine = false;
        // A read failure ends the file; what was read of it stays.
        while (db::goOn(fileReport, [&] { more = reader.next(line); }) && more) {
            anyLine = true;
            position_.line = reader.lineNumber();
            if (line.isHeader) {
                endOpenRecord(rows, true);
                lineCounter_ = 0;
            }
            ++lineCounter_;
            if (lineCounter_ == 1) startRecord(line, rows);
            mapper_.observer().lineText(line.text, lineCounter_ == 1 ? position_.line : 0);
            mapper_.observer().lineRead(line);
            if (line.nulBytes > 0) report_(texts::nulBytes(line.nulBytes, line.firstNulColumn));

            mapper_.Auslesen(line.text, lineCounter_, rows);
            if (events_->cancelRequested()) return false;
        }
        if (anyLine && recordOpen()) {
            mapper_.observer().note(texts::endsAtFileEnd(lineCounter_));
        }
    }
    return !events_->cancelRequested();
}

void BatchReader::endOpenRecord(db::EditableRowSet& rows, bool save) {
    const bool open = recordOpen();
    bool saved = false;
    std::string refusal;
    if (save) {
        saved = !rows.atEnd() && db::goOn(report_, [&] { saveKeepingRefusal(refusal, [&] { rows.update(); }); });
    } else {
        db::goOn(report_, [&] { rows.cancelUpdate(); });
    }
    if (!open) return;
    if (!save) mapper_.observer().note(std::string(texts::kDroppedOnCancel));
    if (save && !saved) tellNotSaved(mapper_.observer(), *events_, refusal, position_);
    mapper_.observer().recordEnded(saved);
}

void BatchReader::startRecord(const Line& line, db::EditableRowSet& rows) {
    std::optional<double> number;
    try {
        number = line.number();
    } catch (const std::exception&) {
        // Reported below, where fremdid is set.
    }
    mapper_.observer().recordStarted(position_.file, position_.line, number);
    db::goOn(report_, [&] { rows.addNew(); });
    // A number that does not fit is read again here, for its failure to be reported.
    db::goOn(report_, [&] { rows.set(fremdid_, number ? *number : line.number()); });
    if (recordsStarted_ == std::numeric_limits<std::int32_t>::max()) {
        report(texts::tooManyAddresses(recordsStarted_));
    } else {
        ++recordsStarted_;
    }
    events_->recordsCounted(recordsStarted_);
}

}  // namespace adr

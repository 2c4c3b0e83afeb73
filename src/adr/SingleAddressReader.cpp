#include "adr/SingleAddressReader.h"

#include "adr/AddressFiles.h"
#include "adr/ByteSource.h"
#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "adr/RecordObserver.h"
#include "adr/Texts.h"
#include "db/Connection.h"

namespace adr {

namespace {

// Moves reader behind the header line of the address; false when there is none, or when that
// header is the last line of the file.
bool findRecord(LineReader& reader, Line& line, std::int32_t addressNumber) {
    while (reader.next(line)) {
        if (!line.isHeader) continue;
        try {
            // A header that is the file's last line opens a record with nothing to convert.
            if (line.number() == static_cast<double>(addressNumber)) return !reader.atEnd();
        } catch (const text::NumberOverflow&) {
            // A header whose number does not fit names no address that could be asked for.
        }
    }
    return false;
}

}  // namespace

bool readSingleAddress(db::Connection& connection, FieldMapper& mapper, ConversionEvents& events,
                       const std::string& directory, std::int32_t addressNumber, const FileOpener& opener) {
    SourcePosition position{addressFileNameFor(addressNumber), 0};
    RecordObserver& observer = mapper.observer();
    std::unique_ptr<ByteSource> file;
    try {
        file = opener(addressFilePath(directory, position.file));
    } catch (const std::exception& failure) {
        observer.fileUnreadable(position.file, failure.what(), dynamic_cast<const FileMissing*>(&failure) != nullptr);
        throw;
    }
    LineReader reader(*file);
    Line line;
    if (!findRecord(reader, line, addressNumber)) {
        events.showMessage(texts::addressNumberNotFound(addressNumber));
        return false;
    }
    observer.recordStarted(position.file, reader.lineNumber(), static_cast<double>(addressNumber));
    observer.lineText(line.text, reader.lineNumber());
    observer.lineRead(line);

    const auto rows = connection.openForWriting("AdressenImport WHERE fremdid=" + std::to_string(addressNumber));
    rows->showRowsTo(observer.rowViewer());
    if (rows->atEnd()) {
        rows->addNew();
        rows->set("fremdid", static_cast<double>(addressNumber));
    }

    const FieldMapper::Telling telling(mapper, position);
    std::uint64_t lineCounter = 2;
    for (; lineCounter <= 8 && reader.next(line) && !line.isHeader; ++lineCounter) {
        position.line = reader.lineNumber();
        observer.lineText(line.text, 0);
        observer.lineRead(line);
        mapper.Auslesen(line.text, lineCounter, *rows);
    }
    rows->update();
    rows->close();
    // A record of eight lines was ended by the mapper at its line 8.
    if (lineCounter <= 8) observer.recordEnded(true);
    return true;
}

}  // namespace adr

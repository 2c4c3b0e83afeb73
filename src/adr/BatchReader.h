#pragma once
// RAMicroAdressenEinlesen: empties the staging table and reads the address files "01A" to
// "99A" of an ADR directory into it, one staging row per address record. A line ending in
// "*" opens a record; every line goes to the field mapper with its number in the record.
// Failures are reported (the two silent database codes aside) and reading goes on; only a
// staging table that cannot be emptied or written ends the run before it begins. Where the
// backend can, the rows are written on a thread of their own while the next ones are read.

#include <cstdint>
#include <string>

#include "adr/ByteSource.h"
#include "adr/FieldMapper.h"
#include "db/EditableRowSet.h"
#include "db/GoOn.h"

namespace db {
class Connection;
}  // namespace db

namespace adr {

class ConversionEvents;
struct Line;

class BatchReader {
public:
    BatchReader(db::Connection& connection, FieldMapper& mapper, ConversionEvents& events,
                FileOpener opener = openFile);
    BatchReader(const BatchReader&) = delete;
    BatchReader& operator=(const BatchReader&) = delete;

    // Reads the directory; answers the number of records started (AdressZaehler). Throws
    // db::Error, before any file is read, when the staging table cannot be emptied or opened
    // for writing.
    std::int32_t run(const std::string& directory);
    // Whether the last run was cancelled by the user.
    bool cancelled() const { return cancelled_; }

private:
    void emptyStagingTable();
    // Reads one file; false when the user cancelled.
    bool readFile(const std::string& directory, int number, db::EditableRowSet& rows);
    void startRecord(const Line& line, db::EditableRowSet& rows);
    // Saves or drops the row being filled; tells the end of a record the mapper has not ended
    // at its line 8.
    void endOpenRecord(db::EditableRowSet& rows, bool save);
    // The record being read has not reached its line 8 yet.
    bool recordOpen() const { return lineCounter_ >= 1 && lineCounter_ < 8; }
    // Shows a failure with the file and line being read.
    void report(const std::string& description);

    db::Connection& connection_;
    FieldMapper& mapper_;
    ConversionEvents* events_;  // the window's; during a run what holds them for rows written behind
    FileOpener opener_;
    std::uint64_t lineCounter_ = 0;
    std::int32_t recordsStarted_ = 0;
    bool cancelled_ = false;
    SourcePosition position_;
    db::Column fremdid_;  // looked up once per run
    db::Report report_ = [this](const std::string& description) {
        mapper_.observer().note(description);
        report(description);
    };
};

}  // namespace adr

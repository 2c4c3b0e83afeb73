#pragma once
// What becomes of every address record of a conversion, told on the reading side in record
// order: for the migration report and its counts. Every call does nothing unless overridden.

#include <cstdint>
#include <optional>
#include <string>

namespace db {
class RowViewer;
}

namespace adr {

struct Line;

class RecordObserver {
public:
    virtual ~RecordObserver() = default;
    // A record begins at line (counted from 1 in its file); its header's number, when it has one.
    virtual void recordStarted(const std::string& /*file*/, std::uint64_t /*line*/, std::optional<double> /*number*/) {}
    // A line of the current record, for its length; its text comes through lineText.
    virtual void lineRead(const Line& /*line*/) {}
    // So many lines of the current record, none longer than the text a line keeps, told together
    // in place of a lineRead for each.
    virtual void linesRead(std::uint64_t /*count*/) {}
    // The text of a line as translated (of a long one, the part kept), before the mapper cuts it;
    // recordLine: for a record's first line, its line number as recordStarted tells it, else 0.
    // Told as soon as the line is read, also where the other calls wait for the record's row, so
    // in reading order among the texts only: a record's lines are the texts from its first line
    // up to the next record's.
    virtual void lineText(const std::string& /*text*/, std::uint64_t /*recordLine*/) {}
    // A note on the current record: a failure, a message, why it was discarded.
    virtual void note(const std::string& /*text*/) {}
    // Who looks at the values of each row as it is written (db::RowViewer), on the writing
    // thread; none when nobody does.
    virtual db::RowViewer* rowViewer() { return nullptr; }
    // Just before recordEnded of a record saved in a row written behind: that row's number, as
    // the viewer was told it. Not told for a row written at once (the viewer's 0).
    virtual void rowOfRecord(std::uint64_t /*row*/) {}
    // The current record was handed to the staging table (saved) or dropped.
    virtual void recordEnded(bool /*saved*/) {}
    // An address file that could not be opened or not be read to its end; missing: there is none.
    virtual void fileUnreadable(const std::string& /*file*/, const std::string& /*reason*/, bool /*missing*/) {}
    // The run has read its last record (also when it was cancelled): nothing more is told of the
    // records, and their rows are all written; they are yet to be kept.
    virtual void readingEnded() {}
};

}  // namespace adr

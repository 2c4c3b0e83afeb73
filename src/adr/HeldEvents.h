#pragma once
// Writing the staging rows behind the reader, where the row set can: what the reader and the
// mapper tell the window and the record observer waits here until every row saved before it is
// written, so that a row the database refuses is reported in its place, with its record, as
// when each row is written at once. Progress, pumping and the cancel question go to the window
// at once.

#include <cstdint>
#include <deque>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "adr/RecordObserver.h"
#include "adr/Ring.h"
#include "db/EditableRowSet.h"
#include "db/RowOutcomes.h"

namespace adr {

class HeldEvents : public ConversionEvents, public RecordObserver, private db::RowOutcomes {
public:
    // Asks rows to write behind; where it cannot (no thread, a statement it could not prepare),
    // rows are written at once and nothing waits. position: the reader's, named in the message
    // of a row that failed.
    HeldEvents(ConversionEvents& events, RecordObserver& observer, const SourcePosition& position,
               db::EditableRowSet& rows);

    void showMessage(const std::string& text) override;
    void pumpEvents() override { events_.pumpEvents(); }
    void listCleared() override { events_.listCleared(); }
    void fileStarted(int number) override { events_.fileStarted(number); }
    void recordsCounted(std::int32_t count) override { events_.recordsCounted(count); }
    bool cancelRequested() override { return events_.cancelRequested(); }
    void rowRefused(const std::string& reason, const SourcePosition& where) override;

    void recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) override;
    void lineRead(const Line& line) override;
    // Not held: the texts go on ahead of the events.
    void lineText(const std::string& text, std::uint64_t recordLine) override { observer_.lineText(text, recordLine); }
    void note(const std::string& text) override;
    db::RowViewer* rowViewer() override { return observer_.rowViewer(); }
    void recordEnded(bool saved) override;
    void fileUnreadable(const std::string& file, const std::string& reason, bool missing) override;

    // Passes on what no longer waits for a row; with wait, waits for every row and passes on all.
    void release(bool wait = false);

private:
    void rowSaved(std::uint64_t n) override { lastSaved_ = n; }
    void rowWritten(std::uint64_t n, std::exception_ptr failure) override;

    enum class Kind { message, refusal, recordStarted, lineRead, shortLines, note, recordEnded, fileUnreadable };
    struct Event {
        Kind kind = Kind::message;
        std::string text;        // message, note, refusal; the file of a record, of its end, of an unreadable file
        std::string reason;      // of an unreadable file; the file of a refusal
        std::uint64_t line = 0;  // of a record's start; of a long line read: its characters
        std::optional<double> number;
        std::uint64_t lines = 1;  // of short lines, told together: how many
        bool saved = false;       // of a record's end; of an unreadable file: it is missing
        std::uint64_t row = 0;    // of a record saved: the row handed on for it, 0 none
    };

    // Whether events wait to be passed on. A full queue is passed on first, once its rows are
    // written: a record of any number of lines holds no more than kMostHeld events.
    bool holding();
    // A free slot at the end of the queue; the slots keep their buffers from one event to the next.
    Event& hold(Kind kind);
    // Whether the event at the front of the queue still waits for its row.
    bool waits(const Event& event) const;
    void pass(const Event& event);
    // A record's end, with what became of its row.
    void passRecordEnded(const Event& event);

    // Far more than the records of the rows that wait for the writing thread ever hold.
    static constexpr std::size_t kMostHeld = 4096;

    ConversionEvents& events_;
    RecordObserver& observer_;
    const SourcePosition& position_;
    db::EditableRowSet* behind_;   // the rows, when they are written behind
    std::uint64_t lastSaved_ = 0;  // the row handed on last
    std::uint64_t lastRow_ = 0;    // the row handed on last that a record's end was told of
    std::uint64_t written_ = 0;    // the rows whose outcome is known
    std::deque<std::pair<std::uint64_t, std::exception_ptr>> failures_;  // of rows not yet passed on
    Ring<Event> slots_;
};

}  // namespace adr

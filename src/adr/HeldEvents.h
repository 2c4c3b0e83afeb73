#pragma once
// While the staging rows are written behind, what the reader and the mapper tell the window
// and the record observer waits here until every row saved before it is written: a row the
// database refuses is reported in its place, with its record, as when each row is written at
// once. Progress, pumping and the cancel question go to the window at once.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "adr/RecordObserver.h"

namespace db {
class WriteBehind;
}

namespace adr {

class HeldEvents : public ConversionEvents, public RecordObserver {
public:
    // position: the reader's, named in the message of a row that failed. behind: none when rows
    // are written at once; then nothing waits.
    HeldEvents(ConversionEvents& events, RecordObserver& observer, const SourcePosition& position,
               db::WriteBehind* behind);

    void showMessage(const std::string& text) override;
    void pumpEvents() override { events_.pumpEvents(); }
    void listCleared() override { events_.listCleared(); }
    void fileStarted(int number) override { events_.fileStarted(number); }
    void recordsCounted(std::int32_t count) override { events_.recordsCounted(count); }
    bool cancelRequested() override { return events_.cancelRequested(); }
    void rowRefused(const std::string& reason, const SourcePosition& where) override;

    void recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) override;
    void lineRead(const Line& line) override;
    void note(const std::string& text) override;
    void recordEnded(bool saved) override;
    void fileUnreadable(const std::string& file, const std::string& reason) override;

    // Passes on what no longer waits for a row; with wait, waits for every row and passes on all.
    void release(bool wait = false);

private:
    enum class Kind { message, refusal, recordStarted, lineRead, note, recordEnded, fileUnreadable };
    struct Event {
        Kind kind = Kind::message;
        std::string text;    // message, note, refusal; the file of a record, of its end, of an unreadable file
        std::string reason;  // of an unreadable file; the file of a refusal
        std::uint64_t line = 0;
        std::optional<double> number;
        Line read;
        bool saved = false;
        std::uint64_t row = 0;  // of a record saved: the row handed on for it, 0 none
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
    db::WriteBehind* behind_;
    std::uint64_t lastRow_ = 0;  // the row handed on last that a record's end was told of
    std::vector<Event> slots_;   // a ring: count_ events from front_ on
    std::size_t front_ = 0;
    std::size_t count_ = 0;
};

}  // namespace adr

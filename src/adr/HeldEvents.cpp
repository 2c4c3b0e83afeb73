#include "adr/HeldEvents.h"

#include <algorithm>
#include <exception>

#include "adr/RowRefusal.h"
#include "db/GoOn.h"

namespace adr {

HeldEvents::HeldEvents(ConversionEvents& events, RecordObserver& observer, const SourcePosition& position,
                       db::EditableRowSet& rows)
    : events_(events), observer_(observer), position_(position), behind_(nullptr) {
    try {
        rows.showRowsTo(observer_.rowViewer());
        if (rows.writeBehind(*this)) behind_ = &rows;
    } catch (const std::exception&) {
        // Written at once, then.
    }
}

void HeldEvents::rowWritten(std::uint64_t n, std::exception_ptr failure) {
    written_ = n;
    if (failure) failures_.emplace_back(n, std::move(failure));
}

bool HeldEvents::holding() {
    if (slots_.size() == kMostHeld) release(true);
    return slots_.size() > 0;
}

HeldEvents::Event& HeldEvents::hold(Kind kind) {
    holding();  // makes room in a full queue
    Event& event = slots_.pushBack();
    event.kind = kind;
    return event;
}

void HeldEvents::showMessage(const std::string& text) {
    if (!holding()) return events_.showMessage(text);
    hold(Kind::message).text = text;
}

void HeldEvents::rowRefused(const std::string& reason, const SourcePosition& where) {
    if (slots_.size() == 0) return events_.rowRefused(reason, where);
    Event& event = hold(Kind::refusal);
    event.text = reason;
    event.reason = where.file;
    event.line = where.line;
}

void HeldEvents::recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) {
    if (!holding()) return observer_.recordStarted(file, line, number);
    Event& event = hold(Kind::recordStarted);
    event.text = file;
    event.line = line;
    event.number = number;
}

void HeldEvents::lineRead(const Line& line) {
    if (!holding()) return observer_.lineRead(line);
    // The lines no longer than their kept text are only counted, those in a row in one event:
    // holding each would cost the reading thread more than reading it.
    if (line.characters <= kLineTextLimit) {
        if (slots_.back().kind == Kind::shortLines) {
            ++slots_.back().lines;
        } else {
            hold(Kind::shortLines).lines = 1;
        }
        return;
    }
    // Observers take no more of a line than its length: its text comes through lineText.
    hold(Kind::lineRead).line = line.characters;
}

void HeldEvents::note(const std::string& text) {
    if (!holding()) return observer_.note(text);
    hold(Kind::note).text = text;
}

void HeldEvents::fileUnreadable(const std::string& file, const std::string& reason, bool missing) {
    if (!holding()) return observer_.fileUnreadable(file, reason, missing);
    Event& event = hold(Kind::fileUnreadable);
    event.text = file;
    event.reason = reason;
    event.saved = missing;
}

void HeldEvents::recordEnded(bool saved) {
    Event& event = hold(Kind::recordEnded);
    event.saved = saved;
    event.row = 0;
    // A record is saved with the row handed on last, unless that row was told of already
    // (its new row could not be started, and the one before was saved once more).
    if (saved && lastSaved_ > lastRow_) event.row = lastRow_ = lastSaved_;
    event.text = position_.file;
    event.line = position_.line;
    release();
}

bool HeldEvents::waits(const Event& event) const { return event.kind == Kind::recordEnded && event.row > written_; }

void HeldEvents::release(bool wait) {
    if (wait && behind_) behind_->settle(true);
    while (slots_.size() > 0) {
        const Event& event = slots_.front();
        if (!wait && event.row != 0 && waits(event)) return;
        slots_.popFront();
        pass(event);
    }
}

void HeldEvents::pass(const Event& event) {
    switch (event.kind) {
        case Kind::message: events_.showMessage(event.text); break;
        case Kind::refusal: events_.rowRefused(event.text, SourcePosition{event.reason, event.line}); break;
        case Kind::recordStarted: observer_.recordStarted(event.text, event.line, event.number); break;
        case Kind::lineRead: {
            Line read;
            read.characters = event.line;
            observer_.lineRead(read);
            break;
        }
        case Kind::shortLines: observer_.linesRead(event.lines); break;
        case Kind::note: observer_.note(event.text); break;
        case Kind::recordEnded: passRecordEnded(event); break;
        case Kind::fileUnreadable: observer_.fileUnreadable(event.text, event.reason, event.saved); break;
    }
}

void HeldEvents::passRecordEnded(const Event& event) {
    std::exception_ptr failure;
    while (event.row != 0 && !failures_.empty() && failures_.front().first <= event.row) {
        if (failures_.front().first == event.row) failure = std::move(failures_.front().second);
        failures_.pop_front();
    }
    if (!failure) {
        if (event.saved && event.row != 0) observer_.rowOfRecord(event.row);
        return observer_.recordEnded(event.saved);
    }
    // What the reader and the mapper do when a row fails as it is saved.
    const SourcePosition where{event.text, event.line};
    const db::Report report = [&](const std::string& description) {
        observer_.note(description);
        events_.showMessage(where.line == 0 ? description : description + " (" + where.describe() + ")");
    };
    std::string refusal;
    db::goOn(report, [&] { saveKeepingRefusal(refusal, [&] { std::rethrow_exception(failure); }); });
    tellNotSaved(observer_, events_, refusal, where);
    observer_.recordEnded(false);
}

}  // namespace adr

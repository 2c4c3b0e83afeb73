#include "adr/ObserverThread.h"

#include <utility>

namespace adr {

ObserverThread::ObserverThread(RecordObserver& observer) : observer_(observer), thread_([this] { run(); }) {}

ObserverThread::~ObserverThread() {
    try {
        finish();
    } catch (...) {
        // Told by finish to whoever called it; here the run ends for another reason.
    }
}

ObserverThread::Event& ObserverThread::add(Kind kind) {
    if (filled_ == filling_.size()) handOver();
    Event& event = filling_[filled_++];
    event.kind = kind;
    return event;
}

void ObserverThread::handOver() {
    if (filled_ == 0) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
    waiting_.push_back({std::move(filling_), filled_});
    if (spare_.empty()) {
        filling_ = Batch(kBatchSize);
    } else {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    filled_ = 0;
    lock.unlock();
    changed_.notify_all();
}

void ObserverThread::run() {
    for (;;) {
        Told told;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !waiting_.empty() || ended_; });
            if (waiting_.empty()) return;
            told = std::move(waiting_.front());
            waiting_.pop_front();
        }
        changed_.notify_all();
        try {
            // After a failure the rest is passed over, so that the reading never waits in vain.
            for (std::size_t i = 0; i < told.count && !failure_; ++i) pass(told.events[i]);
        } catch (...) {
            failure_ = std::current_exception();
        }
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(told.events));
    }
}

void ObserverThread::pass(const Event& event) {
    switch (event.kind) {
        case Kind::recordStarted: observer_.recordStarted(event.text, event.line, event.number); break;
        case Kind::lineRead: observer_.lineRead(event.read); break;
        case Kind::note: observer_.note(event.text); break;
        case Kind::valuesMapped: observer_.valuesMapped(event.values); break;
        case Kind::recordEnded: observer_.recordEnded(event.flag); break;
        case Kind::fileUnreadable: observer_.fileUnreadable(event.text, event.reason, event.flag); break;
    }
}

void ObserverThread::finish() {
    if (finished_) return;
    finished_ = true;
    handOver();
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (failure_) std::rethrow_exception(failure_);
}

void ObserverThread::recordStarted(const std::string& file, std::uint64_t line, std::optional<double> number) {
    Event& event = add(Kind::recordStarted);
    event.text = file;
    event.line = line;
    event.number = number;
}

void ObserverThread::lineRead(const Line& line) { add(Kind::lineRead).read = line; }

void ObserverThread::note(const std::string& text) { add(Kind::note).text = text; }

void ObserverThread::valuesMapped(const MappedValues& values) { add(Kind::valuesMapped).values = values; }

void ObserverThread::recordEnded(bool saved) { add(Kind::recordEnded).flag = saved; }

void ObserverThread::fileUnreadable(const std::string& file, const std::string& reason, bool missing) {
    Event& event = add(Kind::fileUnreadable);
    event.text = file;
    event.reason = reason;
    event.flag = missing;
}

}  // namespace adr

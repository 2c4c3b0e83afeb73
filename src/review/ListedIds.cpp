#include "review/ListedIds.h"

#include <utility>

namespace review {

void ListedIds::add(std::int64_t id) {
    filling_.push_back(id);
    if (filling_.size() < kChunk) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ready_.size() < kChunksWaiting || readerGone_ || ended_; });
    if (!readerGone_ && !ended_) ready_.push_back(std::move(filling_));
    filling_.clear();
    changed_.notify_all();
    lock.unlock();
    filling_.reserve(kChunk);  // the next chunk fills without growing step by step
}

void ListedIds::end(bool usable) {
    const std::lock_guard lock(mutex_);
    if (ended_) return;
    ended_ = true;
    dropped_ = !usable;
    if (usable && !filling_.empty()) ready_.push_back(std::move(filling_));
    changed_.notify_all();
}

std::int64_t ListedIds::next() {
    while (position_ == taken_.size()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !ready_.empty() || ended_; });
        if (dropped_) throw Dropped{};
        if (ready_.empty()) return 0;
        taken_ = std::move(ready_.front());
        ready_.pop_front();
        position_ = 0;
        changed_.notify_all();
    }
    return taken_[position_++];
}

void ListedIds::stopReading() {
    const std::lock_guard lock(mutex_);
    readerGone_ = true;
    changed_.notify_all();
}

}  // namespace review

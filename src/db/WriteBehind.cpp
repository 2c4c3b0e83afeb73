#include "db/WriteBehind.h"

#include <algorithm>
#include <iterator>

namespace db {

WriteBehind::WriteBehind(Write write, std::size_t batch, std::size_t capacity)
    : write_(std::move(write)), batch_(batch), capacity_(capacity), thread_([this] { run(); }) {}

WriteBehind::~WriteBehind() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    rowsWaiting_.notify_one();
    thread_.join();
}

WriteBehind::Values WriteBehind::handOn(Values&& values) {
    Values emptied;
    bool batchFull = false;
    {
        std::unique_lock lock(mutex_);
        rowsWritten_.wait(lock, [&] { return waiting_.size() < capacity_; });
        waiting_.push_back(std::move(values));
        ++handedOn_;
        batchFull = waiting_.size() == batch_;
        if (!emptied_.empty()) {
            emptied = std::move(emptied_.back());
            emptied_.pop_back();
        }
    }
    if (batchFull) rowsWaiting_.notify_one();
    return emptied;
}

void WriteBehind::waitUntilWritten(std::unique_lock<std::mutex>& lock, std::uint64_t n) {
    if (written() >= n) return;
    wanted_ = std::max(wanted_, n);
    rowsWaiting_.notify_one();
    rowsWritten_.wait(lock, [&] { return written() >= n; });
}

std::exception_ptr WriteBehind::outcome(std::uint64_t n) {
    std::unique_lock lock(mutex_);
    waitUntilWritten(lock, n);
    while (!failures_.empty() && failures_.front().first < n) failures_.pop_front();
    if (failures_.empty() || failures_.front().first != n) return nullptr;
    return failures_.front().second;
}

void WriteBehind::finish() {
    std::unique_lock lock(mutex_);
    waitUntilWritten(lock, handedOn_);
}

void WriteBehind::run() {
    std::vector<Values> batch;
    std::vector<std::exception_ptr> failures;
    std::unique_lock lock(mutex_);
    for (;;) {
        rowsWaiting_.wait(
            lock, [&] { return ending_ || waiting_.size() >= batch_ || (!waiting_.empty() && wanted_ > written()); });
        if (waiting_.empty()) return;
        // Whole batches are taken, and written without the lock; the rest only when it is waited for.
        const std::size_t rest = ending_ || wanted_ > written() ? 0 : waiting_.size() % batch_;
        const auto taken = waiting_.end() - static_cast<std::ptrdiff_t>(rest);
        batch.assign(std::make_move_iterator(waiting_.begin()), std::make_move_iterator(taken));
        waiting_.erase(waiting_.begin(), taken);
        lock.unlock();
        failures.assign(batch.size(), nullptr);
        try {
            write_(batch, failures);
        } catch (...) {
            // Not told which row: each of them is said to have failed with it.
            failures.assign(batch.size(), std::current_exception());
        }
        lock.lock();
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (failures[i]) failures_.emplace_back(written() + i + 1, failures[i]);
        }
        written_.fetch_add(batch.size(), std::memory_order_release);
        for (Values& values : batch) emptied_.push_back(std::move(values));
        batch.clear();
        rowsWritten_.notify_all();
    }
}

}  // namespace db

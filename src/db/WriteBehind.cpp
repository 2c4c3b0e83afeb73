#include "db/WriteBehind.h"

#include <algorithm>
#include <iterator>

namespace db {

namespace {
// After each trial, the faster way writes this many stretches before the other is tried again,
// twice as many after each trial it won, up to eight times as many.
constexpr int kStretchesBetweenTrials = 7;
constexpr int kMostStretchesBetweenTrials = 8 * kStretchesBetweenTrials;
}  // namespace

WriteBehind::WriteBehind(Write write, RowOutcomes& outcomes, std::size_t batch, std::size_t capacity,
                         std::size_t stretch, RowViewer* viewer)
    : write_(std::move(write)),
      outcomes_(outcomes),
      viewer_(viewer),
      batch_(batch),
      capacity_(capacity),
      stretch_(stretch),
      faster_(kStretchesBetweenTrials, kMostStretchesBetweenTrials),
      thread_([this] { run(); }) {}

WriteBehind::~WriteBehind() {
    {
        const std::lock_guard lock(mutex_);
        takeInPending();
        ending_ = true;
    }
    rowsWaiting_.notify_one();
    thread_.join();
}

WriteBehind::Values WriteBehind::handOn(Values&& values) {
    pending_.push_back(std::move(values));
    ++handedOn_;
    // Whole batches only, also after a rest was written when asked for: the thread takes no less.
    if (pending_.size() == batch_) handOverBatch();
    outcomes_.rowSaved(handedOn_);
    if (written_.load(std::memory_order_acquire) != told_) tell(false);
    Values emptied;
    if (!spare_.empty()) {
        emptied = std::move(spare_.back());
        spare_.pop_back();
    }
    return emptied;
}

void WriteBehind::handOverBatch() {
    bool wake = false;
    {
        std::unique_lock lock(mutex_);
        // Room for this batch and the next one, gathered meanwhile: at most `capacity` rows wait.
        rowsWritten_.wait(lock,
                          [&] { return waiting_.empty() || waiting_.size() + pending_.size() + batch_ <= capacity_; });
        takeInPending();
        std::move(emptied_.begin(), emptied_.end(), std::back_inserter(spare_));
        emptied_.clear();
        if (++batchesHandedOver_ % stretch_ == 0) {
            // The first stretch warms up (files opened, caches filled) and is not timed.
            const auto now = std::chrono::steady_clock::now();
            if (batchesHandedOver_ > stretch_) way_ = faster_.next(now - stretchStarted_);
            stretchStarted_ = now;
        }
        if (way_ == kAtHand) {
            writeWaiting(lock, waiting_.size());
        } else {
            wake = true;
        }
    }
    if (wake) rowsWaiting_.notify_one();
}

void WriteBehind::takeInPending() {
    std::move(pending_.begin(), pending_.end(), std::back_inserter(waiting_));
    pending_.clear();
}

void WriteBehind::writeUpTo(std::unique_lock<std::mutex>& lock, std::uint64_t n) {
    while (written_ < n) writeWaiting(lock, waiting_.size());
}

void WriteBehind::tell(bool wait) {
    std::uint64_t written = 0;
    std::deque<std::pair<std::uint64_t, std::exception_ptr>> failures;
    {
        // Without wait, what the thread is busy with is told later rather than waited for.
        std::unique_lock lock(mutex_, std::defer_lock);
        if (!wait && !lock.try_lock()) return;
        if (wait) {
            lock.lock();
            takeInPending();
            writeUpTo(lock, handedOn_);
        }
        written = written_;
        failures.swap(failures_);
    }
    // Told without the lock: the caller may hand on rows from within.
    for (; told_ < written; ++told_) {
        const std::uint64_t n = told_ + 1;
        std::exception_ptr failure;
        if (!failures.empty() && failures.front().first == n) {
            failure = std::move(failures.front().second);
            failures.pop_front();
        }
        outcomes_.rowWritten(n, std::move(failure));
    }
}

void WriteBehind::finish() {
    std::unique_lock lock(mutex_);
    takeInPending();
    writeUpTo(lock, handedOn_);
}

void WriteBehind::writeWaiting(std::unique_lock<std::mutex>& lock, std::size_t rows) {
    rowsWritten_.wait(lock, [&] { return !writing_; });
    rows = std::min(rows, waiting_.size());
    if (rows == 0) return;
    // Everything that allocates comes before the rows are taken: memory that runs out leaves
    // them waiting, never half taken with the writing flag up.
    std::vector<std::exception_ptr> failures(rows);
    std::vector<Values> batch;
    batch.reserve(rows);
    emptied_.reserve(emptied_.size() + rows);
    for (std::size_t i = 0; i < rows; ++i) batch.push_back(std::move(waiting_[i]));
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(rows));
    writing_ = true;
    const std::uint64_t first = written_ + 1;
    lock.unlock();
    try {
        write_(batch, failures);
    } catch (...) {
        // Not told which row: each of them is said to have failed with it.
        failures.assign(batch.size(), std::current_exception());
    }
    if (viewer_) {
        for (std::size_t i = 0; i < batch.size(); ++i) viewer_->view(first + i, batch[i]);
        viewer_->batchViewed();
    }
    lock.lock();
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (failures[i]) failures_.emplace_back(written_ + i + 1, failures[i]);
    }
    written_ += batch.size();
    for (Values& values : batch) emptied_.push_back(std::move(values));
    writing_ = false;
    rowsWritten_.notify_all();
}

void WriteBehind::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        rowsWaiting_.wait(lock, [&] { return ending_ || (way_ == kByThread && waiting_.size() >= batch_); });
        if (ending_) break;
        // Whole batches only; the rest is written when it is waited for, or at the end.
        writeWaiting(lock, waiting_.size() - waiting_.size() % batch_);
    }
    writeWaiting(lock, waiting_.size());
}

}  // namespace db

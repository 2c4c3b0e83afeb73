#pragma once
// Writes rows on a thread of its own, in the order they are handed on, while the caller fills
// the next ones. The thread takes the rows in batches (waking it for each row would cost more
// than writing it), or sooner when an outcome is waited for; at most `capacity` rows wait, and
// handing on one more waits for room. The outcome of each row is kept until it is asked for
// (only failures take room: they are rare).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "db/Value.h"

namespace db {

class WriteBehind {
public:
    using Values = std::vector<std::optional<Value>>;
    // Writes rows in order; sets the failure of each row that failed (the others stay null).
    using Write = std::function<void(std::span<const Values> rows, std::span<std::exception_ptr> failures)>;

    WriteBehind(Write write, std::size_t batch, std::size_t capacity);
    // Writes what still waits, then ends the thread.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands a row on; answers the values of a row written before (or none yet), for the caller
    // to empty and fill, so that rows take no new buffers.
    Values handOn(Values&& values);
    // Rows handed on so far (asked by the caller's thread only); those of them written (or
    // failed), known without waiting.
    std::uint64_t handedOn() const { return handedOn_; }
    std::uint64_t written() const { return written_.load(std::memory_order_acquire); }
    // Waits until row n (counted from 1) is written: its failure, or null. Rows are asked for in
    // order; the failures of rows before n are forgotten.
    std::exception_ptr outcome(std::uint64_t n);
    // Waits until every row handed on is written.
    void finish();

private:
    void run();
    // Has the thread write the rows up to n without waiting for a full batch; waits for them.
    void waitUntilWritten(std::unique_lock<std::mutex>& lock, std::uint64_t n);

    Write write_;
    std::size_t batch_;
    std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable rowsWaiting_;  // the thread waits for rows
    std::condition_variable rowsWritten_;  // the caller waits for room or for a row's outcome
    std::vector<Values> waiting_;
    std::vector<Values> emptied_;
    std::deque<std::pair<std::uint64_t, std::exception_ptr>> failures_;
    std::uint64_t handedOn_ = 0;
    std::uint64_t wanted_ = 0;  // the rows up to this one are waited for
    std::atomic<std::uint64_t> written_{0};
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace db

#pragma once
// Writes rows in the order they are handed on, on a thread of its own while the caller fills the
// next ones, or on the caller's thread, whichever is faster on this machine at the time (a second
// core busy elsewhere makes two threads slower than one). Rows go in whole batches: waking the
// thread for each row would cost more than writing it. In stretches of batches, each way is timed
// now and then and the faster one writes in between. Only one thread writes at a time, batch
// after batch, so the rows keep their order; at most `capacity` rows wait for the thread, and
// handing on a batch more waits for room. The caller's rows go over in whole batches too, each
// under one lock: a lock for each row would meet the thread's often. What became of each row is
// told to the RowOutcomes on the caller's thread, when the caller hands on a row or asks (only
// failures wait to be told: they are rare).

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

#include "db/FasterOfTwo.h"
#include "db/RowOutcomes.h"
#include "db/RowViewer.h"
#include "db/Value.h"

namespace db {

class WriteBehind {
public:
    using Values = std::vector<std::optional<Value>>;
    // Writes rows in order; sets the failure of each row that failed (the others stay null).
    using Write = std::function<void(std::span<const Values> rows, std::span<std::exception_ptr> failures)>;

    // stretch: the batches over which a way of writing is timed. viewer: shown every row
    // once it is written, on the writing thread (none: nobody).
    WriteBehind(Write write, RowOutcomes& outcomes, std::size_t batch, std::size_t capacity, std::size_t stretch,
                RowViewer* viewer = nullptr);
    // Writes what still waits, then ends the thread.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands a row on and tells the outcomes of the rows written by now; answers the values of a
    // row written before (or none yet), for the caller to empty and fill, so that rows take no
    // new buffers.
    Values handOn(Values&& values);
    // Tells the outcomes of the rows written by now, unless the thread holds them at the moment;
    // with wait, of every row handed on, writing what the thread has not taken.
    void tell(bool wait);
    // Sees every row handed on written; what became of them is told by tell().
    void finish();

private:
    static constexpr int kByThread = 0;
    static constexpr int kAtHand = 1;

    void run();
    // A batch is full: it goes to the rows that wait, once there is room, and is written by the
    // way in use; the rows written meanwhile come back to be filled again.
    void handOverBatch();
    // The rows handed on since the last batch join those that wait (the lock held).
    void takeInPending();
    // Writes the first `rows` rows that wait, once the other thread is not writing; the lock is
    // held before and after, not while writing.
    void writeWaiting(std::unique_lock<std::mutex>& lock, std::size_t rows);
    void writeUpTo(std::unique_lock<std::mutex>& lock, std::uint64_t n);

    Write write_;
    RowOutcomes& outcomes_;
    RowViewer* viewer_;
    std::size_t batch_;
    std::size_t capacity_;
    std::size_t stretch_;
    FasterOfTwo faster_;
    std::chrono::steady_clock::time_point stretchStarted_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable rowsWaiting_;  // the thread waits for a batch
    std::condition_variable rowsWritten_;  // the caller waits for room, or for the thread's batch
    std::vector<Values> pending_;          // handed on since the last batch (the caller's thread only)
    std::vector<Values> spare_;            // written rows to be filled again (the caller's thread only)
    std::vector<Values> waiting_;
    std::vector<Values> emptied_;
    std::deque<std::pair<std::uint64_t, std::exception_ptr>> failures_;
    std::uint64_t handedOn_ = 0;
    std::uint64_t batchesHandedOver_ = 0;
    std::uint64_t told_ = 0;                  // the rows whose outcome was told (the caller's thread only)
    std::atomic<std::uint64_t> written_ = 0;  // changed under the lock; looked at without it
    int way_ = kByThread;
    bool writing_ = false;  // a thread writes: the rows and the connection are its
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace db

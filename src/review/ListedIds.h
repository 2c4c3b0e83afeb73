#pragma once
// The staging ids of the records as the list pairs them (0: a record without a row), handed
// from the thread that reads the list to the one that writes the report, in chunks. A few
// chunks wait at most: the list waits for the report rather than hold every id.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace review {

class ListedIds {
public:
    // What next() throws once the ids handed on are void (the list could not pair the records).
    struct Dropped {};

    // Lister: the id of the next record.
    void add(std::int64_t id);
    // Lister: no more ids; usable false makes the ones handed on void. Only the first call counts.
    void end(bool usable);
    // Reader: the id of the next record, 0 once the list has ended without one.
    std::int64_t next();
    // Reader: takes no more ids, so that the lister never waits for it again.
    void stopReading();

private:
    static constexpr std::size_t kChunk = 1024;
    static constexpr std::size_t kChunksWaiting = 4;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::int64_t>> ready_;
    bool ended_ = false;
    bool dropped_ = false;
    bool readerGone_ = false;
    std::vector<std::int64_t> filling_;  // the lister's own
    std::vector<std::int64_t> taken_;    // the reader's own
    std::size_t position_ = 0;
};

}  // namespace review

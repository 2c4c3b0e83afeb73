#pragma once
// Entries of fixed size sorted in a bounded amount of memory, however many there are: up to
// `held` of them wait in memory; when that many are there, they are sorted and written to a
// work file as a run, and the runs are merged as the entries are read back. Entries that never
// fill the memory are sorted there and never written. Several spills may share one work file:
// each positions the file before every read and write.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <queue>
#include <type_traits>
#include <vector>

namespace review {

template <class Entry, class Less>
class SortedSpill {
    static_assert(std::is_trivially_copyable_v<Entry>, "entries are written to the file as their bytes");

public:
    SortedSpill(std::iostream& file, std::size_t held) : file_(file), held_(std::max<std::size_t>(held, 2)) {}
    SortedSpill(const SortedSpill&) = delete;  // its queue points back to it
    SortedSpill& operator=(const SortedSpill&) = delete;

    void add(const Entry& entry) {
        // The buffer grows as entries come, so that a few take little room.
        if (buffer_.size() == held_) writeRun();
        buffer_.push_back(entry);
    }

    // Ends adding; the entries are then read back from the smallest on.
    void finish() {
        if (!runs_.empty() && !buffer_.empty()) writeRun();
        if (runs_.empty()) std::sort(buffer_.begin(), buffer_.end(), Less());
        rewind();
    }

    // After finish: the next entry in order; false once all were read.
    bool next(Entry& entry) {
        if (runs_.empty()) {
            if (read_ == buffer_.size()) return false;
            entry = buffer_[read_++];
            return true;
        }
        if (heads_.empty()) return false;
        const std::size_t run = heads_.top();
        heads_.pop();
        Run& from = runs_[run];
        entry = buffer_[from.at++];
        if (from.at == from.end) refill(from);
        if (from.at != from.end) heads_.push(run);
        return true;
    }

    // After finish: reads from the smallest again.
    void rewind() {
        read_ = 0;
        if (runs_.empty()) return;
        // The memory that held the entries now holds a slice of each run.
        const std::size_t slice = std::max<std::size_t>(held_ / runs_.size(), 1);
        buffer_.resize(slice * runs_.size());
        heads_ = Heads(HeadLess{this});
        for (std::size_t run = 0; run < runs_.size(); ++run) {
            Run& from = runs_[run];
            from.taken = 0;
            from.sliceStart = run * slice;
            from.sliceSize = slice;
            refill(from);
            if (from.at != from.end) heads_.push(run);
        }
    }

    // The work file failed on a write or a read: some entries are missing.
    bool failed() const { return failed_; }

private:
    struct Run {
        std::uint64_t start = 0;  // in the file
        std::uint64_t count = 0;
        std::uint64_t taken = 0;  // read from the file so far
        std::size_t sliceStart = 0;
        std::size_t sliceSize = 0;
        std::size_t at = 0;   // the run's next entry in the buffer
        std::size_t end = 0;  // behind its last entry read
    };
    struct HeadLess {
        const SortedSpill* spill;
        // The queue puts its greatest first: the run with the smaller entry is the greater.
        bool operator()(std::size_t a, std::size_t b) const {
            return Less()(spill->buffer_[spill->runs_[b].at], spill->buffer_[spill->runs_[a].at]);
        }
    };
    using Heads = std::priority_queue<std::size_t, std::vector<std::size_t>, HeadLess>;

    void writeRun() {
        std::sort(buffer_.begin(), buffer_.end(), Less());
        file_.clear();
        file_.seekp(0, std::ios::end);
        const auto start = static_cast<std::int64_t>(file_.tellp());
        file_.write(reinterpret_cast<const char*>(buffer_.data()),
                    static_cast<std::streamsize>(buffer_.size() * sizeof(Entry)));
        if (start < 0 || !file_) failed_ = true;
        if (!failed_) runs_.push_back({static_cast<std::uint64_t>(start), buffer_.size()});
        buffer_.clear();
    }

    void refill(Run& run) {
        const std::uint64_t count = std::min<std::uint64_t>(run.sliceSize, run.count - run.taken);
        run.at = run.end = run.sliceStart;
        if (count == 0) return;
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(run.start + run.taken * sizeof(Entry)));
        const auto bytes = static_cast<std::streamsize>(count * sizeof(Entry));
        if (!file_.read(reinterpret_cast<char*>(buffer_.data() + run.sliceStart), bytes)) {
            failed_ = true;
            run.taken = run.count;  // what is left of the run cannot be read
            return;
        }
        run.taken += count;
        run.end = run.sliceStart + count;
    }

    std::iostream& file_;
    std::size_t held_;
    std::vector<Entry> buffer_;  // while adding, the entries of the next run; then the runs' slices
    std::vector<Run> runs_;
    Heads heads_{HeadLess{this}};  // the runs with entries left, the smallest first
    std::size_t read_ = 0;         // without runs: the next entry in the buffer
    bool failed_ = false;
};

}  // namespace review

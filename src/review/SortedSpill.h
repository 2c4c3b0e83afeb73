#pragma once
// Entries of fixed size sorted in a bounded amount of memory, however many there are: up to
// `held` of them wait in memory; when that many are there, they are written to a work file as a
// run. Once adding ends, each run is sorted in its place (by whoever ends it: the thread that adds
// does not wait for sorting), and the runs are merged as the entries are read back. Entries that
// never fill the memory are sorted there and never written. Several spills may share one work file:
// each positions the file before every read and write. Less::leading(entry) gives a number that
// orders the entries as Less does where it differs: they are spread over buckets by it first, so
// that entries keyed by hashes sort in about linear time.

#include <algorithm>
#include <bit>
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
        if (runs_.empty()) {
            sortBuffer();
        } else {
            if (!buffer_.empty()) writeRun();
            for (const Run& run : runs_) sortRun(run);
        }
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

    // Spreads the entries over buckets by their leading number, in place (each entry is swapped
    // into its bucket's next free place), then sorts each bucket on its own. Buckets are about a
    // eighth as many as the entries, and span the range of leading numbers the entries have.
    void sortBuffer() {
        if (buffer_.size() < 2) return;
        const auto [lowest, highest] =
            std::minmax_element(buffer_.begin(), buffer_.end(),
                                [](const Entry& a, const Entry& b) { return Less::leading(a) < Less::leading(b); });
        const std::uint64_t low = Less::leading(*lowest);
        const std::uint64_t span = Less::leading(*highest) - low;
        const int bucketBits = std::max(static_cast<int>(std::bit_width(buffer_.size())) - 3, 1);
        const int shift = std::max(static_cast<int>(std::bit_width(span)) - bucketBits, 0);
        const auto bucketOf = [&](const Entry& entry) {
            return static_cast<std::size_t>((Less::leading(entry) - low) >> shift);
        };
        const std::size_t buckets = static_cast<std::size_t>(span >> shift) + 1;
        bucketEnds_.assign(buckets, 0);
        for (const Entry& entry : buffer_) ++bucketEnds_[bucketOf(entry)];
        bucketFree_.resize(buckets);
        std::uint32_t start = 0;
        for (std::size_t b = 0; b < buckets; ++b) {
            bucketFree_[b] = start;
            start += bucketEnds_[b];
            bucketEnds_[b] = start;
        }
        for (std::size_t b = 0; b < buckets; ++b) {
            while (bucketFree_[b] < bucketEnds_[b]) {
                const std::size_t into = bucketOf(buffer_[bucketFree_[b]]);
                if (into == b) {
                    ++bucketFree_[b];
                } else {
                    std::swap(buffer_[bucketFree_[b]], buffer_[bucketFree_[into]++]);
                }
            }
        }
        for (std::size_t b = 0, from = 0; b < buckets; from = bucketEnds_[b++]) {
            if (bucketEnds_[b] - from > 1) {
                std::sort(buffer_.begin() + static_cast<std::ptrdiff_t>(from),
                          buffer_.begin() + static_cast<std::ptrdiff_t>(bucketEnds_[b]), Less());
            }
        }
    }

    void writeRun() {
        file_.clear();
        file_.seekp(0, std::ios::end);
        const auto start = static_cast<std::int64_t>(file_.tellp());
        file_.write(reinterpret_cast<const char*>(buffer_.data()),
                    static_cast<std::streamsize>(buffer_.size() * sizeof(Entry)));
        if (start < 0 || !file_) failed_ = true;
        if (!failed_) runs_.push_back({static_cast<std::uint64_t>(start), buffer_.size()});
        buffer_.clear();
    }

    // Reads a run, sorts it and writes it back in its place; a run that cannot be read stays as
    // it is, and the spill has failed.
    void sortRun(const Run& run) {
        const auto bytes = static_cast<std::streamsize>(run.count * sizeof(Entry));
        buffer_.resize(run.count);
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(run.start));
        if (!file_.read(reinterpret_cast<char*>(buffer_.data()), bytes)) {
            failed_ = true;
            return;
        }
        sortBuffer();
        file_.seekp(static_cast<std::streamoff>(run.start));
        if (!file_.write(reinterpret_cast<const char*>(buffer_.data()), bytes)) failed_ = true;
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
    std::vector<std::uint32_t> bucketEnds_;  // of each bucket while the buffer (of held_ < 2^32) is sorted
    std::vector<std::uint32_t> bucketFree_;  // its next place not yet holding one of its entries
    Heads heads_{HeadLess{this}};            // the runs with entries left, the smallest first
    std::size_t read_ = 0;                   // without runs: the next entry in the buffer
    bool failed_ = false;
};

}  // namespace review

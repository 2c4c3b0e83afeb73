#pragma once
// Likely duplicates among the records of a run: each record handed on is looked up by its keys
// (DuplicateKeys) in a table of the keys seen before, which keeps for each key the first record
// that had it: no record is compared with every other. A record whose key was seen before is a
// likely duplicate of that first record; both get a note naming the other, the earlier one when
// its report row is written, after reading has ended.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "review/DuplicateKeys.h"

namespace review {

class LikelyDuplicates {
public:
    // While reading: the record counted `index` (from 0, every record in reading order) was handed
    // on with these keys. Answers how many notes that gives, on it and on the records it repeats.
    std::int64_t add(std::uint32_t index, std::span<const DuplicateKey> keys, std::string_view file, std::uint64_t line,
                     const std::optional<double>& number);
    // Before reading: an address already in the address table, by its id there.
    void addKnown(std::span<const DuplicateKey> keys, std::int64_t id);
    // The records that repeat an earlier one or an address already in the address table.
    std::int64_t count() const { return duplicates_; }

    // Once reading has ended, for every record in reading order as its report row is written:
    // its notes, with the record's file, line and address number as the report shows them.
    void notesOn(std::uint32_t index, std::string_view file, std::string_view line, std::string_view number,
                 const std::function<void(std::string_view)>& note);
    bool concerns(std::uint32_t index) const { return links_.find(index) != links_.end(); }

private:
    // Records beyond this many are not looked up.
    static constexpr std::uint32_t kMostRecords = 0xFFFFFFFEU;
    // The earlier record names this many of its likely duplicates, and counts the others.
    static constexpr std::size_t kNamed = 20;

    struct Later {
        std::string name;
        std::uint8_t kinds = 0;
    };
    struct Links {
        std::vector<std::pair<std::uint32_t, std::uint8_t>> earlier;  // the records it repeats, and by which keys
        std::vector<std::pair<std::int64_t, std::uint8_t>> known;     // the addresses in the table it repeats
        std::vector<Later> later;                                     // the first kNamed records that repeat it
        std::int64_t moreLater = 0;
        std::string name;  // the record's own, once its report row was written
    };

    // The first record with the key (its index + 1), or 0 when the key is new: then it is this one's.
    std::uint32_t firstWith(std::uint64_t hash, std::uint32_t index);
    void grow();

    // Open addressing: a key's hash in two halves (0 a free slot) and the index + 1 of the first
    // record with it, side by side in twelve bytes, so that a look-up reads one place in memory.
    struct Slot {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::uint32_t first = 0;
    };
    std::vector<Slot> slots_ = std::vector<Slot>(1024);
    std::size_t used_ = 0;
    std::unordered_map<std::uint64_t, std::int64_t> known_;  // a key's first address in the table, by its id
    std::unordered_map<std::uint32_t, Links> links_;         // only the records with a likely duplicate
    std::int64_t duplicates_ = 0;
};

}  // namespace review

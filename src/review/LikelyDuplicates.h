#pragma once
// Likely duplicates among the records of a run and against the address table: every key of
// every record (DuplicateKeys) is sorted by its hash, so that the records with one key stand
// side by side and no record is compared with every other. The first record with a key is the
// one the later ones repeat: each later one gets a note naming it, and it a note naming each
// later one. The keys are sorted in bounded memory (SortedSpill), so a run of a million records
// costs the work file, not the memory.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "review/DuplicateKeys.h"
#include "review/SortedSpill.h"

namespace review {

class LikelyDuplicates {
public:
    // workFile: where the keys and the pairs found are sorted when they outgrow the memory.
    explicit LikelyDuplicates(std::iostream& workFile);

    // Before reading: an address already in the address table, by its id there.
    void addKnown(std::span<const DuplicateKey> keys, std::int64_t id);
    // While reading: the record counted `index` (from 0, every record in reading order) was
    // handed on with these keys.
    void add(std::uint32_t index, std::span<const DuplicateKey> keys, std::string_view file, std::uint64_t line,
             const std::optional<double>& number);

    // Once reading has ended: finds the records that share a key. Only the first call does.
    void resolve();
    // After resolve: the records that repeat an earlier one or an address in the table, and the
    // notes all records get.
    std::int64_t count() const { return duplicates_; }
    std::int64_t notes() const { return notes_; }
    // The work file failed: not every likely duplicate was found.
    bool failed() const { return keys_.failed() || pairs_.failed(); }

    // After resolve, for every record in reading order as its report row is written (from the
    // first again after rewind): whether it has notes, and they.
    void rewind();
    bool concerns(std::uint32_t index) const { return ahead_ && ahead_->record == index; }
    void notesOn(std::uint32_t index, const std::function<void(std::string_view)>& note);

private:
    // The first record with a key names this many of its likely duplicates, and counts the others.
    static constexpr std::size_t kNamed = 20;
    // Entries that wait in memory before they are sorted into the work file (32 bytes each).
    static constexpr std::size_t kHeld = 16 * 1024;

    // A key of a record, or of an address in the table (known, sorted first), with where the
    // record stands as a note names it: an address in the table by its id, in number.
    struct Key {
        std::uint64_t hash = 0;
        double number = 0;  // the address number; NaN for none
        std::uint64_t line = 0;
        std::uint32_t index = 0;
        std::uint16_t file = 0;  // in files_
        std::uint8_t kind = 0;
        bool known = false;
        struct Less {
            bool operator()(const Key& a, const Key& b) const;
            static std::uint64_t leading(const Key& key) { return key.hash; }
        };
    };
    // A note that a record gets: the other record or address, where it stands, and what the two share.
    enum class Other : std::uint8_t { known, earlier, later };
    struct Pair {
        double number = 0;
        std::uint64_t line = 0;
        std::uint32_t record = 0;
        std::uint32_t index = 0;  // the other record's
        std::uint16_t file = 0;
        Other other = Other::known;
        std::uint8_t kinds = 0;
        struct Less {
            bool operator()(const Pair& a, const Pair& b) const;
            static std::uint64_t leading(const Pair& pair) { return pair.record; }
        };
        bool sameAs(const Pair& other) const;
    };

    std::uint16_t fileIndex(std::string_view file);
    void pair(std::uint32_t record, Other other, const Key& with);
    // The next pair of the record ahead, with the kinds of the same pair through other keys.
    std::optional<Pair> nextPair();
    std::string named(const Pair& pair) const;

    SortedSpill<Key, Key::Less> keys_;
    SortedSpill<Pair, Pair::Less> pairs_;
    std::vector<std::string> files_;
    bool resolved_ = false;
    std::int64_t duplicates_ = 0;
    std::int64_t notes_ = 0;
    std::optional<Pair> ahead_;  // read, not yet noted
};

}  // namespace review

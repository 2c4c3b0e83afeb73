#include "review/LikelyDuplicates.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "db/Value.h"
#include "review/Texts.h"

namespace review {

bool LikelyDuplicates::Key::Less::operator()(const Key& a, const Key& b) const {
    if (a.hash != b.hash) return a.hash < b.hash;
    if (a.known != b.known) return a.known;
    return a.known ? a.number < b.number : a.index < b.index;
}

bool LikelyDuplicates::Pair::Less::operator()(const Pair& a, const Pair& b) const {
    if (a.record != b.record) return a.record < b.record;
    if (a.other != b.other) return a.other < b.other;
    return a.other == Other::known ? a.number < b.number : a.index < b.index;
}

bool LikelyDuplicates::Pair::sameAs(const Pair& pair) const {
    return record == pair.record && other == pair.other &&
           (other == Other::known ? number == pair.number : index == pair.index);
}

LikelyDuplicates::LikelyDuplicates(std::iostream& workFile) : keys_(workFile, kHeld), pairs_(workFile, kHeld) {}

std::uint16_t LikelyDuplicates::fileIndex(std::string_view file) {
    // A run reads at most the hundred address files, one after the other.
    if (!files_.empty() && files_.back() == file) return static_cast<std::uint16_t>(files_.size() - 1);
    const auto found = std::find(files_.begin(), files_.end(), file);
    if (found != files_.end()) return static_cast<std::uint16_t>(found - files_.begin());
    files_.emplace_back(file);
    return static_cast<std::uint16_t>(files_.size() - 1);
}

void LikelyDuplicates::addKnown(std::span<const DuplicateKey> keys, std::int64_t id) {
    for (const DuplicateKey& key : keys) {
        keys_.add({key.hash, static_cast<double>(id), 0, 0, 0, key.kind, true});
    }
}

void LikelyDuplicates::add(std::uint32_t index, std::span<const DuplicateKey> keys, std::string_view file,
                           std::uint64_t line, const std::optional<double>& number) {
    if (keys.empty()) return;
    const std::uint16_t at = fileIndex(file);
    const double shown = number.value_or(std::numeric_limits<double>::quiet_NaN());
    for (const DuplicateKey& key : keys) keys_.add({key.hash, shown, line, index, at, key.kind, false});
}

void LikelyDuplicates::pair(std::uint32_t record, Other other, const Key& with) {
    pairs_.add({with.number, with.line, record, with.index, with.file, other, with.kind});
}

void LikelyDuplicates::resolve() {
    if (resolved_) return;
    resolved_ = true;
    keys_.finish();
    // The keys of one hash stand together: the address in the table first, then the records in
    // reading order.
    std::optional<std::uint64_t> hash;
    std::optional<Key> known;
    std::optional<Key> first;
    for (Key key; keys_.next(key);) {
        if (hash != key.hash) {
            hash = key.hash;
            known.reset();
            first.reset();
        }
        if (key.known) {
            if (!known) known = key;
            continue;
        }
        // The first record's second telephone number of the same digits pairs it with nothing;
        // a later record's makes its pairs twice, and they are told once.
        if (first && key.index == first->index) continue;
        if (known) pair(key.index, Other::known, *known);
        if (!first) {
            first = key;
            continue;
        }
        pair(key.index, Other::earlier, *first);
        pair(first->index, Other::later, key);
    }
    pairs_.finish();

    rewind();
    std::optional<std::uint32_t> record;
    std::int64_t later = 0;
    bool repeats = false;
    const auto counted = [&] {
        if (repeats) ++duplicates_;
        if (later > static_cast<std::int64_t>(kNamed)) notes_ -= later - static_cast<std::int64_t>(kNamed) - 1;
    };
    while (const std::optional<Pair> pair = nextPair()) {
        if (record != pair->record) {
            if (record) counted();
            record = pair->record;
            later = 0;
            repeats = false;
        }
        ++notes_;
        if (pair->other == Other::later) {
            ++later;
        } else {
            repeats = true;
        }
    }
    if (record) counted();
    rewind();
}

void LikelyDuplicates::rewind() {
    pairs_.rewind();
    Pair pair;
    ahead_ = pairs_.next(pair) ? std::optional<Pair>(pair) : std::nullopt;
}

std::optional<LikelyDuplicates::Pair> LikelyDuplicates::nextPair() {
    if (!ahead_) return std::nullopt;
    Pair pair = *ahead_;
    ahead_.reset();
    for (Pair next; pairs_.next(next);) {
        if (!next.sameAs(pair)) {
            ahead_ = next;
            break;
        }
        pair.kinds |= next.kinds;
    }
    return pair;
}

std::string LikelyDuplicates::named(const Pair& pair) const {
    if (pair.other == Other::known) return texts::addressNamed(static_cast<std::int64_t>(pair.number));
    return texts::recordNamed(files_[pair.file], std::to_string(pair.line),
                              std::isnan(pair.number) ? std::string() : db::Value(pair.number).toText());
}

void LikelyDuplicates::notesOn(std::uint32_t index, const std::function<void(std::string_view)>& note) {
    while (ahead_ && ahead_->record < index) nextPair();
    std::size_t later = 0;
    std::int64_t more = 0;
    while (ahead_ && ahead_->record == index) {
        const Pair pair = *nextPair();
        if (pair.other == Other::later && later++ >= kNamed) {
            ++more;
            continue;
        }
        note(texts::likelyDuplicate(named(pair), pair.kinds & DuplicateKey::address, pair.kinds & DuplicateKey::phone));
    }
    if (more > 0) note(texts::leftOut(more, texts::kMoreDuplicate, texts::kMoreDuplicates));
}

}  // namespace review

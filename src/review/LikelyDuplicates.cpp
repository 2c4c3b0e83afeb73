#include "review/LikelyDuplicates.h"

#include "db/Value.h"
#include "review/Texts.h"

namespace review {

std::uint32_t LikelyDuplicates::firstWith(std::uint64_t hash, std::uint32_t index) {
    if (4 * (used_ + 1) > 3 * slots_.size()) grow();
    hash += hash == 0;  // 0 marks a free slot
    const auto low = static_cast<std::uint32_t>(hash);
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = low & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.low == 0 && slot.high == 0) {
            slot = {low, high, index + 1};
            ++used_;
            return 0;
        }
        if (slot.low == low && slot.high == high) return slot.first;
    }
}

void LikelyDuplicates::grow() {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.low == 0 && slot.high == 0) continue;
        std::size_t at = slot.low & mask;
        while (slots_[at].low != 0 || slots_[at].high != 0) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

void LikelyDuplicates::addKnown(std::span<const DuplicateKey> keys, std::int64_t id) {
    for (const DuplicateKey& key : keys) known_.emplace(key.hash, id);
}

std::int64_t LikelyDuplicates::add(std::uint32_t index, std::span<const DuplicateKey> keys, std::string_view file,
                                   std::uint64_t line, const std::optional<double>& number) {
    if (index >= kMostRecords) return 0;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> earlier;
    for (const DuplicateKey& key : keys) {
        const std::uint32_t first = firstWith(key.hash, index);
        if (first == 0 || first - 1 == index) continue;
        bool known = false;
        for (auto& [other, kinds] : earlier) {
            if (other != first - 1) continue;
            kinds |= key.kind;
            known = true;
        }
        if (!known) earlier.emplace_back(first - 1, key.kind);
    }
    std::vector<std::pair<std::int64_t, std::uint8_t>> known;
    for (const DuplicateKey& key : keys) {
        const auto found = known_.find(key.hash);
        if (found == known_.end()) continue;
        bool seen = false;
        for (auto& [id, kinds] : known) {
            if (id != found->second) continue;
            kinds |= key.kind;
            seen = true;
        }
        if (!seen) known.emplace_back(found->second, key.kind);
    }
    if (earlier.empty() && known.empty()) return 0;
    ++duplicates_;
    const auto knownCount = static_cast<std::int64_t>(known.size());
    if (!known.empty()) links_[index].known = std::move(known);
    if (earlier.empty()) return knownCount;
    const std::string name =
        texts::recordNamed(file, std::to_string(line), number ? db::Value(*number).toText() : std::string());
    for (const auto& [other, kinds] : earlier) {
        Links& first = links_[other];
        if (first.later.size() < kNamed) {
            first.later.push_back({name, kinds});
        } else {
            ++first.moreLater;
        }
    }
    const auto count = static_cast<std::int64_t>(earlier.size());
    links_[index].earlier = std::move(earlier);
    return knownCount + 2 * count;
}

void LikelyDuplicates::notesOn(std::uint32_t index, std::string_view file, std::string_view line,
                               std::string_view number, const std::function<void(std::string_view)>& note) {
    const auto found = links_.find(index);
    if (found == links_.end()) return;
    Links& links = found->second;
    for (const auto& [id, kinds] : links.known) {
        note(texts::likelyDuplicate(texts::addressNamed(id), kinds & DuplicateKey::address,
                                    kinds & DuplicateKey::phone));
    }
    for (const auto& [other, kinds] : links.earlier) {
        const auto first = links_.find(other);
        if (first == links_.end()) continue;
        note(texts::likelyDuplicate(first->second.name, kinds & DuplicateKey::address, kinds & DuplicateKey::phone));
    }
    if (links.later.empty()) return;
    links.name = texts::recordNamed(file, line, number);
    for (const Later& later : links.later) {
        note(
            texts::likelyDuplicate(later.name, later.kinds & DuplicateKey::address, later.kinds & DuplicateKey::phone));
    }
    if (links.moreLater > 0) note(texts::leftOut(links.moreLater, texts::kMoreDuplicate, texts::kMoreDuplicates));
}

}  // namespace review

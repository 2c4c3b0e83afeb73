#include "review/LikelyDuplicates.h"

#include "db/Value.h"
#include "review/Texts.h"

namespace review {

std::uint32_t LikelyDuplicates::firstWith(std::uint64_t hash, std::uint32_t index) {
    if (4 * (used_ + 1) > 3 * hashes_.size()) grow();
    hash += hash == 0;  // 0 marks a free slot
    const std::size_t mask = hashes_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        if (hashes_[at] == 0) {
            hashes_[at] = hash;
            firsts_[at] = index + 1;
            ++used_;
            return 0;
        }
        if (hashes_[at] == hash) return firsts_[at];
    }
}

void LikelyDuplicates::grow() {
    std::vector<std::uint64_t> hashes(2 * hashes_.size());
    std::vector<std::uint32_t> firsts(2 * hashes_.size());
    hashes.swap(hashes_);
    firsts.swap(firsts_);
    const std::size_t mask = hashes_.size() - 1;
    for (std::size_t i = 0; i < hashes.size(); ++i) {
        if (hashes[i] == 0) continue;
        std::size_t at = static_cast<std::size_t>(hashes[i]) & mask;
        while (hashes_[at] != 0) at = (at + 1) & mask;
        hashes_[at] = hashes[i];
        firsts_[at] = firsts[i];
    }
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
    if (earlier.empty()) return 0;
    ++duplicates_;
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
    return 2 * count;
}

void LikelyDuplicates::notesOn(std::uint32_t index, std::string_view file, std::string_view line,
                               std::string_view number, const std::function<void(std::string_view)>& note) {
    const auto found = links_.find(index);
    if (found == links_.end()) return;
    Links& links = found->second;
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

#include "db/Names.h"

#include <algorithm>

namespace db {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::size_t NameIndex::CaseFreeHash::operator()(std::string_view name) const {
    std::size_t hash = 1469598103934665603u;  // FNV-1a
    // The bytes of a letter beyond ASCII count as one and the same, so that its two cases hash alike.
    for (char c : name)
        hash = (hash ^ std::min<unsigned>(static_cast<unsigned char>(lower(c)), 0x80u)) * 1099511628211u;
    return hash;
}

NameIndex::NameIndex(const std::vector<std::string>& names) : names_(names) {
    for (std::size_t i = 0; i < names.size(); ++i) positions_.emplace(names[i], i);  // the first of equal names counts
}

std::optional<std::size_t> NameIndex::find(std::string_view name) const {
    Recent& recent = recent_[(reinterpret_cast<std::uintptr_t>(name.data()) >> 3) % recent_.size()];
    if (recent.address == name.data() && sameName(names_[recent.position], name)) return recent.position;
    const auto found = positions_.find(name);
    if (found == positions_.end()) return std::nullopt;
    recent = {name.data(), found->second};
    return found->second;
}

}  // namespace db

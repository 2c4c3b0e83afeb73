#include "settings/RegTree.h"

#include <algorithm>

#include "settings/Unicode.h"

namespace settings {

namespace {

// Upper case over the characters of Windows-1252, the only ones the program's names use.
char32_t upper(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    switch (c) {
        case 0xFF: return 0x178;
        case 0x161: return 0x160;
        case 0x153: return 0x152;
        case 0x17E: return 0x17D;
        default: return c;
    }
}

// The name with every character in upper case; equal for two names exactly when sameName
// holds. A byte that is no UTF-8 is kept behind 0xFF, which UTF-8 never holds.
std::string folded(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        if (decodeUtf8(name, pos, c)) {
            appendUtf8(out, upper(c));
        } else {
            out += '\xFF';
            out += name[pos++];
        }
    }
    return out;
}

constexpr std::size_t kIndexedFrom = 16;

using Positions = RegKey::Positions;

// Where the item of that name stands; items.size() when there is none.
template <class Items>
std::size_t positionOf(const Items& items, const Positions* positions, std::string_view name) {
    if (positions != nullptr) {
        const auto found = positions->find(folded(name));
        return found == positions->end() ? items.size() : found->second;
    }
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& item) { return sameName(item.name, name); });
    return static_cast<std::size_t>(found - items.begin());
}

// Records the item just added at the end of items; the index is made when the list grows long.
template <class Items>
void recordLast(const Items& items, std::unique_ptr<Positions>& positions) {
    if (items.size() < kIndexedFrom) return;
    if (!positions) {
        positions = std::make_unique<Positions>();
        for (std::size_t i = 0; i + 1 < items.size(); ++i) positions->emplace(folded(items[i].name), i);
    }
    positions->emplace(folded(items.back().name), items.size() - 1);
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x = 0;
        char32_t y = 0;
        if (!decodeUtf8(a, i, x)) x = static_cast<unsigned char>(a[i++]) | 0x80000000u;
        if (!decodeUtf8(b, j, y)) y = static_cast<unsigned char>(b[j++]) | 0x80000000u;
        if (upper(x) != upper(y)) return false;
    }
    return i == a.size() && j == b.size();
}

RegKey* RegKey::findSubkey(std::string_view subkeyName) {
    const std::size_t position = positionOf(subkeys, subkeyIndex_.get(), subkeyName);
    return position == subkeys.size() ? nullptr : &subkeys[position];
}

RegKey& RegKey::subkey(std::string_view subkeyName) {
    if (RegKey* found = findSubkey(subkeyName)) return *found;
    subkeys.emplace_back().name = subkeyName;
    recordLast(subkeys, subkeyIndex_);
    return subkeys.back();
}

const RegValue* RegKey::findValue(std::string_view valueName) const {
    const std::size_t position = positionOf(values, valueIndex_.get(), valueName);
    return position == values.size() ? nullptr : &values[position];
}

void RegKey::setValue(RegValue value) {
    const std::size_t position = positionOf(values, valueIndex_.get(), value.name);
    if (position == values.size()) {
        values.push_back(std::move(value));
        recordLast(values, valueIndex_);
    } else {
        values[position].type = value.type;
        values[position].data = std::move(value.data);
    }
}

std::optional<RootKey> rootKeyNamed(std::string_view name) {
    for (const RootKey& root : kRootKeys) {
        if (sameName(root.name, name)) return root;
    }
    return std::nullopt;
}

std::optional<RootKey> rootKeyWithHandle(std::uint64_t handle) {
    for (const RootKey& root : kRootKeys) {
        if (root.handle == handle) return root;
    }
    return std::nullopt;
}

}  // namespace settings

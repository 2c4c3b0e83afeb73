#include "settings/RegTree.h"

#include <algorithm>

#include "text/SameName.h"

namespace settings {

namespace {

constexpr std::size_t kIndexedFrom = 16;

using Positions = RegKey::Positions;

// Where the item of that name stands; items.size() when there is none.
template <class Items>
std::size_t positionOf(const Items& items, const Positions* positions, std::string_view name) {
    if (positions != nullptr) {
        const auto found = positions->find(text::foldedName(name));
        return found == positions->end() ? items.size() : found->second;
    }
    const auto found =
        std::find_if(items.begin(), items.end(), [&](const auto& item) { return sameName(item.name, name); });
    return static_cast<std::size_t>(found - items.begin());
}

// Records the item just added at the end of items; the index is made when the list grows long.
template <class Items>
void recordLast(const Items& items, std::unique_ptr<Positions>& positions) {
    if (items.size() < kIndexedFrom) return;
    if (!positions) {
        positions = std::make_unique<Positions>();
        for (std::size_t i = 0; i + 1 < items.size(); ++i) positions->emplace(text::foldedName(items[i].name), i);
    }
    positions->emplace(text::foldedName(items.back().name), items.size() - 1);
}

}  // namespace

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

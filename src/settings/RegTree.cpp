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

template <class Items, class Item = typename Items::value_type>
auto findNamed(Items& items, std::string_view name) {
    return std::find_if(items.begin(), items.end(), [&](const Item& item) { return sameName(item.name, name); });
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

bool isStringType(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }

RegKey* RegKey::findSubkey(std::string_view subkeyName) {
    const auto found = findNamed(subkeys, subkeyName);
    return found == subkeys.end() ? nullptr : &*found;
}

RegKey& RegKey::subkey(std::string_view subkeyName) {
    if (RegKey* found = findSubkey(subkeyName)) return *found;
    subkeys.push_back(RegKey{std::string(subkeyName), {}, {}});
    return subkeys.back();
}

const RegValue* RegKey::findValue(std::string_view valueName) const {
    const auto found = findNamed(values, valueName);
    return found == values.end() ? nullptr : &*found;
}

void RegKey::setValue(RegValue value) {
    const auto found = findNamed(values, value.name);
    if (found == values.end()) {
        values.push_back(std::move(value));
    } else {
        found->type = value.type;
        found->data = std::move(value.data);
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

#pragma once
// The keys and values of a registry held in memory, as the settings file stores them.
// Key and value names are UTF-8; they compare without regard to case and keep their
// spelling. Data is stored as the registry stores it: string types as UTF-16LE.
// A name is found in constant time however many keys or values share a parent, so that a
// whole regedit export is read and written in time linear in its size.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/SameName.h"

namespace settings {

struct RegValue {
    std::string name;  // empty: the key's default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// A comment line of the settings file (with its ";"), kept where it stood when the file is
// written again: before the value at that position, or before the key's own header line.
struct RegRemark {
    static constexpr std::size_t kBeforeHeader = static_cast<std::size_t>(-1);
    std::size_t beforeValue = kBeforeHeader;  // values.size() when it stood after every value
    std::string line;
};

// Moved, never copied: a whole registry is large.
struct RegKey {
    std::string name;
    // In the order they were added; both lists change only through subkey() and setValue().
    std::vector<RegValue> values;
    std::vector<RegKey> subkeys;
    // In file order. Values are never removed, so a position stays right.
    std::vector<RegRemark> remarks;

    RegKey* findSubkey(std::string_view subkeyName);
    // The subkey of that name, added when missing.
    RegKey& subkey(std::string_view subkeyName);
    const RegValue* findValue(std::string_view valueName) const;
    // Replaces the value of the same name where it stands, or adds it at the end.
    void setValue(RegValue value);

    // Positions by folded name, kept for a list once it is long; a short list is searched.
    using Positions = std::unordered_map<std::string, std::size_t>;

private:
    std::unique_ptr<Positions> subkeyIndex_;
    std::unique_ptr<Positions> valueIndex_;
};

// The tree of a whole registry: an unnamed key whose subkeys are the root keys; its remarks
// are the comment lines before the first key.
using RegTree = RegKey;

// The root keys a settings file may name, with their handle values.
struct RootKey {
    std::uint32_t handle;
    const char* name;
};
inline constexpr RootKey kRootKeys[] = {
    {0x80000000, "HKEY_CLASSES_ROOT"}, {0x80000001, "HKEY_CURRENT_USER"},   {0x80000002, "HKEY_LOCAL_MACHINE"},
    {0x80000003, "HKEY_USERS"},        {0x80000005, "HKEY_CURRENT_CONFIG"},
};
std::optional<RootKey> rootKeyNamed(std::string_view name);
std::optional<RootKey> rootKeyWithHandle(std::uint64_t handle);

// Names compare as the registry compares them: letters of either case are equal.
using text::sameName;

}  // namespace settings

#include "settings/RegistryOperations.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "settings/ExpandVariables.h"
#include "settings/RegTree.h"
#include "settings/Texts.h"
#include "text/Numbers.h"

namespace settings {

namespace {

constexpr std::uint32_t kReadAccess = kKeyQueryValue | kKeyEnumerateSubKeys | kKeyNotify;  // 0x19
constexpr std::uint32_t kWriteAccess = 0x3F;  // query, set, create sub-key, enumerate, notify, create link

std::string typeName(std::uint32_t type) {
    switch (type) {
        case kRegNone: return "REG_NONE";
        case kRegBinary: return "REG_BINARY";
        case kRegDwordBigEndian: return "REG_DWORD_BIG_ENDIAN";
        case kRegQword: return "REG_QWORD";
        default: return std::to_string(type);
    }
}

// The key path from its root key on, for a message.
std::string fullPath(Key root, const std::string& keyPath) {
    const auto rootKey = rootKeyWithHandle(root);
    const std::string rootName = rootKey ? rootKey->name : std::to_string(root);
    return keyPath.empty() ? rootName : rootName + "\\" + keyPath;
}

// The value's data as text, or none when it has none (missing, without data, or changed away
// while read). Throws UnusableValue for a type that holds no text or number.
std::optional<std::string> readText(RegistryApi& registry, Key root, const std::string& keyPath, Key key,
                                    const std::string& name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry.queryValueEx(key, name.c_str(), &type, nullptr, &size) != kErrorSuccess) return std::nullopt;

    if (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz) {
        std::string text(size, ' ');
        std::uint32_t read = size;
        if (registry.queryValueEx(key, name.c_str(), nullptr, reinterpret_cast<std::uint8_t*>(text.data()), &read) !=
            kErrorSuccess) {
            return std::nullopt;
        }
        // The value may have changed between the two calls; what the read delivered counts.
        text.resize(read);
        if (type == kRegMultiSz) {
            std::string lines;
            for (const char c : text) lines += c == '\0' ? std::string("\r\n") : std::string(1, c);
            text = std::move(lines);
        }
        // The law-office system reads its settings through Windows, which expands the
        // variables of every REG_EXPAND_SZ value; so does this program, whichever value it is.
        if (type == kRegExpandSz) text = expandVariables(text);
        return text;
    }
    if (type == kRegDword) {
        if (size == 0) return std::nullopt;
        std::array<std::uint8_t, 4> bytes{};
        std::uint32_t read = 4;
        if (registry.queryValueEx(key, name.c_str(), nullptr, bytes.data(), &read) != kErrorSuccess)
            return std::nullopt;
        const std::uint32_t bits =
            bytes[0] | (bytes[1] << 8u) | (bytes[2] << 16u) | (static_cast<std::uint32_t>(bytes[3]) << 24u);
        return std::to_string(bits);
    }
    throw UnusableValue(texts::unusableValue(fullPath(root, keyPath), name, typeName(type)));
}

// A text as a REG_DWORD: a 32-bit whole number, or an unsigned one as a DWORD reads.
std::optional<std::uint32_t> dwordOf(const std::string& value) {
    if (const auto number = text::toInt32(value)) return static_cast<std::uint32_t>(*number);
    std::uint32_t bits = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bits);
    if (error != std::errc() || end != value.data() + value.size() || value.empty()) return std::nullopt;
    return bits;
}

// The type a text is stored under. Asked to store a REG_SZ, a value keeps the type it has
// when that type holds the text: a REG_EXPAND_SZ any text, a DWORD a number (so that a
// number the law-office system keeps as a DWORD stays one); an empty text becomes a REG_SZ.
std::uint32_t storedType(RegistryApi& registry, Key key, const std::string& name, const std::string& value,
                         std::uint32_t type) {
    std::uint32_t existing = 0;
    std::uint32_t size = 0;
    if (type != kRegSz || registry.queryValueEx(key, name.c_str(), &existing, nullptr, &size) != kErrorSuccess) {
        return type;
    }
    if (existing == kRegExpandSz) return existing;
    if ((existing == kRegDword || existing == kRegDwordBigEndian) && dwordOf(value)) return existing;
    return type;
}

// Creates every missing level of the key path; the disposition is set on success only.
Status createKey(RegistryApi& registry, Key root, const std::string& keyPath, std::uint32_t& disposition) {
    Key key = 0;
    const Status status =
        registry.createKeyEx(root, keyPath.c_str(), kRegOptionNonVolatile, kWriteAccess, &key, &disposition);
    if (status != kErrorSuccess) return status;
    registry.flushKey(key);
    registry.closeKey(key);
    return kErrorSuccess;
}

}  // namespace

std::string RegValueRead(RegistryApi& registry, Key root, const std::string& keyPath, const std::string& valueName,
                         const std::string& defaultValue) {
    Key key = 0;
    if (registry.openKeyEx(root, keyPath.c_str(), kReadAccess, &key) != kErrorSuccess) return defaultValue;
    std::optional<std::string> text;
    try {
        text = readText(registry, root, keyPath, key, valueName);
    } catch (...) {
        registry.closeKey(key);
        throw;
    }
    if (registry.closeKey(key) != kErrorSuccess) return defaultValue;

    std::string value = text && !text->empty() ? *text : defaultValue;
    value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
    return value;
}

Status RegValueWrite(RegistryApi& registry, Key root, const std::string& keyPath, const std::string& valueName,
                     const std::string& value, std::uint32_t type) {
    if (!RegKeyExists(registry, root, keyPath)) {
        // The reason the key could not be created is the one to answer, not that it is missing.
        std::uint32_t disposition = 0;
        if (const Status created = createKey(registry, root, keyPath, disposition); created != kErrorSuccess)
            return created;
    }
    Key key = 0;
    if (const Status opened = registry.openKeyEx(root, keyPath.c_str(), kWriteAccess, &key); opened != kErrorSuccess) {
        return opened;
    }

    type = storedType(registry, key, valueName, value, type);
    Status stored = kErrorInvalidParameter;  // a DWORD value that is no 32-bit whole number
    if (type == kRegDword || type == kRegDwordBigEndian) {
        if (const auto number = dwordOf(value)) {
            const std::uint32_t bits = *number;
            std::array<std::uint8_t, 4> bytes{};
            for (unsigned i = 0; i < 4; ++i) {
                // REG_DWORD_BIG_ENDIAN holds the most significant byte first.
                const unsigned shift = type == kRegDword ? 8 * i : 8 * (3 - i);
                bytes[i] = static_cast<std::uint8_t>(bits >> shift);
            }
            stored = registry.setValueEx(key, valueName.c_str(), type, bytes.data(), 4);
        }
    } else {
        stored = registry.setValueEx(key, valueName.c_str(), type, reinterpret_cast<const std::uint8_t*>(value.c_str()),
                                     static_cast<std::uint32_t>(value.size() + 1));
    }
    registry.closeKey(key);
    return stored;
}

bool RegKeyExists(RegistryApi& registry, Key root, const std::string& keyPath) {
    Key key = 0;
    if (registry.openKeyEx(root, keyPath.c_str(), kReadAccess, &key) != kErrorSuccess) return false;
    registry.closeKey(key);
    return true;
}

std::uint32_t RegKeyCreate(RegistryApi& registry, Key root, const std::string& keyPath) {
    std::uint32_t disposition = 0;
    return createKey(registry, root, keyPath, disposition) == kErrorSuccess ? disposition : 0;
}

std::optional<std::vector<NamedText>> RegValuesList(RegistryApi& registry, Key root, const std::string& keyPath) {
    Key key = 0;
    if (registry.openKeyEx(root, keyPath.c_str(), kKeyQueryValue, &key) != kErrorSuccess) return std::nullopt;

    std::vector<NamedText> list(1);
    for (std::uint32_t index = 0;; ++index) {
        std::array<char, 255> name{};
        std::uint32_t nameSize = name.size();
        std::array<std::uint8_t, 256> scratch{};
        std::uint32_t dataSize = scratch.size();
        std::uint32_t type = 0;
        if (registry.enumValue(key, index, name.data(), &nameSize, &type, scratch.data(), &dataSize) != kErrorSuccess)
            break;
        list.resize(index + 1);
        const std::string valueName(name.data(), strnlen(name.data(), name.size()));
        try {
            list[index] = {valueName, RegValueRead(registry, root, keyPath, valueName, "")};
        } catch (...) {
            registry.closeKey(key);
            throw;
        }
    }
    registry.closeKey(key);
    return list;
}

std::string Stammverzeichnis(RegistryApi& registry) {
    return RegValueRead(registry, kCurrentUser, kSettingsRoot, "Stammverzeichnis", "");
}

}  // namespace settings

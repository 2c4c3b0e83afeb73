#pragma once
// The settings operations of the program: named text values in the registry. Each call opens
// what it needs and closes it again before it returns. Texts are UTF-8, and so they cross the
// registry interface: any character is kept.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/RegistryApi.h"

namespace settings {

// The law-office system's settings below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsRoot = "SOFTWARE\\Norvel-Kanzleisoftware";

// A value of a type the program cannot read as text; the message names key, value and type.
class UnusableValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value as text: a REG_DWORD as its unsigned decimal digits, a REG_EXPAND_SZ with its
// environment variables expanded, a REG_MULTI_SZ with every NUL turned into CR LF; NUL
// characters removed. Gives defaultValue for a missing key or value, a failed read or a value
// without data; throws UnusableValue for a value of any other type (binary data, a QWORD …),
// which must not pass for an empty one. Never creates a key.
std::string RegValueRead(RegistryApi& registry, Key root, const std::string& keyPath, const std::string& valueName,
                         const std::string& defaultValue);

// Stores value under type, creating the key path when it is missing. Types 4 and 5 store the
// value as a 32-bit number, signed or unsigned (nothing is stored when it is none); every
// other type stores the text with its terminating NUL. A REG_SZ written over a REG_EXPAND_SZ or
// over a DWORD that can hold it keeps that type. Answers kErrorSuccess, or the Win32 code of the step that
// failed (the key could not be created or opened, the value not stored, the number not one).
Status RegValueWrite(RegistryApi& registry, Key root, const std::string& keyPath, const std::string& valueName,
                     const std::string& value, std::uint32_t type);

// True when the key can be opened for reading.
bool RegKeyExists(RegistryApi& registry, Key root, const std::string& keyPath);

// Creates every missing level of the key path: 1 created, 2 existed already, 0 failure.
std::uint32_t RegKeyCreate(RegistryApi& registry, Key root, const std::string& keyPath);

struct NamedText {
    std::string name;
    std::string text;
    bool operator==(const NamedText&) const = default;
};

// Every value of the key in the registry's order, each read again by name with
// RegValueRead. A key without values gives one pair of empty texts. The list ends early, at
// the first value whose name is longer than 254 bytes or whose data is longer than 256 bytes,
// both counted in UTF-8. None when the key cannot be opened.
std::optional<std::vector<NamedText>> RegValuesList(RegistryApi& registry, Key root, const std::string& keyPath);

// The main application's root directory; empty when it is not set.
std::string Stammverzeichnis(RegistryApi& registry);

}  // namespace settings

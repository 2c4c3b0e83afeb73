#include "settings/win32/Win32Registry.h"

#include <windows.h>

namespace settings {

namespace {

static_assert(sizeof(DWORD) == sizeof(std::uint32_t) && sizeof(LONG) == sizeof(Status));

bool isPredefined(std::uint64_t value) { return value >= 0x80000000u && value <= 0x800000FFu; }

// The predefined keys are 32-bit values that HKEY holds sign-extended.
HKEY toHkey(Key key) {
    if (isPredefined(key)) {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(static_cast<DWORD>(key))));
    }
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

Key fromHkey(HKEY key) {
    const auto value = reinterpret_cast<LONG_PTR>(key);
    if (value < 0 && isPredefined(static_cast<DWORD>(value))) return static_cast<DWORD>(value);
    return static_cast<Key>(reinterpret_cast<ULONG_PTR>(key));
}

DWORD* asDword(std::uint32_t* value) { return reinterpret_cast<DWORD*>(value); }

}  // namespace

Status Win32Registry::openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(toHkey(key), subKey, 0, access, &opened);
    if (status == ERROR_SUCCESS) *result = fromHkey(opened);
    return status;
}

Status Win32Registry::queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* size) {
    return RegQueryValueExA(toHkey(key), valueName, nullptr, asDword(type), data, asDword(size));
}

Status Win32Registry::setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) {
    return RegSetValueExA(toHkey(key), valueName, 0, type, data, size);
}

Status Win32Registry::createKeyEx(Key key, const char* subKey, std::uint32_t options, std::uint32_t access, Key* result,
                                  std::uint32_t* disposition) {
    HKEY created = nullptr;
    const LONG status =
        RegCreateKeyExA(toHkey(key), subKey, 0, nullptr, options, access, nullptr, &created, asDword(disposition));
    if (status == ERROR_SUCCESS) *result = fromHkey(created);
    return status;
}

Status Win32Registry::flushKey(Key key) { return RegFlushKey(toHkey(key)); }

Status Win32Registry::enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) {
    return RegEnumValueA(toHkey(key), index, name, asDword(nameSize), nullptr, asDword(type), data, asDword(dataSize));
}

Status Win32Registry::closeKey(Key key) { return RegCloseKey(toHkey(key)); }

std::string Win32Registry::location() const { return "Windows-Registrierung (HKEY_CURRENT_USER)"; }

}  // namespace settings

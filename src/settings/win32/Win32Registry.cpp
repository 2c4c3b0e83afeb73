#include "settings/win32/Win32Registry.h"

#include <windows.h>

#include <string>
#include <vector>

#include "settings/RegistryData.h"
#include "settings/Texts.h"
#include "text/Unicode.h"

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

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// A name or path in UTF-16 for the W functions; null stays null.
class Wide {
public:
    explicit Wide(const char* utf8) : null_(utf8 == nullptr), text_(null_ ? u"" : text::utf8ToUtf16(utf8)) {}
    const wchar_t* get() const { return null_ ? nullptr : reinterpret_cast<const wchar_t*>(text_.c_str()); }

private:
    bool null_;
    std::u16string text_;
};

std::string narrow(const wchar_t* text, std::size_t length) {
    return text::utf16ToUtf8Replacing(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// The whole stored data of a value; its size is asked first, and asked again when the value
// grew in between.
LONG readStored(HKEY key, const wchar_t* name, DWORD& type, Bytes& stored) {
    for (;;) {
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        stored.resize(size);
        status = RegQueryValueExW(key, name, nullptr, &type, stored.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_SUCCESS) stored.resize(size);
        return status;
    }
}

}  // namespace

Status Win32Registry::openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(toHkey(key), Wide(subKey).get(), 0, access, &opened);
    if (status == ERROR_SUCCESS) *result = fromHkey(opened);
    return status;
}

Status Win32Registry::queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                   std::uint32_t* size) {
    if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    DWORD storedType = 0;
    Bytes stored;
    if (const LONG status = readStored(toHkey(key), Wide(valueName).get(), storedType, stored);
        status != ERROR_SUCCESS) {
        return status;
    }
    if (type != nullptr) *type = storedType;
    return answerData(answeredForm(storedType, stored), data, size);
}

Status Win32Registry::setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t size) {
    if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
    const Bytes stored = storedForm(type, data, size);
    return RegSetValueExW(toHkey(key), Wide(valueName).get(), 0, type, stored.data(),
                          static_cast<DWORD>(stored.size()));
}

Status Win32Registry::createKeyEx(Key key, const char* subKey, std::uint32_t options, std::uint32_t access, Key* result,
                                  std::uint32_t* disposition) {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExW(toHkey(key), Wide(subKey).get(), 0, nullptr, options, access, nullptr, &created,
                                        asDword(disposition));
    if (status == ERROR_SUCCESS) *result = fromHkey(created);
    return status;
}

Status Win32Registry::flushKey(Key key) { return RegFlushKey(toHkey(key)); }

Status Win32Registry::enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) {
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr))
        return ERROR_INVALID_PARAMETER;
    // The longest name the registry allows, with its NUL.
    std::vector<wchar_t> wideName(16384);
    DWORD storedType = 0;
    Bytes stored;
    for (;;) {
        auto nameLength = static_cast<DWORD>(wideName.size());
        DWORD size = 0;
        LONG status =
            RegEnumValueW(toHkey(key), index, wideName.data(), &nameLength, nullptr, &storedType, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        stored.resize(size);
        nameLength = static_cast<DWORD>(wideName.size());
        status =
            RegEnumValueW(toHkey(key), index, wideName.data(), &nameLength, nullptr, &storedType, stored.data(), &size);
        if (status == ERROR_MORE_DATA) continue;  // the value grew in between
        if (status != ERROR_SUCCESS) return status;
        stored.resize(size);
        return answerEnumerated(narrow(wideName.data(), nameLength), storedType, answeredForm(storedType, stored), name,
                                nameSize, type, data, dataSize);
    }
}

Status Win32Registry::closeKey(Key key) { return RegCloseKey(toHkey(key)); }

std::string Win32Registry::location() const { return std::string(texts::kWindowsRegistryLocation); }

}  // namespace settings

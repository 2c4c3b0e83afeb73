#pragma once
// The registry as the settings operations see it: a narrow mirror of the advapi32 calls they
// make, with the same arguments, buffer rules and Win32 error codes, so that every backend
// (the real registry, the .reg file) answers the operations' edge cases alike.
//
// Texts (key paths, value names, string data) cross this interface as UTF-8, NUL-terminated
// where the advapi32 function takes a C string, so that every character a value can hold
// survives. The registry itself keeps them in UTF-16 (the functions with the suffix W); sizes
// of names and string data are counted in bytes of UTF-8.

#include <cstdint>
#include <string>

namespace settings {

// An open key, or one of the predefined root keys below (their 32-bit handle values).
using Key = std::uint64_t;
// A Win32 error code, as the registry functions answer it.
using Status = std::int32_t;

inline constexpr Key kClassesRoot = 0x80000000;
inline constexpr Key kCurrentUser = 0x80000001;
inline constexpr Key kLocalMachine = 0x80000002;
inline constexpr Key kUsers = 0x80000003;
inline constexpr Key kCurrentConfig = 0x80000005;

inline constexpr Status kErrorSuccess = 0;
inline constexpr Status kErrorFileNotFound = 2;
inline constexpr Status kErrorAccessDenied = 5;
inline constexpr Status kErrorInvalidHandle = 6;
inline constexpr Status kErrorInvalidParameter = 87;
inline constexpr Status kErrorBadPathname = 161;
inline constexpr Status kErrorMoreData = 234;
inline constexpr Status kErrorNoMoreItems = 259;
inline constexpr Status kErrorRegistryIoFailed = 1016;
inline constexpr Status kErrorKeyDeleted = 1018;
inline constexpr Status kErrorNoUnicodeTranslation = 1113;
inline constexpr Status kErrorCancelled = 1223;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Access rights.
inline constexpr std::uint32_t kKeyQueryValue = 0x01;
inline constexpr std::uint32_t kKeySetValue = 0x02;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x04;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x08;
inline constexpr std::uint32_t kKeyNotify = 0x10;
inline constexpr std::uint32_t kKeyCreateLink = 0x20;

inline constexpr std::uint32_t kRegOptionNonVolatile = 0;

// Dispositions of createKeyEx.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // RegOpenKeyExW. subKey empty (or null): a new handle to key itself.
    virtual Status openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) = 0;
    // RegQueryValueExW. type, data and size may be null (size only when data is). With data
    // null the size of the data is answered; a buffer too small gives kErrorMoreData and
    // the size needed. String data is answered in UTF-8.
    virtual Status queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) = 0;
    // RegSetValueExW. String data is given in UTF-8.
    virtual Status setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) = 0;
    // RegCreateKeyExW without class and security descriptor; creates every missing level.
    virtual Status createKeyEx(Key key, const char* subKey, std::uint32_t options, std::uint32_t access, Key* result,
                               std::uint32_t* disposition) = 0;
    // RegFlushKey.
    virtual Status flushKey(Key key) = 0;
    // RegEnumValueW. nameSize: the name buffer's size in bytes including the NUL, on success
    // the name's length; dataSize: the data buffer's size in bytes, then the data's.
    // A name or data that does not fit gives kErrorMoreData; past the last value
    // kErrorNoMoreItems.
    virtual Status enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                             std::uint8_t* data, std::uint32_t* dataSize) = 0;
    // RegCloseKey.
    virtual Status closeKey(Key key) = 0;

    // Where the values are kept, for the user ("Datei …", "Windows-Registrierung …"), UTF-8.
    virtual std::string location() const = 0;
};

}  // namespace settings

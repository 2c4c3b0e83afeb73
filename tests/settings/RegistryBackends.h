#pragma once
// The registries the settings operations run against in tests: the settings file always,
// and on Windows (Wine) the real registry as well. Each backend gives a key path below
// HKEY_CURRENT_USER that no other run uses, and a value name for the root key, and removes
// what a test left there.

#include <random>
#include <string>

#include "settings/FileRegistry.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "settings/win32/Win32Registry.h"
#endif

namespace testing_support {

inline std::string uniqueSuffix() {
    std::random_device seed;
    return std::to_string(seed()) + std::to_string(seed());
}

inline constexpr const char* kTestKeyParent = "SOFTWARE\\AnschriftenwandlerTest";

struct FileStoreBackend {
    static constexpr const char* kName = "FileStore";
    TempDir dir;
    settings::FileRegistry registry{dir.path() / "registry.reg"};
    std::string base = std::string(kTestKeyParent) + "\\" + uniqueSuffix();
    std::string rootValueName = "AnschriftenwandlerTest-" + uniqueSuffix();
};

#ifdef _WIN32
struct WindowsRegistryBackend {
    static constexpr const char* kName = "WindowsRegistry";
    settings::Win32Registry registry;
    std::string base = std::string(kTestKeyParent) + "\\" + uniqueSuffix();
    std::string rootValueName = "AnschriftenwandlerTest-" + uniqueSuffix();

    WindowsRegistryBackend() = default;
    WindowsRegistryBackend(const WindowsRegistryBackend&) = delete;
    WindowsRegistryBackend& operator=(const WindowsRegistryBackend&) = delete;
    ~WindowsRegistryBackend() {
        RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestKeyParent);  // only when no other run still uses it
        RegDeleteValueA(HKEY_CURRENT_USER, rootValueName.c_str());
    }
};
#endif

}  // namespace testing_support

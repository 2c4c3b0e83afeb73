#include "e2e/HostPaths.h"

#include <windows.h>

#include "app/win32/Utf16.h"

namespace e2e {

namespace {

using UnixFileName = char*(CDECL*)(const WCHAR*);
using DosFileName = WCHAR*(CDECL*)(const char*);

// Through void(*)(): a cast from FARPROC to the function's real type.
template <class Function>
Function wineFunction(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

std::string hostPathOf(const std::string& windowsPath) {
    const auto convert = wineFunction<UnixFileName>("wine_get_unix_file_name");
    if (!convert) return windowsPath;
    char* converted = convert(app::win32::toUtf16(windowsPath).c_str());
    if (!converted) return windowsPath;
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::string windowsPathOf(const std::string& hostPath) {
    const auto convert = wineFunction<DosFileName>("wine_get_dos_file_name");
    if (!convert) return hostPath;
    WCHAR* converted = convert(hostPath.c_str());
    if (!converted) return hostPath;
    std::string result = app::win32::toUtf8(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

}  // namespace e2e

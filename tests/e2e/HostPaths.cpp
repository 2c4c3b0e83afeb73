#include "e2e/HostPaths.h"

#include <windows.h>

#include "text/Unicode.h"

namespace e2e {

std::string windowsPathOf(const std::string& hostPath) {
    using DosFileName = WCHAR*(CDECL*)(const char*);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
    if (!found) return hostPath;  // Windows itself
    const auto convert = reinterpret_cast<DosFileName>(reinterpret_cast<void (*)()>(found));
    WCHAR* converted = convert(hostPath.c_str());
    if (!converted) return hostPath;
    std::string result = text::fromWide(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

}  // namespace e2e

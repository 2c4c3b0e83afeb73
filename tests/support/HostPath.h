#pragma once
// A path as the host's own programs open it. Under Wine an ODBC driver is a Linux library that
// needs the Unix path of a file the Windows program names; elsewhere a path stays as it is.

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testing_support {

inline std::string hostPath(const std::string& path) {
#ifdef _WIN32
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!found) return path;  // Windows itself
    const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(found));
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), size);
    char* converted = convert(wide.c_str());
    if (!converted) return path;
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
#else
    return path;
#endif
}

}  // namespace testing_support

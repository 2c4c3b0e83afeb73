#include "app/win32/SystemServices.h"

#include <windows.h>
#include <shellapi.h>

#include "app/Texts.h"
#include "text/Unicode.h"

namespace app::win32 {

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(text::toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string startProgram(const std::string& commandLine) {
    std::wstring line = text::toWide(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return systemMessage(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

std::string openDocument(const std::string& path) {
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;  // the failure is said by the window
    const std::wstring file = text::toWide(path);
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&execute)) return {};
    return systemMessage(GetLastError());
}

std::string groupSeparator() {
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    return length > 1 ? text::fromWide(std::wstring_view(separator, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

std::string systemMessage(unsigned long errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0) return app::texts::systemError(errorCode);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text::fromWide(text);
}

}  // namespace app::win32

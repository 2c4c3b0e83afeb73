#include "e2e/RemoteWindow.h"

#include <stdexcept>
#include <thread>

#include "app/win32/SystemServices.h"
#include "text/Unicode.h"

namespace e2e {

namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr int kMessageBoxTextId = 0xFFFF;

DWORD processOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

RunningProgram::RunningProgram(const std::string& commandLine) {
    std::wstring line = text::toWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
        throw std::runtime_error("cannot start " + commandLine + ": " + app::win32::systemMessage(GetLastError()));
    }
    CloseHandle(process_.hThread);
}

RunningProgram::~RunningProgram() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
}

std::optional<DWORD> RunningProgram::waitForExit(std::chrono::milliseconds timeout) {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::vector<HWND> visibleWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(window) && processOf(window) == s->processId) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD processId, const wchar_t* windowClass, int readyId, std::chrono::milliseconds timeout) {
    HWND result = nullptr;
    // The window can be found while its controls are still being created: wait for the one needed.
    waitUntil(
        [&] {
            for (HWND window : visibleWindowsOf(processId)) {
                if (classOf(window) == windowClass && GetDlgItem(window, readyId)) result = window;
            }
            return result != nullptr;
        },
        timeout);
    return result;
}

LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) return -1;
    return static_cast<LRESULT>(result);
}

std::string textOf(HWND window) {
    const LRESULT length = sendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = sendWithTimeout(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text::fromWide(buffer);
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

std::vector<std::string> listLines(HWND listBox) {
    std::vector<std::string> lines;
    const LRESULT count = sendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        const auto item = static_cast<WPARAM>(index);
        const LRESULT length = sendWithTimeout(listBox, LB_GETTEXTLEN, item, 0);
        std::wstring buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied = sendWithTimeout(listBox, LB_GETTEXT, item, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        lines.push_back(text::fromWide(buffer));
    }
    return lines;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void pressKey(HWND window, WORD virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16)));
    PostMessageW(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16) | (3u << 30)));
}

HWND openDialog(DWORD processId) {
    for (HWND window : visibleWindowsOf(processId)) {
        if (classOf(window) == L"#32770") return window;
    }
    return nullptr;
}

void closeDialog(HWND dialog, int buttonId) {
    click(GetDlgItem(dialog, buttonId));
    waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10s);
}

std::optional<MessageBoxSeen> answerMessageBox(DWORD processId, int buttonId) {
    HWND box = openDialog(processId);
    if (!box) return std::nullopt;
    MessageBoxSeen seen{textOf(box), textOf(GetDlgItem(box, kMessageBoxTextId))};
    closeDialog(box, buttonId);
    return seen;
}

}  // namespace e2e

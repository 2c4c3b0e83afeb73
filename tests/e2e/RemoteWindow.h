#pragma once
// Driving a window of another process as a user would: start the program, find its window and
// controls, read their texts, click, answer its message boxes, close it.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Polls condition every few milliseconds until it holds or timeout has passed.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

class RunningProgram {
public:
    // Starts the command line (UTF-8); throws std::runtime_error when it cannot be started.
    explicit RunningProgram(const std::string& commandLine);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    // Ends the program when it still runs.
    ~RunningProgram();

    DWORD id() const { return process_.dwProcessId; }
    // The exit code, or none when the program still runs after timeout.
    std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout);

private:
    PROCESS_INFORMATION process_{};
};

// The program's visible top-level window of windowClass once the child with readyId exists; null after timeout.
HWND waitForWindow(DWORD processId, const wchar_t* windowClass, int readyId, std::chrono::milliseconds timeout);
// Visible top-level windows of the process.
std::vector<HWND> visibleWindowsOf(DWORD processId);

// WM_GETTEXT across processes; waits for the window's thread while it is busy (at most 10 s).
std::string textOf(HWND window);
// Sends a message and answers its result, failing the wait after 10 s as a result of -1.
LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Clicks the button without waiting for what the click starts.
void click(HWND button);
std::vector<std::string> listLines(HWND listBox);
// The control that has the keyboard focus in the window's thread; null when none.
HWND focusOf(HWND window);
// A key pressed and released on the window, as the keyboard delivers it to the focused control.
void pressKey(HWND window, WORD virtualKey);

// A dialog of the process that is open now (a message box, the folder picker); null when none.
HWND openDialog(DWORD processId);
// Clicks the dialog's button (IDOK, IDCANCEL) and waits until the dialog is gone.
void closeDialog(HWND dialog, int buttonId);

struct MessageBoxSeen {
    std::string title;
    std::string text;
};

// Answers a message box of the process that is open now with the button (IDOK, IDYES, ...) and
// waits until it is gone; none when no box is open.
std::optional<MessageBoxSeen> answerMessageBox(DWORD processId, int buttonId = IDOK);

}  // namespace e2e

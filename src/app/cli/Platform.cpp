#include "app/cli/Platform.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "text/Unicode.h"
#else
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#endif

namespace cli {

void bufferStdoutUnlessConsole() {
    // A C library buffers by line, or not at all, what it takes for a terminal; on Windows that
    // includes NUL, where every line then costs a system call. The buffer is given: glibc takes
    // a size only with a buffer, and would otherwise write in blocks of the device's 4 KiB.
    static char buffer[64 * 1024];
    if (!isTerminal(stdout)) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

bool writeLine(std::FILE* stream, std::string_view line) {
#ifdef _WIN32
    // The C library here has no unlocked block write: each call takes the lock on its own.
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    return !std::ferror(stream);
#else
    flockfile(stream);
    fwrite_unlocked(line.data(), 1, line.size(), stream);
    putc_unlocked('\n', stream);
    const bool written = !ferror_unlocked(stream);
    funlockfile(stream);
    return written;
#endif
}

#ifdef _WIN32

void prepareConsole() { SetConsoleOutputCP(CP_UTF8); }

// _isatty also says yes for NUL and other character devices; only a console can answer.
bool isTerminal(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

std::string groupSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) <= 0) return {};
    return text::fromWide(separator);
}

namespace {

// Whether the console holds a key press, which the line read that follows takes up. Other
// events (a key let go, such as the Enter that started the tool, the mouse, the focus) are
// taken away, so that they neither end the wait nor keep it spinning.
bool keyPressedIn(HANDLE console) {
    INPUT_RECORD events[64];
    DWORD count = 0;
    while (PeekConsoleInputW(console, events, 64, &count) && count > 0) {
        for (DWORD i = 0; i < count; ++i) {
            if (events[i].EventType == KEY_EVENT && events[i].Event.KeyEvent.bKeyDown) return true;
        }
        ReadConsoleInputW(console, events, count, &count);  // the same events: new ones queue behind them
    }
    return false;
}

}  // namespace

bool waitForInput(std::FILE* stream, bool (*stop)()) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    // A file or a pipe: the read that follows tells.
    if (handle == INVALID_HANDLE_VALUE || GetConsoleMode(handle, &mode) == 0) return !stop();
    // Short waits, so that a stop request is seen within a fraction of a second.
    while (!stop()) {
        if (keyPressedIn(handle)) return true;
        WaitForSingleObject(handle, 100);
    }
    return false;
}

// Ctrl+C while a line is typed ends the console's read at once, and the signal handler runs a
// moment later on a thread of its own.
bool stopFollows(bool (*stop)()) {
    for (int waited = 0; waited < 500 && !stop(); waited += 10) Sleep(10);
    return stop();
}

#else

// By default a closed pipe's signal would end the tool in the middle of the list, leaving no
// summary and no report; ignored, the write fails and the list says it is incomplete.
void prepareConsole() { std::signal(SIGPIPE, SIG_IGN); }

bool isTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

std::string groupSeparator() {
    // Read from the user's locale without making it the process's own: number parsing and
    // printing elsewhere stay locale-independent.
    const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) return {};
    const char* separator = nl_langinfo_l(THOUSEP, user);
    std::string result = separator ? separator : "";
    freelocale(user);
    return result;
}

bool waitForInput(std::FILE* stream, bool (*stop)()) {
    // Short waits, so that a stop request is seen within a fraction of a second.
    pollfd input{fileno(stream), POLLIN, 0};
    while (!stop()) {
        const int ready = poll(&input, 1, 200);
        // Input, its end, or a stream that cannot be watched: the read that follows tells.
        if (ready > 0 || (ready < 0 && errno != EINTR)) return true;
    }
    return false;
}

// A terminal's read ends with the line: Ctrl+C has come already, or not at all.
bool stopFollows(bool (*stop)()) { return stop(); }

#endif

}  // namespace cli

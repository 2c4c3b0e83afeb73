#pragma once
// An exclusive lock between processes (and between threads with their own lock objects) on a
// lock file beside the settings file: flock on POSIX, LockFileEx on Windows. The lock file
// goes with the lock, so that none is left beside the settings file: on POSIX its holder removes
// it before it lets go, and a waiter that then gets the lock of the removed file tries again on
// the file's new one; on Windows it is deleted once its last handle closes, and while that is
// pending it cannot be opened, so a newcomer waits.

#include <filesystem>

namespace settings {

// Answers true once a wait should end (Ctrl+C in the command-line tool); a plain function,
// so that it can read what a signal handler set.
using StopWaiting = bool (*)();

class FileLock {
public:
    // Waits until the lock is free, or until stopWaiting answers true (looked at every 50 ms;
    // none waits as long as it takes). Throws std::system_error when the lock file cannot be
    // opened or locked, std::errc::operation_canceled when the wait was stopped.
    explicit FileLock(const std::filesystem::path& lockFile, StopWaiting stopWaiting = nullptr);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
#ifdef _WIN32
    void* handle_;
#else
    std::filesystem::path lockFile_;
    int descriptor_;
#endif
};

}  // namespace settings

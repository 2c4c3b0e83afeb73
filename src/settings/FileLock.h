#pragma once
// An exclusive lock between processes (and between threads with their own lock objects) on a
// lock file beside the settings file: flock on POSIX, LockFileEx on Windows. The lock file
// stays; only the lock is released.

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
    int descriptor_;
#endif
};

}  // namespace settings

#pragma once
// An exclusive lock between processes (and between threads with their own lock objects) on a
// lock file beside the settings file: flock on POSIX, LockFileEx on Windows. The lock file
// stays; only the lock is released.

#include <filesystem>

namespace settings {

class FileLock {
public:
    // Waits until the lock is free. Throws std::system_error when the lock file cannot be
    // opened or locked.
    explicit FileLock(const std::filesystem::path& lockFile);
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

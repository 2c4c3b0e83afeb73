#include "settings/FileLock.h"

#include <chrono>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace settings {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);

// Takes the lock through tryLock, which answers true when taken, false while another holds it
// (only asked not to wait when there is a stopWaiting), and throws on a failure. Between the
// tries the wait may be stopped. On any failure close releases the lock file.
template <class TryLock, class Close>
void takeLock(TryLock tryLock, StopWaiting stopWaiting, Close close) {
    try {
        while (!tryLock()) {
            if (stopWaiting()) throw std::system_error(std::make_error_code(std::errc::operation_canceled));
            std::this_thread::sleep_for(kPollInterval);
        }
    } catch (...) {
        close();
        throw;
    }
}

}  // namespace

#ifdef _WIN32

// A lock file whose deletion is pending refuses to open; its last holder lets go in a moment.
constexpr int kDeletePendingAttempts = 600;

FileLock::FileLock(const std::filesystem::path& lockFile, StopWaiting stopWaiting) {
    for (int attempt = 0;; ++attempt) {
        handle_ = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE) break;
        const auto error = static_cast<int>(GetLastError());
        if (error != ERROR_ACCESS_DENIED || attempt == kDeletePendingAttempts) {
            throw std::system_error(error, std::system_category(), lockFile.string());
        }
        if (stopWaiting && stopWaiting()) throw std::system_error(std::make_error_code(std::errc::operation_canceled));
        std::this_thread::sleep_for(kPollInterval);
    }
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (stopWaiting ? LOCKFILE_FAIL_IMMEDIATELY : 0);
    const auto tryLock = [&] {
        OVERLAPPED whole{};
        if (LockFileEx(handle_, flags, 0, 1, 0, &whole)) return true;
        const auto error = static_cast<int>(GetLastError());
        if (stopWaiting && error == ERROR_LOCK_VIOLATION) return false;
        throw std::system_error(error, std::system_category(), lockFile.string());
    };
    takeLock(tryLock, stopWaiting, [&] { CloseHandle(handle_); });
}

FileLock::~FileLock() {
    OVERLAPPED whole{};
    UnlockFileEx(handle_, 0, 1, 0, &whole);
    CloseHandle(handle_);
}

#else

namespace {

// Whether the locked descriptor's file is still the one the lock file's name leads to.
bool stillNamed(int descriptor, const std::filesystem::path& lockFile) {
    struct stat held {};
    struct stat named {};
    return ::fstat(descriptor, &held) == 0 && ::stat(lockFile.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& lockFile, StopWaiting stopWaiting) : lockFile_(lockFile) {
    const int operation = LOCK_EX | (stopWaiting ? LOCK_NB : 0);
    for (;;) {
        descriptor_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (descriptor_ < 0) throw std::system_error(errno, std::generic_category(), lockFile.string());
        const auto tryLock = [&] {
            while (::flock(descriptor_, operation) != 0) {
                if (errno == EINTR) continue;
                if (stopWaiting && errno == EWOULDBLOCK) return false;
                throw std::system_error(errno, std::generic_category(), lockFile.string());
            }
            return true;
        };
        takeLock(tryLock, stopWaiting, [&] { ::close(descriptor_); });
        if (stillNamed(descriptor_, lockFile)) return;
        // The holder before removed this file as it let go; the lock is on the file named now.
        ::close(descriptor_);
    }
}

FileLock::~FileLock() {
    // Removed while still held, so that no one locks a file that is about to go; closing the
    // descriptor then releases the lock.
    ::unlink(lockFile_.c_str());
    ::close(descriptor_);
}

#endif

}  // namespace settings

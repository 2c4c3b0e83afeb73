#include "settings/FileLock.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace settings {

#ifdef _WIN32

FileLock::FileLock(const std::filesystem::path& lockFile) {
    handle_ = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), lockFile.string());
    }
    OVERLAPPED whole{};
    if (!LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        const auto error = static_cast<int>(GetLastError());
        CloseHandle(handle_);
        throw std::system_error(error, std::system_category(), lockFile.string());
    }
}

FileLock::~FileLock() {
    OVERLAPPED whole{};
    UnlockFileEx(handle_, 0, 1, 0, &whole);
    CloseHandle(handle_);
}

#else

FileLock::FileLock(const std::filesystem::path& lockFile) {
    descriptor_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor_ < 0) throw std::system_error(errno, std::generic_category(), lockFile.string());
    while (::flock(descriptor_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(descriptor_);
        throw std::system_error(error, std::generic_category(), lockFile.string());
    }
}

FileLock::~FileLock() {
    // Closing the descriptor releases the lock.
    ::close(descriptor_);
}

#endif

}  // namespace settings

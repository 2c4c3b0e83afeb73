#include "settings/AtomicFile.h"

#include <algorithm>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace settings {

std::filesystem::path temporaryFileFor(const std::filesystem::path& file) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    return temporary;
}

namespace {

// As many links in a row as Linux follows before it gives up.
constexpr int kMostLinksFollowed = 40;

// The file a chain of symbolic links ends at (a relative link counts from its own folder): it is
// that file that is replaced, and the links stay as they are. The file need not exist yet.
std::filesystem::path linkedFile(std::filesystem::path file) {
    for (int followed = 0; std::filesystem::is_symlink(file); ++followed) {
        if (followed == kMostLinksFollowed) {
            throw std::filesystem::filesystem_error("replaceFile", file,
                                                    std::make_error_code(std::errc::too_many_symbolic_link_levels));
        }
        const std::filesystem::path target = std::filesystem::read_symlink(file);
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

}  // namespace

#ifdef _WIN32

namespace {

constexpr int kRenameAttempts = 500;
constexpr DWORD kRenamePauseMilliseconds = 10;

[[noreturn]] void throwError(DWORD error, const std::filesystem::path& file) {
    throw std::system_error(static_cast<int>(error), std::system_category(), file.string());
}

}  // namespace

void replaceFile(const std::filesystem::path& named, std::string_view content) {
    const std::filesystem::path file = linkedFile(named);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    // A file made read-only is not replaced behind its owner's back.
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throwError(ERROR_ACCESS_DENIED, file);
    }
    const std::filesystem::path temporary = temporaryFileFor(file);
    HANDLE handle =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throwError(GetLastError(), temporary);
    bool written = true;
    for (std::size_t done = 0; written && done < content.size();) {
        DWORD count = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
        written = WriteFile(handle, content.data() + done, chunk, &count, nullptr) != 0;
        done += count;
    }
    written = written && FlushFileBuffers(handle) != 0;
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!written) {
        DeleteFileW(temporary.c_str());
        throwError(error, temporary);
    }
    // A reader that has the file open (without delete sharing) blocks its replacement for as
    // long as it reads; that is a moment, so the rename is tried again for a while.
    for (int attempt = 0;
         !MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); ++attempt) {
        const DWORD refusal = GetLastError();
        if ((refusal != ERROR_ACCESS_DENIED && refusal != ERROR_SHARING_VIOLATION) || attempt == kRenameAttempts) {
            DeleteFileW(temporary.c_str());
            throwError(refusal, file);
        }
        Sleep(kRenamePauseMilliseconds);
    }
}

#else

namespace {

[[noreturn]] void throwErrno(const std::filesystem::path& file) {
    throw std::system_error(errno, std::generic_category(), file.string());
}

}  // namespace

void replaceFile(const std::filesystem::path& named, std::string_view content) {
    const std::filesystem::path file = linkedFile(named);
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::filesystem::create_directories(folder);
    mode_t mode = 0600;
    struct stat existing {};
    if (::stat(file.c_str(), &existing) == 0) {
        // A file its owner may not write is not replaced behind their back.
        if (::access(file.c_str(), W_OK) != 0) throwErrno(file);
        mode = existing.st_mode & 07777;
    }

    const std::filesystem::path temporary = temporaryFileFor(file);
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) throwErrno(temporary);
    bool written = ::fchmod(descriptor, mode) == 0;
    for (std::size_t done = 0; written && done < content.size();) {
        const ssize_t count = ::write(descriptor, content.data() + done, content.size() - done);
        if (count < 0 && errno == EINTR) continue;
        written = count > 0;
        if (written) done += static_cast<std::size_t>(count);
    }
    written = written && ::fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    if (!written) {
        ::unlink(temporary.c_str());
        throw std::system_error(error, std::generic_category(), temporary.string());
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) throwErrno(file);
    // The rename itself is durable once the folder is flushed.
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
}

#endif

}  // namespace settings

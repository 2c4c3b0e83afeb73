#include "adr/ByteSource.h"

#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

#include "adr/Texts.h"
#include "text/Utf8Path.h"

namespace adr {

namespace {

std::runtime_error notAFile(const std::string& path) { return std::runtime_error(texts::notARegularFile(path)); }

std::runtime_error readFailure(const std::string& path) { return std::runtime_error(texts::fileReadFailed(path)); }

#ifdef _WIN32

// A directory entry on Windows is no pipe; what std::filesystem calls a regular file is read.
class FileSource : public ByteSource {
public:
    FileSource(std::ifstream stream, std::string path) : stream_(std::move(stream)), path_(std::move(path)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const auto got = stream_.rdbuf()->sgetn(buffer, static_cast<std::streamsize>(size));
        if (got < 0) throw readFailure(path_);
        return static_cast<std::size_t>(got);
    }

private:
    std::ifstream stream_;
    std::string path_;
};

std::unique_ptr<ByteSource> openRegularFile(const std::filesystem::path& native, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error)) throw notAFile(path);
    std::ifstream stream(native, std::ios::binary);
    if (!stream) throw std::runtime_error(texts::fileCannotOpen(path));
    return std::make_unique<FileSource>(std::move(stream), path);
}

#else

class FileSource : public ByteSource {
public:
    FileSource(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
    ~FileSource() override { ::close(descriptor_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(descriptor_, buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw readFailure(path_);
        }
    }

private:
    int descriptor_;
    std::string path_;
};

// Opening without blocking: a FIFO would otherwise wait for a writer that never comes. The
// type is then checked on the opened file itself, so that nothing can be swapped in between.
std::unique_ptr<ByteSource> openRegularFile(const std::filesystem::path& native, const std::string& path) {
    const int descriptor = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) throw std::runtime_error(texts::fileCannotOpen(path));
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        throw notAFile(path);
    }
    return std::make_unique<FileSource>(descriptor, path);
}

#endif

}  // namespace

std::unique_ptr<ByteSource> openFile(const std::string& path) {
    const auto native = text::pathOf(path);
    std::error_code error;
    const auto status = std::filesystem::status(native, error);
    if (!std::filesystem::exists(status)) throw FileMissing(texts::fileNotFound(path));
    if (std::filesystem::is_directory(status)) throw std::runtime_error(texts::directoryNotFile(path));
    return openRegularFile(native, path);
}

}  // namespace adr

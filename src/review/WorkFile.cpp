#include "review/WorkFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace review {

namespace {

// Made only where nothing stands under the name, not even a link; answers -1 when it cannot be.
int openOwnFile(const std::filesystem::path& path) {
#ifdef _WIN32
    return ::_wopen(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT | _O_TEMPORARY,
                    _S_IREAD | _S_IWRITE);
#else
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor >= 0) ::unlink(path.c_str());
    return descriptor;
#endif
}

}  // namespace

std::string uniqueFileTag() {
    std::random_device random;
    const unsigned long long value = (static_cast<unsigned long long>(random()) << 32) ^ random();
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", value);
    return tag;
}

WorkFile::WorkFile(std::filesystem::path path) : path_(std::move(path)) {
    const int descriptor = openOwnFile(path_);
    if (descriptor < 0) return;
    // A buffer of one character is none: the file is read and written as its users ask.
    file_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(descriptor,
                                                             std::ios::in | std::ios::out | std::ios::binary, 1);
    stream_.rdbuf(file_.get());
}

}  // namespace review

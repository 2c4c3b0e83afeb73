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

std::string uniqueFileTag() {
    std::random_device random;
    const unsigned long long value = (static_cast<unsigned long long>(random()) << 32) ^ random();
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", value);
    return tag;
}

WorkFile::WorkFile(std::filesystem::path path) : path_(std::move(path)) {
    // Made only where nothing stands under the name, not even a link.
#ifdef _WIN32
    const int descriptor = ::_wopen(
        path_.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT | _O_TEMPORARY, _S_IREAD | _S_IWRITE);
#else
    const int descriptor = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    // Where an open file keeps its name (some network shares), it is removed by name once closed.
    named_ = descriptor >= 0 && ::unlink(path_.c_str()) != 0;
#endif
    if (descriptor < 0) return;
    // A buffer of one character is none: the file is read and written as its users ask.
    file_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(descriptor,
                                                             std::ios::in | std::ios::out | std::ios::binary, 1);
    stream_.rdbuf(file_.get());
}

WorkFile::~WorkFile() {
    stream_.rdbuf(nullptr);
    file_.reset();
    std::error_code ignored;
    if (named_) std::filesystem::remove(path_, ignored);
}

}  // namespace review

#include "review/WorkFile.h"

#include <system_error>
#include <utility>

namespace review {

WorkFile::WorkFile(std::filesystem::path path, bool buffered)
    : path_(std::move(path)), buffer_(buffered ? 64 * 1024 : 0) {
    // The buffer must be in place before the file is opened to take effect; none is no buffer.
    file_.rdbuf()->pubsetbuf(buffer_.empty() ? nullptr : buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    file_.open(path_, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
}

WorkFile::~WorkFile() {
    if (!file_.is_open()) return;
    file_.close();  // Windows removes no file that is still open
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace review

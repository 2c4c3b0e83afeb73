#include "review/WorkFile.h"

#include <system_error>
#include <utility>

namespace review {

WorkFile::WorkFile(std::filesystem::path path) : path_(std::move(path)) {
    // No buffer must be set before the file is opened to take effect.
    file_.rdbuf()->pubsetbuf(nullptr, 0);
    file_.open(path_, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
}

WorkFile::~WorkFile() {
    if (!file_.is_open()) return;
    file_.close();  // Windows removes no file that is still open
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace review

#include "review/WorkFile.h"

#include <cstdio>
#include <random>
#include <system_error>
#include <utility>

namespace review {

std::string uniqueFileTag() {
    std::random_device random;
    const unsigned long long value = (static_cast<unsigned long long>(random()) << 32) ^ random();
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", value);
    return tag;
}

WorkFile::WorkFile(std::filesystem::path path) : path_(std::move(path)) {
    std::error_code unknown;
    if (std::filesystem::exists(std::filesystem::symlink_status(path_, unknown))) return;
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

#include "db/FullPath.h"

#include <filesystem>

namespace db {

std::string fullPath(const std::string& path) {
    const std::filesystem::path given(std::u8string(path.begin(), path.end()));
    std::error_code failed;
    std::filesystem::path full = std::filesystem::weakly_canonical(given, failed);
    if (failed) full = std::filesystem::absolute(given, failed).lexically_normal();
    if (failed) return path;
    const std::u8string text = full.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace db

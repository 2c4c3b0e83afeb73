#include "db/FullPath.h"

#include <filesystem>

#include "text/Utf8Path.h"

namespace db {

std::string fullPath(const std::string& path) {
    const std::filesystem::path given = text::pathOf(path);
    std::error_code failed;
    std::filesystem::path full = std::filesystem::weakly_canonical(given, failed);
    if (failed) full = std::filesystem::absolute(given, failed).lexically_normal();
    if (failed) return path;
    return text::utf8Of(full);
}

}  // namespace db

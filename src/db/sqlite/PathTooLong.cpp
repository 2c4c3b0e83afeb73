#include "db/sqlite/PathTooLong.h"

#include <sqlite3.h>

#include <climits>
#include <cstddef>
#include <filesystem>

#include "db/Texts.h"
#include "text/Utf8Path.h"

namespace db {

namespace {

// What the file system counts: UTF-16 units on Windows, bytes elsewhere.
#ifdef _WIN32
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kLongestPath = 259;  // MAX_PATH without its terminating null
#else
constexpr std::size_t kLongestName = NAME_MAX;
constexpr std::size_t kLongestPath = PATH_MAX - 1;
#endif

}  // namespace

std::optional<std::string> pathTooLong(const std::string& path) {
    const std::filesystem::path given = text::pathOf(path);
    for (const std::filesystem::path& name : given) {
        if (name.native().size() > kLongestName) {
            return texts::nameTooLong(name.native().size(), kLongestName);
        }
    }
    // SQLite works with the whole path, the current folder put in front of a relative one.
    std::error_code ignored;
    std::filesystem::path whole = std::filesystem::absolute(given, ignored);
    if (whole.empty()) whole = given;
    const std::size_t sqliteMost = static_cast<std::size_t>(sqlite3_vfs_find(nullptr)->mxPathname);
    if (whole.u8string().size() > sqliteMost) {
        return texts::pathTooLongForSqlite(whole.u8string().size(), sqliteMost);
    }
    if (whole.native().size() > kLongestPath) {
        return texts::pathTooLongForSystem(whole.native().size(), kLongestPath);
    }
    return std::nullopt;
}

}  // namespace db

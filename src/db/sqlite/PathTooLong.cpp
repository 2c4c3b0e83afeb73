#include "db/sqlite/PathTooLong.h"

#include <sqlite3.h>

#include <climits>
#include <cstddef>
#include <filesystem>

namespace db {

namespace {

// What the file system counts: UTF-16 units on Windows, bytes elsewhere.
#ifdef _WIN32
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kLongestPath = 259;  // MAX_PATH without its terminating null
constexpr const char* kUnit = "Zeichen";
constexpr const char* kSystem = "Windows";
#else
constexpr std::size_t kLongestName = NAME_MAX;
constexpr std::size_t kLongestPath = PATH_MAX - 1;
constexpr const char* kUnit = "Byte";
constexpr const char* kSystem = "das Betriebssystem";
#endif

// "der Pfad ist 600 Byte lang, die Datenbank (SQLite) öffnet höchstens 512 Byte. …"
std::string tooLong(const std::string& what, std::size_t length, const std::string& limit, std::size_t most,
                    const std::string& unit) {
    return what + " ist " + std::to_string(length) + " " + unit + " lang, " + limit + " höchstens " +
           std::to_string(most) + " " + unit + ". Bitte einen kürzeren Pfad wählen.";
}

}  // namespace

std::optional<std::string> pathTooLong(const std::string& path) {
    const std::filesystem::path given(std::u8string(path.begin(), path.end()));
    for (const std::filesystem::path& name : given) {
        if (name.native().size() > kLongestName) {
            return tooLong("ein Name darin", name.native().size(), "das Dateisystem erlaubt", kLongestName, kUnit);
        }
    }
    // SQLite works with the whole path, the current folder put in front of a relative one.
    std::error_code ignored;
    std::filesystem::path whole = std::filesystem::absolute(given, ignored);
    if (whole.empty()) whole = given;
    const std::size_t sqliteMost = static_cast<std::size_t>(sqlite3_vfs_find(nullptr)->mxPathname);
    if (whole.u8string().size() > sqliteMost) {
        return tooLong("der Pfad", whole.u8string().size(), "die Datenbank (SQLite) öffnet", sqliteMost, "Byte");
    }
    if (whole.native().size() > kLongestPath) {
        return tooLong("der Pfad", whole.native().size(), std::string(kSystem) + " öffnet", kLongestPath, kUnit);
    }
    return std::nullopt;
}

}  // namespace db

#include "db/ReadOnlyFile.h"

#include <filesystem>
#include <fstream>
#include <random>
#include "db/Texts.h"

namespace db {

namespace {

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Creates a file of its own beside `file` and removes it again: a name no other program uses,
// so that two workstations probing at once do not meet.
bool folderTakesNewFiles(const std::filesystem::path& file) {
    std::filesystem::path probe = file;
    probe += ".schreibprobe-" + std::to_string(std::random_device{}());
    const bool created = std::ofstream(probe, std::ios::binary).is_open();
    std::error_code ignored;
    if (created) std::filesystem::remove(probe, ignored);
    return created;
}

}  // namespace

std::optional<std::string> whyFileIsReadOnly(const std::string& path) {
    const std::filesystem::path file = pathOf(path);
    // Opened for reading and writing, the file is neither created nor cut short.
    if (!std::fstream(file, std::ios::in | std::ios::out | std::ios::binary).is_open()) {
        return std::string(texts::kFileNotWritable);
    }
    if (!folderTakesNewFiles(file)) {
        std::error_code ignored;
        return texts::folderTakesNoJournal(utf8Of(std::filesystem::absolute(file, ignored).parent_path()));
    }
    return std::nullopt;
}

}  // namespace db

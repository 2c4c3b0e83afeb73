#include "db/ReadOnlyFile.h"

#include <filesystem>
#include <fstream>
#include <random>
#include "db/Texts.h"
#include "text/Utf8Path.h"

namespace db {

namespace {

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
    const std::filesystem::path file = text::pathOf(path);
    // Opened for reading and writing, the file is neither created nor cut short.
    if (!std::fstream(file, std::ios::in | std::ios::out | std::ios::binary).is_open()) {
        return std::string(texts::kFileNotWritable);
    }
    if (!folderTakesNewFiles(file)) {
        std::error_code ignored;
        return texts::folderTakesNoJournal(text::utf8Of(std::filesystem::absolute(file, ignored).parent_path()));
    }
    return std::nullopt;
}

}  // namespace db

#pragma once
// Replacing a file's content so that a reader sees either the old or the new content, never
// a part: the new content goes to a temporary file in the same folder, is flushed to disk and
// then renamed over the old file. Callers serialise writers (the temporary file's name is
// fixed, so a leftover of an interrupted write is simply overwritten).

#include <filesystem>
#include <string_view>

namespace settings {

// The temporary file used while replacing file.
std::filesystem::path temporaryFileFor(const std::filesystem::path& file);

// A symbolic link stays: the file it leads to is replaced, its temporary file beside it.
// Creates the folder when missing. A new file is readable by its owner only, since settings
// may hold a database password; a replaced file keeps its permissions. A file the caller may
// not write (read-only) is not replaced: that is an access refusal like any other. Throws
// std::system_error (or std::filesystem::filesystem_error); the old file then stays as it was.
void replaceFile(const std::filesystem::path& named, std::string_view content);

}  // namespace settings

#pragma once
// How a file looks from outside, without reading it: which file the name leads to, its size and
// its times. A file replaced by a rename is another file, so its stamp differs even when size
// and time happen to match.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace settings {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds or the system's own ticks
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};

// None when the file cannot be looked at (missing, or no right to).
std::optional<FileStamp> fileStamp(const std::filesystem::path& file);

}  // namespace settings

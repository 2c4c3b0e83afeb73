#pragma once
// A file of a run's own, in which parts of the report wait until it is written: opened anew for
// reading and writing in large blocks, and removed when it is dropped.

#include <filesystem>
#include <fstream>
#include <vector>

namespace review {

class WorkFile {
public:
    // isOpen says whether it could be made. buffered: read and written through a buffer of its
    // own, for a file that is written and read back in order; a file read in many places is not,
    // so that a read of a few bytes reads no more.
    explicit WorkFile(std::filesystem::path path, bool buffered = true);
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool isOpen() const { return file_.is_open(); }
    std::fstream& stream() { return file_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::vector<char> buffer_;
    std::fstream file_;
};

}  // namespace review

#pragma once
// A file of a run's own, in which parts of the report wait until it is written: opened anew for
// reading and writing, and removed when it is dropped. It has no buffer of its own: its users
// read and write it in large blocks, or a few bytes in many places, where a buffer would read
// more than they need.

#include <filesystem>
#include <fstream>
#include <string>

namespace review {

// Sixteen random hexadecimal digits for the names of a run's own files: runs at once, on this
// machine or on others sharing the folder, never take each other's files, and a file that
// happens to stand there is not mistaken for one of them.
std::string uniqueFileTag();

class WorkFile {
public:
    // isOpen says whether it could be made; a file or link already standing there is left alone.
    explicit WorkFile(std::filesystem::path path);
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool isOpen() const { return file_.is_open(); }
    std::fstream& stream() { return file_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::fstream file_;
};

}  // namespace review

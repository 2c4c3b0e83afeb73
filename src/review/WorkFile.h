#pragma once
// A file of a run's own, in which parts of the report wait until it is written: opened anew for
// reading and writing in large blocks, and removed when it is dropped.

#include <filesystem>
#include <fstream>
#include <vector>

namespace review {

class WorkFile {
public:
    // isOpen says whether it could be made.
    explicit WorkFile(std::filesystem::path path);
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool isOpen() const { return file_.is_open(); }
    std::fstream& stream() { return file_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    std::fstream file_;
};

}  // namespace review

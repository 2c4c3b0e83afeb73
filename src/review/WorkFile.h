#pragma once
// A file of a run's own, in which parts of the report wait until it is written: made anew for
// reading and writing, and gone with the run. It holds the addresses read, so it leaves nothing
// behind even when the program is ended by force or the power fails: it has no name in its folder
// once it is open (where an open file keeps its name, as on some network shares, it is removed
// by name when closed), and Windows removes it when its handle is closed, which ending a process
// does as well. It has no buffer of its own: its users read and write it in large blocks, or a
// few bytes in many places, where a buffer would read more than they need.

#include <ext/stdio_filebuf.h>

#include <filesystem>
#include <iostream>
#include <memory>
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

    bool isOpen() const { return file_ != nullptr; }
    std::iostream& stream() { return stream_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> file_;
    std::iostream stream_{nullptr};
    bool named_ = false;  // the name could not be taken from it while it is open
};

}  // namespace review

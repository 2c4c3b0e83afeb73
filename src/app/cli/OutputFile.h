#pragma once
// A file the tool writes for the user (a report, an export): named in UTF-8, written through
// one large buffer, and checked when it is closed, so that a full disk is not passed over.

#include <fstream>
#include <string>
#include <vector>

namespace cli {

class OutputFile {
public:
    // Throws std::runtime_error with the user's message when the file cannot be created.
    explicit OutputFile(const std::string& path);
    // Throws the same when path could not be written; a file there stays as it is.
    static void ensureWritable(const std::string& path);
    std::ostream& stream() { return stream_; }
    // Writes what is buffered and closes; throws std::runtime_error when any write failed.
    void close();

private:
    std::string path_;
    std::vector<char> buffer_;
    std::ofstream stream_;
};

}  // namespace cli

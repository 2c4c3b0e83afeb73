#pragma once
// A file the tool writes for the user (a report, an export): named in UTF-8, written beside its
// name (a draft of this run's own, ending ".part") and put in its place only once it is whole,
// so that a command that fails or a full disk leaves an earlier file of that name as it was.
// Written through one large buffer and checked when it is closed, or by a writer that creates
// the draft itself (a workbook). A device or a pipe is written into directly.

#include <fstream>
#include <string>
#include <vector>

namespace cli {

class OutputFile {
public:
    // Throws std::runtime_error with the user's message when the draft cannot be created, or when
    // a file of that name may not be written.
    explicit OutputFile(const std::string& path);
    // For a writer of its own that creates draftPath(); nothing is opened here.
    struct OwnWriter {};
    OutputFile(const std::string& path, OwnWriter);
    // A draft neither put in place nor kept is removed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throws the same when path could not be written; a file there stays as it is.
    static void ensureWritable(const std::string& path);
    std::ostream& stream() { return stream_; }
    const std::string& draftPath() const { return draftPath_; }
    // Writes what is buffered and puts the draft in the file's place; throws std::runtime_error
    // when any write failed or the draft cannot take the name.
    void close();
    // Writes what is buffered and leaves the draft beside the name, as the name with ".part":
    // a file cut short, which the user is told of (draftPath). Throws std::runtime_error when
    // any write failed, or when the draft cannot take that name (it then keeps its own).
    void keepDraft();

private:
    void closeDraft();
    bool writtenInPlace() const { return draftPath_ == path_; }

    std::string path_;
    std::string draftPath_;
    std::vector<char> buffer_;
    std::ofstream stream_;
    bool draftSettled_ = false;  // put in place, or kept beside the name
};

}  // namespace cli

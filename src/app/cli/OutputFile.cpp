#include "app/cli/OutputFile.h"

#include <filesystem>
#include <stdexcept>

#include "app/cli/Texts.h"
#include "review/WorkFile.h"
#include "text/Utf8Path.h"

namespace cli {

namespace {

std::runtime_error notCreated(const std::string& path) { return std::runtime_error(texts::fileNotCreated(path)); }

}  // namespace

OutputFile::OutputFile(const std::string& path, OwnWriter)
    : path_(path), draftPath_(path + "." + review::uniqueFileTag() + ".part") {
    std::error_code ignored;
    const auto status = std::filesystem::status(text::pathOf(path), ignored);
    if (!std::filesystem::exists(status)) return;
    // A device or a pipe is written into as it stands: it holds nothing to keep, and replacing
    // it would put a file in its place.
    if (!std::filesystem::is_regular_file(status)) {
        draftPath_ = path;
        return;
    }
    // Replacing is no way around a file that may not be changed.
    ensureWritable(path);
}

OutputFile::OutputFile(const std::string& path) : OutputFile(path, OwnWriter{}) {
    buffer_.resize(256 * 1024);
    // The buffer must be in place before the file is opened to take effect.
    stream_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    stream_.open(text::pathOf(draftPath_), std::ios::binary | std::ios::trunc);
    if (!stream_) throw notCreated(path);
}

OutputFile::~OutputFile() {
    // Closed first: Windows removes no file that is still open.
    stream_.close();
    std::error_code ignored;
    if (!draftSettled_ && !writtenInPlace()) std::filesystem::remove(text::pathOf(draftPath_), ignored);
}

void OutputFile::ensureWritable(const std::string& path) {
    // Opened for appending: nothing of an existing file is lost.
    if (!std::ofstream(text::pathOf(path), std::ios::binary | std::ios::app)) throw notCreated(path);
}

void OutputFile::closeDraft() {
    if (!stream_.is_open()) return;
    stream_.close();
    if (stream_.fail()) throw std::runtime_error(texts::fileNotWritten(path_));
}

void OutputFile::close() {
    closeDraft();
    if (!writtenInPlace()) {
        std::error_code error;
        std::filesystem::rename(text::pathOf(draftPath_), text::pathOf(path_), error);
        if (error) throw std::runtime_error(texts::fileNotRenamed(draftPath_, path_, error.message()));
    }
    draftSettled_ = true;
}

void OutputFile::keepDraft() {
    closeDraft();
    draftSettled_ = true;
    if (writtenInPlace()) return;
    const std::string kept = path_ + ".part";
    std::error_code error;
    std::filesystem::rename(text::pathOf(draftPath_), text::pathOf(kept), error);
    if (error) throw std::runtime_error(texts::fileNotRenamed(draftPath_, kept, error.message()));
    draftPath_ = kept;
}

}  // namespace cli

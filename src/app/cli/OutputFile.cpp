#include "app/cli/OutputFile.h"

#include <filesystem>
#include <stdexcept>

#include "app/cli/Texts.h"
#include "text/Utf8Path.h"

namespace cli {

namespace {

std::runtime_error notCreated(const std::string& path) { return std::runtime_error(texts::fileNotCreated(path)); }

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), buffer_(256 * 1024) {
    // The buffer must be in place before the file is opened to take effect.
    stream_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    stream_.open(text::pathOf(path), std::ios::binary | std::ios::trunc);
    if (!stream_) throw notCreated(path);
}

void OutputFile::ensureWritable(const std::string& path) {
    // Opened for appending: nothing of an existing file is lost.
    if (!std::ofstream(text::pathOf(path), std::ios::binary | std::ios::app)) throw notCreated(path);
}

void OutputFile::close() {
    stream_.close();
    if (stream_.fail()) throw std::runtime_error(texts::fileNotWritten(path_));
}

}  // namespace cli

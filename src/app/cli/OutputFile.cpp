#include "app/cli/OutputFile.h"

#include <filesystem>
#include <stdexcept>

namespace cli {

OutputFile::OutputFile(const std::string& path) : path_(path), buffer_(256 * 1024) {
    // The buffer must be in place before the file is opened to take effect.
    stream_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    stream_.open(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary | std::ios::trunc);
    if (!stream_) throw std::runtime_error("Die Datei " + path + " lässt sich nicht anlegen.");
}

void OutputFile::close() {
    stream_.close();
    if (stream_.fail()) throw std::runtime_error("Die Datei " + path_ + " ließ sich nicht vollständig schreiben.");
}

}  // namespace cli

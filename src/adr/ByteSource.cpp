#include "adr/ByteSource.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace adr {

namespace {

std::filesystem::path nativePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class FileSource : public ByteSource {
public:
    FileSource(std::ifstream stream, std::string path) : stream_(std::move(stream)), path_(std::move(path)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const auto got = stream_.rdbuf()->sgetn(buffer, static_cast<std::streamsize>(size));
        if (got < 0) throw std::runtime_error("Die Datei " + path_ + " lässt sich nicht weiterlesen.");
        return static_cast<std::size_t>(got);
    }

private:
    std::ifstream stream_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ByteSource> openFile(const std::string& path) {
    const auto native = nativePath(path);
    std::error_code error;
    const auto status = std::filesystem::status(native, error);
    if (!std::filesystem::exists(status)) throw std::runtime_error("Datei nicht gefunden: " + path);
    if (std::filesystem::is_directory(status)) throw std::runtime_error("Keine Datei, sondern ein Verzeichnis: " + path);
    std::ifstream stream(native, std::ios::binary);
    if (!stream) throw std::runtime_error("Die Datei " + path + " lässt sich nicht öffnen (Zugriff verweigert?).");
    return std::make_unique<FileSource>(std::move(stream), path);
}

}  // namespace adr

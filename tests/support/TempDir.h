#pragma once
// A fresh directory below the system's temporary folder, removed with everything in it.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("anschriftenwandler-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes bytes as they stand into a file of this directory; answers its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out << bytes;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support

#pragma once
// Address files for the readers' tests: bytes held in memory and handed out in chunks of a
// chosen size (so that lines straddle block boundaries), and ADR directories on disk.

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>

#include "adr/AddressFiles.h"
#include "adr/ByteSource.h"
#include "support/TempDir.h"

namespace adr_test {

class MemorySource : public adr::ByteSource {
public:
    explicit MemorySource(std::string bytes, std::size_t chunk = 64 * 1024) : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

// The lines of an address file, each ended by CR LF.
inline std::string adrLines(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    return bytes;
}

// Writes the 99 address files of a batch run into dir: the given ones, the others empty.
inline void writeAdrDirectory(const testing_support::TempDir& dir, const std::map<int, std::string>& files) {
    for (int number = 1; number <= 99; ++number) {
        const auto found = files.find(number);
        dir.write(adr::addressFileName(number), found == files.end() ? std::string() : found->second);
    }
}

}  // namespace adr_test

#pragma once
// The bytes of one address file, read in blocks.

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace adr {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills buffer with up to size bytes; 0 at the end. Throws when reading fails.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// Thrown by openFile when there is no file at the path.
class FileMissing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens a file for reading; throws with a message that names the file when it cannot.
using FileOpener = std::function<std::unique_ptr<ByteSource>(const std::string& path)>;

// Only a regular file is read: a pipe or a device is refused at once, without waiting on it.
std::unique_ptr<ByteSource> openFile(const std::string& path);

}  // namespace adr

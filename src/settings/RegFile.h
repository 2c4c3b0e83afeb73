#pragma once
// The settings file: regedit's export format ("Windows Registry Editor Version 5.00"), read
// as UTF-8 or as UTF-16LE or UTF-8 with byte-order mark, written as UTF-8.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "settings/RegTree.h"

namespace settings {

// A settings file that cannot be read or parsed; the message names the file and, for a
// parse error, the line.
class RegistryFileError : public std::runtime_error {
public:
    RegistryFileError(const std::string& message, std::size_t line) : std::runtime_error(message), line_(line) {}
    // 1-based; 0 when the error belongs to no line.
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// Reads the file's bytes in one pass; fileName is used in messages only. Throws
// RegistryFileError.
RegTree parseRegFile(std::string bytes, const std::string& fileName);

// Lines end with CR LF as in regedit's exports. Strings that a quoted text cannot hold
// exactly are written as hex(1) data, so that every value reads back byte for byte.
std::string formatRegFile(const RegTree& tree);

}  // namespace settings

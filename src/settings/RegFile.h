#pragma once
// The settings file in regedit's export formats. A file is written back in the form it was read
// in, so that regedit imports it with every character: "Windows Registry Editor Version 5.00"
// as regedit writes it, UTF-16LE with byte-order mark (also when it was read as UTF-8, as an
// earlier version of this program wrote it and as regedit misreads it), or "REGEDIT4" in
// Windows-1252.

#include <cstddef>
#include <optional>
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

enum class RegFileForm {
    Unicode,  // "Windows Registry Editor Version 5.00", UTF-16LE with byte-order mark
    Ansi,     // "REGEDIT4", Windows-1252; string data in hex form is held in 1252 too
};

struct RegFileContent {
    RegTree tree;
    RegFileForm form = RegFileForm::Unicode;
};

// Reads the file's bytes in one pass: UTF-16LE with byte-order mark, UTF-8 with or without
// one, or Windows-1252 under the header "REGEDIT4". An empty file is an empty tree in the
// Unicode form. fileName is used in messages only. Throws RegistryFileError.
RegFileContent parseRegFile(std::string bytes, const std::string& fileName);

// The file's bytes in form, lines ending with CR LF and comment lines where they stood.
// Strings that a quoted text cannot hold exactly are written as hex data, so that every value
// reads back byte for byte. None when the form is Ansi and a name or text holds a character
// that Windows-1252 has no byte for.
std::optional<std::string> formatRegFile(const RegTree& tree, RegFileForm form);

}  // namespace settings

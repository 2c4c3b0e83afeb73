#pragma once
// Frames the lines of an address file: every byte is translated through Zeichentabelle, a
// carriage return ends the line and the one byte after it is dropped, the end of the file
// ends the last line. Only what the reader needs of a line is kept, so a line of any length
// takes bounded memory: its first 200 characters, whether its last character is "*", and
// its leading number (read from the kept text when that is the whole line).

#include <array>
#include <cstdint>
#include <string>

#include "adr/ByteSource.h"
#include "text/LeadingNumber.h"

namespace adr {

inline constexpr std::size_t kLineTextLimit = 200;

struct Line {
    std::string text;              // the first 200 characters
    std::uint64_t characters = 0;  // of the whole line
    bool isHeader = false;
    // The leading number of the whole line; throws text::NumberOverflow when it does not fit.
    double number() const;
    text::LeadingNumber numberOfLongLine;  // fed by the reader only for a line longer than its text
    std::uint64_t nulBytes = 0;            // bytes 0, which stand for no character
    std::uint64_t firstNulColumn = 0;      // 1-based byte column of the first one
};

class LineReader {
public:
    explicit LineReader(ByteSource& source) : source_(source) {}
    // Reads the next line; false at the end of the file.
    bool next(Line& line);
    // True when no byte of the file is left.
    bool atEnd() { return position_ == size_ && !fill(); }
    std::uint64_t lineNumber() const { return lineNumber_; }

private:
    bool fill();

    ByteSource& source_;
    std::array<char, 64 * 1024> buffer_;  // only the filled part is read: no clearing per file
    std::size_t position_ = 0;
    std::size_t size_ = 0;
    bool ended_ = false;
    std::uint64_t lineNumber_ = 0;
};

}  // namespace adr

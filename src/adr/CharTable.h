#pragma once
// Zeichentabelle: what each byte of an ADR address file stands for. Every byte from 1 to 255
// gives one character (as UTF-8); byte 0 gives none. Byte 13 never reaches the table: it ends
// a line. Every character is one of Windows-1252, so converted texts fit a varchar column.

#include <array>
#include <string_view>

namespace adr {

class CharTable {
public:
    static constexpr std::size_t kMaxBytes = 3;  // the longest character, U+2022, in UTF-8
    CharTable();
    // The character for byte b as UTF-8; empty for byte 0.
    std::string_view character(unsigned char b) const { return {entries_[b].bytes, entries_[b].length}; }
    // The same as kCopyBytes bytes, of which the first length(b) count: one character is
    // copied as one word, whatever its length.
    static constexpr std::size_t kCopyBytes = 4;
    const char* bytes(unsigned char b) const { return entries_[b].bytes; }
    std::size_t length(unsigned char b) const { return entries_[b].length; }

private:
    struct Entry {
        char bytes[kCopyBytes] = {};
        std::size_t length = 0;
    };
    std::array<Entry, 256> entries_;
};

const CharTable& zeichentabelle();

}  // namespace adr

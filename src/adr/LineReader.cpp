#include "adr/LineReader.h"

#include <cstring>

#include "adr/CharTable.h"

namespace adr {

bool LineReader::fill() {
    if (ended_) return false;
    position_ = 0;
    size_ = source_.read(buffer_.data(), buffer_.size());
    ended_ = size_ == 0;
    return !ended_;
}

bool LineReader::next(Line& line) {
    if (position_ == size_ && !fill()) return false;
    line.text.clear();
    line.isHeader = false;
    line.number = {};
    line.nulBytes = 0;
    line.firstNulColumn = 0;
    ++lineNumber_;

    // The text is collected in a local buffer and the line's fields are kept in locals while
    // the bytes are read: written through the line, every byte would reload them.
    const CharTable& table = zeichentabelle();
    char text[kLineTextLimit * CharTable::kMaxBytes];
    std::size_t textBytes = 0;
    std::uint64_t characters = 0;  // all of the line's, also those beyond the first 200
    std::uint64_t column = 0;
    bool numberFinished = false;
    bool isHeader = false;
    const auto finish = [&] {
        line.text.assign(text, textBytes);
        line.isHeader = isHeader;
        line.characters = characters;
        return true;
    };
    for (;;) {
        if (position_ == size_ && !fill()) return finish();
        // The bytes up to the carriage return, or to the end of what the buffer holds, in one go.
        const char* const start = buffer_.data() + position_;
        const auto* const cr = static_cast<const char*>(std::memchr(start, 13, size_ - position_));
        const std::size_t count = cr ? static_cast<std::size_t>(cr - start) : size_ - position_;
        for (std::size_t i = 0; i < count; ++i) {
            const auto byte = static_cast<unsigned char>(start[i]);
            ++column;
            if (byte == 0) {
                if (line.nulBytes++ == 0) line.firstNulColumn = column;
                continue;
            }
            if (characters++ < kLineTextLimit) {
                // Every entry has room for the longest character: copied whole, counted by its length.
                std::memcpy(text + textBytes, table.bytes(byte), CharTable::kMaxBytes);
                textBytes += table.length(byte);
            }
            if (!numberFinished) {
                line.number.feed(table.character(byte));
                numberFinished = line.number.finished();
            }
            isHeader = byte == '*';
        }
        position_ += count;
        if (cr) {
            // The byte after a carriage return (the line feed of CR LF) is dropped unseen.
            ++position_;
            if (position_ == size_) fill();
            if (position_ < size_) ++position_;
            return finish();
        }
    }
}

}  // namespace adr

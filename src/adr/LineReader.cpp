#include "adr/LineReader.h"

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

    const CharTable& table = zeichentabelle();
    std::uint64_t& characters = line.characters;
    characters = 0;
    std::uint64_t column = 0;
    for (;;) {
        if (position_ == size_ && !fill()) return true;
        const auto byte = static_cast<unsigned char>(buffer_[position_++]);
        ++column;
        if (byte == 13) {
            // The byte after a carriage return (the line feed of CR LF) is dropped unseen.
            if (position_ == size_) fill();
            if (position_ < size_) ++position_;
            return true;
        }
        if (byte == 0) {
            if (line.nulBytes++ == 0) line.firstNulColumn = column;
            continue;
        }
        const std::string_view character = table.character(byte);
        if (characters++ < kLineTextLimit) line.text.append(character);
        if (!line.number.finished()) line.number.feed(character);
        line.isHeader = byte == '*';
    }
}

}  // namespace adr

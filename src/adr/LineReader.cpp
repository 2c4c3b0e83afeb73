#include "adr/LineReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "adr/CharTable.h"

namespace adr {

namespace {

constexpr unsigned char kCarriageReturn = 13;

#if defined(__SSE2__)

// How many of the sixteen bytes from p, from the first on, stand for themselves: printable ASCII
// but for the two quotes, which the table swaps. They are copied together, not one by one.
constexpr std::size_t kBlock = 16;

std::size_t plainBytes(const unsigned char* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Compared as signed bytes, those from 0x80 on are below the blank too.
    const __m128i special = _mm_or_si128(
        _mm_cmplt_epi8(bytes, _mm_set1_epi8(' ')),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\''))));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
    return mask == 0 ? kBlock : static_cast<std::size_t>(std::countr_zero(mask));
}

#else

// The same eight bytes at a time, in a word.
constexpr std::size_t kBlock = sizeof(std::uint64_t);
static_assert(std::endian::native == std::endian::little, "the first byte of a word is its lowest");

std::size_t plainBytes(const unsigned char* p) {
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, p, kBlock);
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    // The high bit of each byte below n (at most 128); no carry crosses from one byte to the next.
    const auto below = [&](std::uint64_t v, std::uint64_t n) {
        return ~(((v & kLowBits) + kOnes * (0x80 - n)) | v) & kHighBits;
    };
    const auto equal = [&](std::uint64_t c) { return below(bytes ^ (kOnes * c), 1); };
    const std::uint64_t special = (bytes & kHighBits) | below(bytes, ' ') | equal('"') | equal('\'');
    return special == 0 ? kBlock : static_cast<std::size_t>(std::countr_zero(special)) / 8;
}

#endif

void countNulByte(Line& line, std::uint64_t column) {
    if (line.nulBytes++ == 0) line.firstNulColumn = column;
}

}  // namespace

double Line::number() const {
    if (characters <= kLineTextLimit) return text::leadingNumber(text);
    return numberOfLongLine.value();
}

bool LineReader::fill() {
    if (ended_) return false;
    position_ = 0;
    size_ = source_.read(buffer_.data(), buffer_.size());
    ended_ = size_ == 0;
    return !ended_;
}

bool LineReader::next(Line& line) {
    if (position_ == size_ && !fill()) return false;
    line.nulBytes = 0;
    line.firstNulColumn = 0;
    ++lineNumber_;

    // The line's state is kept in locals while the bytes are read: written through the line,
    // or through anything a character copy might alias, every byte would reload it.
    const CharTable& table = zeichentabelle();
    char text[kLineTextLimit * CharTable::kMaxBytes + kBlock];  // room for a block copied at the last character
    char* textEnd = text;
    std::uint64_t characters = 0;   // all of the line's, also those beyond the first 200
    std::uint64_t bytesBefore = 0;  // of the line, in the blocks before the current one
    unsigned char last = 0;         // the last byte that gave a character
    bool longLine = false;          // its kept text went to the number already
    bool carriageReturn = false;
    while (!carriageReturn && (position_ < size_ || fill())) {
        const auto* const start = reinterpret_cast<const unsigned char*>(buffer_.data()) + position_;
        const auto* const end = start + (size_ - position_);
        const auto* p = start;
        // The first 200 characters: plain bytes a block at a time, any other byte translated, copied
        // as one block and counted by its length.
        while (p < end && characters < kLineTextLimit) {
            if (end - p >= static_cast<std::ptrdiff_t>(kBlock)) {
                const std::size_t plain = std::min<std::size_t>(plainBytes(p), kLineTextLimit - characters);
                std::memcpy(textEnd, p, kBlock);
                textEnd += plain;
                characters += plain;
                p += plain;
                if (plain > 0) last = p[-1];
                if (plain == kBlock || characters == kLineTextLimit) continue;
            }
            const unsigned char byte = *p;
            if (byte <= kCarriageReturn && (byte == 0 || byte == kCarriageReturn)) {
                if (byte == kCarriageReturn) break;
                countNulByte(line, bytesBefore + static_cast<std::uint64_t>(p - start) + 1);
                ++p;
                continue;
            }
            std::memcpy(textEnd, table.bytes(byte), CharTable::kCopyBytes);
            textEnd += table.length(byte);
            ++characters;
            last = byte;
            ++p;
        }
        // Beyond them the bytes are only counted up to the carriage return, and the number is
        // fed while it goes on.
        if (p < end && *p != kCarriageReturn) {
            if (!longLine) {
                line.numberOfLongLine = {};
                line.numberOfLongLine.feedText({text, static_cast<std::size_t>(textEnd - text)});
                longLine = true;
            }
            const auto* const cr = static_cast<const unsigned char*>(std::memchr(p, kCarriageReturn, end - p));
            for (const auto* const stop = cr ? cr : end; p < stop; ++p) {
                if (*p == 0) {
                    countNulByte(line, bytesBefore + static_cast<std::uint64_t>(p - start) + 1);
                    continue;
                }
                ++characters;
                last = *p;
                line.numberOfLongLine.feed(table.character(*p));
            }
        }
        carriageReturn = p < end;
        bytesBefore += static_cast<std::uint64_t>(p - start);
        position_ += static_cast<std::size_t>(p - start);
    }
    if (carriageReturn) {
        // The byte after a carriage return (the line feed of CR LF) is dropped unseen.
        ++position_;
        if (position_ == size_) fill();
        if (position_ < size_) ++position_;
    }
    line.text.assign(text, static_cast<std::size_t>(textEnd - text));
    line.characters = characters;
    line.isHeader = last == '*';
    return true;
}

}  // namespace adr

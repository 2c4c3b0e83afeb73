#include "review/RecordSpill.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <ostream>

namespace review {

namespace {

// An entry: a kind letter, the length of the rest in eight bytes, then fields, each its length
// in eight bytes and its bytes. A block holds whole entries only.
constexpr char kSaved = 'S';        // a record handed to the staging table
constexpr char kDiscarded = 'D';    // a record dropped
constexpr char kFile = 'F';         // an unreadable file
constexpr char kMissingFile = 'M';  // a file that is not there
constexpr char kLines = 'L';        // a record's original lines
constexpr std::size_t kLengthBytes = sizeof(std::uint64_t);
constexpr std::size_t kHead = 1 + kLengthBytes;

char* lengthTo(char* at, std::uint64_t length) {
    std::memcpy(at, &length, kLengthBytes);
    return at + kLengthBytes;
}

std::uint64_t lengthAt(std::string_view bytes) {
    std::uint64_t length = 0;
    std::memcpy(&length, bytes.data(), kLengthBytes);
    return length;
}

// Takes the next field off the front of an entry read back; false when the entry holds no more.
bool take(std::string_view& rest, std::string_view& field) {
    if (rest.size() < kLengthBytes) return false;
    const std::uint64_t length = lengthAt(rest);
    rest.remove_prefix(kLengthBytes);
    if (length > rest.size()) return false;
    field = rest.substr(0, length);
    rest.remove_prefix(length);
    return true;
}

// A number as the bytes it is put as.
template <class Number>
std::array<char, sizeof(Number)> bytesOf(Number number) {
    std::array<char, sizeof(Number)> bytes;
    std::memcpy(bytes.data(), &number, sizeof number);
    return bytes;
}

template <std::size_t size>
std::string_view viewOf(const std::array<char, size>& bytes) {
    return {bytes.data(), size};
}

// A number put as its bytes; false when the field is not of its size.
template <class Number>
bool numberIn(std::string_view field, Number& number) {
    if (field.size() != sizeof number) return false;
    std::memcpy(&number, field.data(), sizeof number);
    return true;
}

}  // namespace

void RecordSpill::putRecord(bool saved, std::string_view file, std::uint64_t line, const std::optional<double>& number,
                            std::string_view notes) {
    const auto lineBytes = bytesOf(line);
    const auto numberBytes = bytesOf(number.value_or(0));
    putEntry(records_, saved ? kSaved : kDiscarded,
             {file, viewOf(lineBytes), number ? viewOf(numberBytes) : std::string_view(), notes});
}

void RecordSpill::putFile(std::string_view file, std::string_view reason, bool missing) {
    putEntry(records_, missing ? kMissingFile : kFile, {file, reason});
}

void RecordSpill::putEntry(Blocks& blocks, char kind, std::initializer_list<std::string_view> fields) {
    std::size_t size = kHead;
    for (const std::string_view field : fields) size += kLengthBytes + field.size();
    const std::size_t start = blocks.block.size();
    blocks.block.resize(start + size);
    char* at = blocks.block.data() + start;
    *at++ = kind;
    at = lengthTo(at, size - kHead);
    for (const std::string_view field : fields) {
        at = lengthTo(at, field.size());
        if (!field.empty()) std::memcpy(at, field.data(), field.size());
        at += field.size();
    }
    if (blocks.block.size() >= kBlockBytes) writeBlock(blocks);
}

ByteBlock& RecordSpill::beginLines(std::uint64_t line) {
    ByteBlock& block = lines_.block;
    lines_.entry = block.size();
    // The head, the line and the length of the lines; both lengths are filled in by endLines.
    block.resize(lines_.entry + kHead + 2 * kLengthBytes + sizeof line);
    char* at = block.data() + lines_.entry;
    *at++ = kLines;
    at = lengthTo(lengthTo(at, 0), sizeof line);
    std::memcpy(at, &line, sizeof line);
    lines_.field = lines_.entry + kHead + kLengthBytes + sizeof line;
    return block;
}

void RecordSpill::endLines() {
    ByteBlock& block = lines_.block;
    lengthTo(block.data() + lines_.field, block.size() - lines_.field - kLengthBytes);
    lengthTo(block.data() + lines_.entry + 1, block.size() - lines_.entry - kHead);
    if (block.size() >= kBlockBytes) writeBlock(lines_);
}

void RecordSpill::writeBlock(Blocks& blocks) {
    if (blocks.block.empty()) return;
    file_.write(blocks.block.data(), static_cast<std::streamsize>(blocks.block.size()));
    blocks.written.emplace_back(end_, blocks.block.size());
    end_ += blocks.block.size();
    blocks.block.clear();
}

void RecordSpill::rewind() {
    if (!reading_) {
        writeBlock(records_);
        writeBlock(lines_);
    }
    reading_ = true;
    file_.flush();
    writeFailed_ = writeFailed_ || file_.bad();
    file_.clear();
    for (Blocks* blocks : {&records_, &lines_}) {
        blocks->block.clear();
        blocks->read = 0;
        blocks->nextBlock = 0;
        blocks->cut = false;
    }
}

bool RecordSpill::readBlock(Blocks& blocks) {
    if (blocks.cut || blocks.nextBlock == blocks.written.size()) return false;
    const auto [at, size] = blocks.written[blocks.nextBlock++];
    blocks.read = 0;
    file_.clear();
    // A file that ends before the block (a write that failed) may not even be positioned there.
    if (!file_.seekg(static_cast<std::streamoff>(at))) {
        blocks.block.clear();
        blocks.cut = true;
        return false;
    }
    blocks.block.resize(size);
    const auto got =
        std::max<std::streamsize>(file_.rdbuf()->sgetn(blocks.block.data(), static_cast<std::streamsize>(size)), 0);
    blocks.block.resize(static_cast<std::size_t>(got));
    blocks.cut = blocks.block.size() != size;
    return got > 0;
}

RecordSpill::Read RecordSpill::next(Blocks& blocks, Entry& entry) {
    if (blocks.read == blocks.block.size() && !readBlock(blocks)) return blocks.cut ? Read::cutShort : Read::end;
    const std::string_view block = blocks.block.view();
    if (block.size() - blocks.read < kHead) return Read::cutShort;
    const char kind = block[blocks.read];
    const std::uint64_t length = lengthAt(block.substr(blocks.read + 1));
    if (length > block.size() - blocks.read - kHead) return Read::cutShort;
    std::string_view rest = block.substr(blocks.read + kHead, length);
    blocks.read += kHead + length;
    entry = Entry{};
    std::string_view line;
    if (kind == kFile || kind == kMissingFile) {
        entry.kind = kind == kFile ? Entry::Kind::file : Entry::Kind::missingFile;
        return take(rest, entry.file) && take(rest, entry.reason) ? Read::entry : Read::cutShort;
    }
    if (kind == kLines) {
        entry.kind = Entry::Kind::lines;
        return take(rest, line) && numberIn(line, entry.line) && take(rest, entry.original) ? Read::entry
                                                                                            : Read::cutShort;
    }
    entry.kind = kind == kSaved ? Entry::Kind::saved : Entry::Kind::discarded;
    std::string_view number;
    if (!take(rest, entry.file) || !take(rest, line) || !numberIn(line, entry.line) || !take(rest, number) ||
        !take(rest, entry.notes)) {
        return Read::cutShort;
    }
    if (double value = 0; numberIn(number, value)) {
        entry.number = value;
    } else if (!number.empty()) {
        return Read::cutShort;
    }
    return Read::entry;
}

}  // namespace review

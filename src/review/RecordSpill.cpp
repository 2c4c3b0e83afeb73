#include "review/RecordSpill.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

#include "db/Value.h"

namespace review {

namespace {

// An entry: a kind letter, the length of the rest in eight bytes, then fields, each its length
// in eight bytes and its bytes.
constexpr char kSaved = 'S';        // a record handed to the staging table
constexpr char kDiscarded = 'D';    // a record dropped
constexpr char kFile = 'F';         // an unreadable file
constexpr char kMissingFile = 'M';  // a file that is not there
constexpr std::size_t kLengthBytes = sizeof(std::uint64_t);

void putLength(std::string& entry, std::uint64_t length) {
    char bytes[kLengthBytes];
    std::memcpy(bytes, &length, kLengthBytes);
    entry.append(bytes, kLengthBytes);
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

}  // namespace

void RecordSpill::putRecord(bool saved, std::string_view file, std::uint64_t line, const std::optional<double>& number,
                            std::string_view notes, std::string_view original) {
    startEntry(saved ? kSaved : kDiscarded);
    put(file);
    put(std::to_string(line));
    put(number ? db::Value(*number).toText() : std::string());
    put(notes);
    put(original);
    finishEntry();
}

void RecordSpill::putFile(std::string_view file, std::string_view reason, bool missing) {
    startEntry(missing ? kMissingFile : kFile);
    put(file);
    put(reason);
    finishEntry();
}

// Starts an entry with its kind and room for its length, which finishEntry fills in.
void RecordSpill::startEntry(char kind) {
    entry_ = block_.size();
    block_ += kind;
    putLength(block_, 0);
}

void RecordSpill::put(std::string_view field) {
    putLength(block_, field.size());
    block_.append(field);
}

void RecordSpill::finishEntry() {
    const std::uint64_t rest = block_.size() - entry_ - 1 - kLengthBytes;
    std::memcpy(block_.data() + entry_ + 1, &rest, kLengthBytes);
    if (block_.size() >= kBlockBytes) writeBlock();
}

void RecordSpill::writeBlock() {
    file_.write(block_.data(), static_cast<std::streamsize>(block_.size()));
    block_.clear();
}

void RecordSpill::rewind() {
    if (!reading_) writeBlock();
    reading_ = true;
    file_.flush();
    writeFailed_ = writeFailed_ || file_.bad();
    file_.clear();
    file_.seekg(0);
    block_.clear();
    read_ = 0;
}

bool RecordSpill::holds(std::size_t bytes) {
    while (block_.size() - read_ < bytes) {
        // What is left of the block moves to its front, and as much again as a block is read behind it.
        block_.erase(0, read_);
        read_ = 0;
        const std::size_t had = block_.size();
        block_.resize(had + std::max(kBlockBytes, bytes - had));
        const auto got = file_.rdbuf()->sgetn(block_.data() + had, static_cast<std::streamsize>(block_.size() - had));
        block_.resize(had + static_cast<std::size_t>(std::max<std::streamsize>(got, 0)));
        if (got <= 0) return false;
    }
    return true;
}

RecordSpill::Read RecordSpill::next(Entry& entry) {
    constexpr std::size_t kHead = 1 + kLengthBytes;
    if (!holds(kHead)) return block_.size() == read_ ? Read::end : Read::cutShort;
    const char kind = block_[read_];
    const std::uint64_t length = lengthAt(std::string_view(block_).substr(read_ + 1));
    if (length > block_.max_size() - kHead || !holds(kHead + length)) return Read::cutShort;
    std::string_view rest = std::string_view(block_).substr(read_ + kHead, length);
    read_ += kHead + length;
    entry = Entry{};
    if (kind == kFile || kind == kMissingFile) {
        entry.kind = kind == kFile ? Entry::Kind::file : Entry::Kind::missingFile;
        return take(rest, entry.file) && take(rest, entry.reason) ? Read::entry : Read::cutShort;
    }
    entry.kind = kind == kSaved ? Entry::Kind::saved : Entry::Kind::discarded;
    return take(rest, entry.file) && take(rest, entry.line) && take(rest, entry.number) && take(rest, entry.notes) &&
                   take(rest, entry.original)
               ? Read::entry
               : Read::cutShort;
}

}  // namespace review

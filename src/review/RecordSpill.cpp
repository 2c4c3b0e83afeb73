#include "review/RecordSpill.h"

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

// Reads the next entry; false at the end of the file or when it ends inside an entry (then
// `complete` is false as well).
bool readEntry(std::istream& file, char& kind, std::string& entry, bool& complete) {
    char head[1 + kLengthBytes];
    const auto got = file.rdbuf()->sgetn(head, sizeof head);
    complete = got == 0 || got == static_cast<std::streamsize>(sizeof head);
    if (got != static_cast<std::streamsize>(sizeof head)) return false;
    kind = head[0];
    entry.resize(lengthAt(std::string_view(head + 1, kLengthBytes)));
    const auto size = static_cast<std::streamsize>(entry.size());
    complete = file.rdbuf()->sgetn(entry.data(), size) == size;
    return complete;
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
    entry_.assign(1, kind);
    putLength(entry_, 0);
}

void RecordSpill::put(std::string_view field) {
    putLength(entry_, field.size());
    entry_.append(field);
}

void RecordSpill::finishEntry() {
    const std::uint64_t rest = entry_.size() - 1 - kLengthBytes;
    std::memcpy(entry_.data() + 1, &rest, kLengthBytes);
    file_.write(entry_.data(), static_cast<std::streamsize>(entry_.size()));
}

void RecordSpill::rewind() {
    file_.flush();
    writeFailed_ = writeFailed_ || file_.bad();
    file_.clear();
    file_.seekg(0);
}

RecordSpill::Read RecordSpill::next(Entry& entry) {
    char kind = 0;
    bool complete = true;
    if (!readEntry(file_, kind, entry_, complete)) return complete ? Read::end : Read::cutShort;
    std::string_view rest = entry_;
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

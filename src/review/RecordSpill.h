#pragma once
// The work file of a run's finished records: each record, and each address file that could not
// be read, as an entry in reading order, until the report is written from them once their
// staging ids are known; and apart from them, in an order of their own, the records' original
// lines, which are told as they are read, ahead of the rest of their record. An entry carries any
// byte and is read back in one piece. Entries are put together in blocks of many, each kind in
// its own, and the blocks written one after the other, so that a record's bytes are copied once
// on each way.

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "review/ByteBlock.h"

namespace review {

class RecordSpill {
public:
    explicit RecordSpill(std::iostream& file) : file_(file) {}

    // A record: handed to the staging table (saved) or dropped, with its notes.
    void putRecord(bool saved, std::string_view file, std::uint64_t line, const std::optional<double>& number,
                   std::string_view notes);
    // An address file that could not be read; missing: there is none.
    void putFile(std::string_view file, std::string_view reason, bool missing);
    // A record's original lines, put together in place as they are told: begun with the line the
    // record begins at, appended to the string answered, then ended.
    ByteBlock& beginLines(std::uint64_t line);
    void endLines();

    // Read back from the first entry on. A write that failed during the run leaves the file
    // short of what the run told it; what it holds is still read back, and writeFailed says so.
    void rewind();
    bool writeFailed() const { return writeFailed_; }

    struct Entry {
        enum class Kind { saved, discarded, file, missingFile, lines } kind = Kind::file;
        std::string_view file;
        std::string_view reason;  // a file's: why it could not be read
        // A record's: its line, its address number and its notes; of lines, the record's line and
        // the lines.
        std::uint64_t line = 0;
        std::optional<double> number;
        std::string_view notes;
        std::string_view original;
    };
    enum class Read { entry, end, cutShort };
    // The next record or file, viewed until the next call; cutShort when the file ends inside one.
    Read next(Entry& entry) { return next(records_, entry); }
    // The next record's original lines, viewed until the next call.
    Read nextLines(Entry& entry) { return next(lines_, entry); }

private:
    // The entries of one kind: the block put together and not yet written, or read and not yet
    // taken, and where in the file its blocks stand.
    struct Blocks {
        ByteBlock block;
        // Where the entry put together begins, and the length of its field put together in place.
        std::size_t entry = 0;
        std::size_t field = 0;
        std::size_t read = 0;  // where the next entry to read begins
        // Where each block written stands in the file, and its length; the next one to read.
        std::vector<std::pair<std::uint64_t, std::uint64_t>> written;
        std::size_t nextBlock = 0;
        bool cut = false;  // the file ends inside a block: what it holds of it is read, no more
    };

    // Appends a whole entry: its kind, its length, and each field with its length.
    void putEntry(Blocks& blocks, char kind, std::initializer_list<std::string_view> fields);
    void writeBlock(Blocks& blocks);
    Read next(Blocks& blocks, Entry& entry);
    // Reads the next block written, or what the file holds of it; false when there is none left.
    bool readBlock(Blocks& blocks);

    static constexpr std::size_t kBlockBytes = 32 * 1024;

    std::iostream& file_;
    Blocks records_;
    Blocks lines_;
    std::uint64_t end_ = 0;  // of what was written
    bool reading_ = false;   // the entries are read back: all are written
    bool writeFailed_ = false;
};

}  // namespace review

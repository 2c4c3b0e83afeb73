#pragma once
// The work file of a run's finished records: each record, and each address file that could not
// be read, as an entry in reading order, until the report is written from them once their
// staging ids are known. An entry carries any byte and is read back in one piece. Entries are
// put together, written and read in blocks of many, so that a record's bytes are copied once
// on each way.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace review {

class RecordSpill {
public:
    explicit RecordSpill(std::iostream& file) : file_(file) {}

    // A record: handed to the staging table (saved) or dropped, with its notes and original lines.
    void putRecord(bool saved, std::string_view file, std::uint64_t line, const std::optional<double>& number,
                   std::string_view notes, std::string_view original);
    // An address file that could not be read; missing: there is none.
    void putFile(std::string_view file, std::string_view reason, bool missing);

    // Read back from the first entry on. A write that failed during the run leaves the file
    // short of what the run told it; what it holds is still read back, and writeFailed says so.
    void rewind();
    bool writeFailed() const { return writeFailed_; }

    struct Entry {
        enum class Kind { saved, discarded, file, missingFile } kind = Kind::file;
        std::string_view file;
        std::string_view reason;  // a file's: why it could not be read
        // A record's: its line, its address number as the table shows it (empty for none), its
        // notes and its original lines.
        std::string_view line;
        std::string_view number;
        std::string_view notes;
        std::string_view original;
    };
    enum class Read { entry, end, cutShort };
    // The next entry, viewed until the next call; cutShort when the file ends inside one.
    Read next(Entry& entry);

private:
    void startEntry(char kind);
    void put(std::string_view field);
    void finishEntry();
    void writeBlock();
    // Whether the block holds `bytes` from `read_` on, reading on when it does not; false at the
    // end of the file.
    bool holds(std::size_t bytes);

    static constexpr std::size_t kBlockBytes = 32 * 1024;

    std::iostream& file_;
    std::string block_;      // the entries put together and not yet written, or read and not yet taken
    std::size_t entry_ = 0;  // where the entry put together begins
    std::size_t read_ = 0;   // where the next entry to read begins
    bool reading_ = false;   // the entries are read back: all are written
    bool writeFailed_ = false;
};

}  // namespace review

// libFuzzer target: arbitrary bytes as the address files of an ADR directory, read by the
// batch reader and the single-address reader through the field mapper into an embedded
// Datenpool. Besides the sanitizers it checks what a law office relies on: no failure
// escapes the batch reader, no more staging rows than records started, and every stored
// text is valid UTF-8 made of Windows-1252 characters only.
//
// Input layout: byte 0 controls the run, the rest is cut at every byte 0x1E into the files
// "01A", "02A", ...; numbers after the last piece are empty files, as in a directory whose
// addresses fill only the first files.
//   bits 0-1  size of the reads the files answer: everything, 1, 3 or 4096 bytes
//   bit  2    also convert the first header's address number with the single-address reader
//   bit  3    an empty piece is a file that is missing instead of an empty one
//   bits 4-7  n: cancel after 2^(n-1) lines, so that a cancel can fall into any file (0: never)
//
// Runs follow each other quickly: the Datenpool lives in memory and is created once (every
// batch run empties its staging table itself), SQLite allocates from the C library's heap
// (UncheckedSqliteHeap.h), and freed memory stays in quarantine for a shorter while.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "UncheckedSqliteHeap.h"
#include "adr/BatchReader.h"
#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "adr/SingleAddressReader.h"
#include "db/sqlite/SqliteConnection.h"

extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }
// A use after free shows within a run; the default quarantine of 256 MB would hold hundreds of
// runs and keep every allocation cold.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=64"; }

namespace {

constexpr char kFileSeparator = 0x1E;
constexpr std::size_t kReadSizes[] = {SIZE_MAX, 1, 3, 4096};
const std::string kDirectory = "ADR";

class MemorySource : public adr::ByteSource {
public:
    MemorySource(std::string_view bytes, std::size_t readSize) : rest_(bytes), readSize_(readSize) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, readSize_, rest_.size()});
        if (n == 0) return 0;  // an empty file's view may hold no pointer at all
        std::memcpy(buffer, rest_.data(), n);
        rest_.remove_prefix(n);
        return n;
    }

private:
    std::string_view rest_;
    std::size_t readSize_;
};

// The files "01A" to "99A" of one input, each a piece of it or missing.
class InputFiles {
public:
    InputFiles(std::string_view pieces, bool emptyPieceIsMissing) {
        files_.fill(std::string_view());
        first_ = pieces.substr(0, pieces.find(kFileSeparator));
        for (std::size_t number = 1; number < files_.size(); ++number) {
            const std::size_t cut = pieces.find(kFileSeparator);
            const std::string_view piece = pieces.substr(0, cut);
            if (piece.empty() && emptyPieceIsMissing)
                files_[number].reset();
            else
                files_[number] = piece;
            if (cut == std::string_view::npos) break;
            pieces.remove_prefix(cut + 1);
        }
    }

    // The first piece, also when "01A" counts as missing.
    std::string_view first() const { return first_; }

    std::unique_ptr<adr::ByteSource> open(const std::string& path, std::size_t readSize) const {
        const std::size_t number = fileNumber(path);
        if (number == 0 || !files_[number]) throw std::runtime_error("Datei nicht gefunden: " + path);
        return std::make_unique<MemorySource>(*files_[number], readSize);
    }

private:
    // 5 for "ADR/05A"; 0 for a path outside the directory's address files.
    static std::size_t fileNumber(std::string_view path) {
        static const std::string prefix = kDirectory + "/";
        if (path.size() != prefix.size() + 3 || !path.starts_with(prefix) || path.back() != 'A') return 0;
        const char tens = path[prefix.size()];
        const char ones = path[prefix.size() + 1];
        if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return 0;
        return static_cast<std::size_t>((tens - '0') * 10 + (ones - '0'));
    }

    // Index: the file number; numbers after the last piece are empty files.
    std::array<std::optional<std::string_view>, 100> files_;
    std::string_view first_;
};

class FuzzEvents : public adr::ConversionEvents {
public:
    explicit FuzzEvents(unsigned cancelAfterLines) : cancelAfterLines_(cancelAfterLines) {}
    void showMessage(const std::string& text) override {
        if (text.empty()) throw std::logic_error("a message without text");
    }
    void pumpEvents() override { ++lines_; }
    void listCleared() override {}
    void fileStarted(int) override {}
    void recordsCounted(std::int32_t) override {}
    bool cancelRequested() override { return cancelAfterLines_ != 0 && lines_ >= cancelAfterLines_; }

private:
    unsigned cancelAfterLines_;
    unsigned lines_ = 0;
};

bool isWindows1252Extra(char32_t c) {
    static constexpr char32_t kExtras[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                           0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                           0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    for (char32_t extra : kExtras) {
        if (c == extra) return true;
    }
    return false;
}

// Valid UTF-8 whose characters all exist in Windows-1252 (NUL and C1 controls excluded).
bool isWindows1252Text(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
        if (length == 0 || i + length > s.size()) return false;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1Fu : lead & 0x0Fu;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        const bool shortest = length == 1 || (length == 2 && c >= 0x80) || (length == 3 && c >= 0x800);
        const bool inRepertoire = (c >= 1 && c < 0x80) || (c >= 0xA0 && c < 0x100) || isWindows1252Extra(c);
        if (!shortest || !inRepertoire) return false;
        i += length;
    }
    return true;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "Invariant broken: %s\n", what.c_str());
    std::abort();
}

std::int64_t stagingRows(db::Connection& connection) {
    std::int64_t rows = 0;
    for (auto row = connection.execute("AdressenImport"); !row->atEnd(); row->moveNext()) {
        ++rows;
        for (int column = 0; column < row->columnCount(); ++column) {
            const db::Value value = row->value(column);
            if (value.isText() && !isWindows1252Text(value.text())) {
                fail("column " + row->columnName(column) + " holds text outside Windows-1252");
            }
        }
    }
    return rows;
}

// The leading number of the first header line of bytes, when it can be an address number.
std::optional<std::int32_t> firstAddressNumber(std::string_view bytes) {
    MemorySource source(bytes, SIZE_MAX);
    adr::LineReader reader(source);
    adr::Line line;
    while (reader.next(line)) {
        if (!line.isHeader) continue;
        try {
            const double number = line.number();
            if (number >= INT32_MIN && number <= INT32_MAX && number == static_cast<std::int32_t>(number)) {
                return static_cast<std::int32_t>(number);
            }
        } catch (const text::NumberOverflow&) {}
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useUncheckedSqliteHeap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<db::SqliteConnection> datenpool = db::SqliteConnection::create(":memory:");
    if (size == 0) return 0;
    const unsigned control = data[0];
    const std::size_t readSize = kReadSizes[control & 3u];
    const bool singleAddress = (control & 4u) != 0;
    const bool emptyPieceIsMissing = (control & 8u) != 0;
    const unsigned cancelExponent = control >> 4;
    const unsigned cancelAfterLines = cancelExponent == 0 ? 0 : 1u << (cancelExponent - 1);

    const InputFiles files(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), emptyPieceIsMissing);
    const adr::FileOpener opener = [&](const std::string& path) { return files.open(path, readSize); };

    db::Connection& connection = *datenpool;
    FuzzEvents events(cancelAfterLines);
    adr::FieldMapper mapper(events);
    connection.beginTransaction();
    adr::BatchReader reader(connection, mapper, events, opener);
    const std::int32_t started = reader.run(kDirectory);
    connection.commit();
    std::int64_t rows = stagingRows(connection);
    if (rows > started) fail(std::to_string(rows) + " staging rows from " + std::to_string(started) + " records");

    const auto addressNumber = singleAddress ? firstAddressNumber(files.first()) : std::nullopt;
    if (addressNumber) {
        // The address is looked up in the first file, whatever its number names.
        const adr::FileOpener firstFile = [&](const std::string&) -> std::unique_ptr<adr::ByteSource> {
            return std::make_unique<MemorySource>(files.first(), readSize);
        };
        try {
            adr::readSingleAddress(connection, mapper, events, kDirectory, *addressNumber, firstFile);
        } catch (const std::exception&) {
            // The single-address reader passes its failures to the caller; that is its contract.
        }
        const std::int64_t before = rows;
        rows = stagingRows(connection);
        if (rows > before + 1) fail("the single-address reader added more than one row");
    }
    return 0;
}

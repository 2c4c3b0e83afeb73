// The record-by-record account of a run: the work file it waits in, its pairing with the
// staging rows (while listed or from the table), the report written from it, and the counts.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "adr/LineReader.h"
#include "db/Value.h"
#include "db/sqlite/SqliteConnection.h"
#include "review/ListedIds.h"
#include "review/MigrationRecords.h"
#include "review/NumberLog.h"
#include "review/RecordSpill.h"
#include "review/RowPairing.h"
#include "review/TableWriter.h"
#include "review/Texts.h"
#include "support/ReportTable.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using review::TableFormat;
using testing_support::cells;
using testing_support::ReportInMemory;

adr::Line lineOf(const std::string& text, std::uint64_t characters = 0) {
    adr::Line line;
    line.text = text;
    line.characters = characters ? characters : text.size();
    return line;
}

// Tells a line as the reader does: its text at once (a record's first with the record's line),
// then the line itself.
void tell(review::MigrationRecords& records, const adr::Line& line, std::uint64_t recordLine = 0) {
    records.lineText(line.text, recordLine);
    records.lineRead(line);
}

// Notes and original lines reach the report with every byte they hold: separators, quotes,
// line breaks, null bytes, and a record longer than the blocks the work file is written in.
TEST(ReportRows, CarryEveryByteOfNotesAndOriginalLines) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 7);
    tell(records, lineOf("Meier; \"Hans\"\r\nx"), 1);
    records.note(std::string("a\0b", 3));
    tell(records, lineOf("kurz", 100000));
    records.recordEnded(true);
    records.fileUnreadable("02A", "fehlt; \"weg\"", false);
    records.recordStarted("01A", 9, 2.5);
    std::string longOriginal = "z";
    tell(records, lineOf("z"), 9);
    for (int i = 0; i < 199; ++i) {
        tell(records, lineOf(std::string(200, static_cast<char>('a' + i % 26))));
        longOriginal += " ⏎ " + std::string(200, static_cast<char>('a' + i % 26));
    }
    records.recordEnded(true);  // handed on, but its row is not there
    records.recordStarted("01A", 812, std::nullopt);

    ReportInMemory report{TableFormat::csv};
    ASSERT_TRUE(records.settle(connection.get(), "SELECT 5 AS id, 7 AS fremdid", report.opener()));

    const std::string nullByte(1, '\0');
    EXPECT_EQ(report.out.str(), std::string("\xEF\xBB\xBF"
                                            "Datei;Zeile;Adressnummer;Ergebnis;ID;Hinweise;Original\r\n") +
                                    "01A;1;7;gespeichert;5;a" + nullByte +
                                    "b | Zeile 2 nach 200 von 100000 Zeichen abgeschnitten;" +
                                    "\"Meier; \"\"Hans\"\"\r\nx ⏎ kurz\"\r\n"
                                    "02A;;;unlesbar;;\"fehlt; \"\"weg\"\"\";\r\n"
                                    "01A;9;2.5;verworfen;;nicht in AdressenImport gespeichert;" +
                                    longOriginal +
                                    "\r\n"
                                    "01A;812;;verworfen;;;\r\n");
    const review::RecordCounts& counts = records.counts();
    EXPECT_EQ(counts.read, 3);
    EXPECT_EQ(counts.saved, 1);
    EXPECT_EQ(counts.discarded, 2);
    EXPECT_EQ(counts.notes, 3);
    EXPECT_EQ(counts.filesUnreadable, 1);
}

// A record of any number of lines keeps its first 200 lines and notes in the report, and says how
// many more there were; every note is counted all the same.
TEST(ReportRows, KeepTheFirst200LinesAndNotesOfARecordAndCountTheRest) {
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 7);
    std::string kept = "7*";
    tell(records, lineOf("7*"), 1);
    for (int i = 2; i <= 100192; ++i) {
        tell(records, lineOf("z" + std::to_string(i)));
        if (i <= 200) kept += " ⏎ z" + std::to_string(i);
    }
    for (int i = 1; i <= 201; ++i) records.note("n" + std::to_string(i));
    records.recordEnded(false);

    ReportInMemory report{TableFormat::csv};
    ASSERT_TRUE(records.settle(nullptr, "", report.opener()));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), 2u);
    const std::vector<std::string> row = cells(rows[1].substr(0, rows[1].size() - 1));  // without the CR
    ASSERT_EQ(row.size(), 7u);
    ASSERT_LT(row[6].size(), kept.size() + 100) << "every line kept";
    EXPECT_EQ(row[6], kept + " ⏎ … und 99.992 weitere Zeilen");
    const std::string lastNotes = " | n199 | n200 | … und 1 weiterer Hinweis";
    EXPECT_EQ(row[5].rfind("n1 | n2 | n3 |", 0), 0u) << row[5];
    EXPECT_EQ(row[5].substr(row[5].size() - std::min(row[5].size(), lastNotes.size())), lastNotes);
    EXPECT_EQ(records.counts().notes, 201);
}

// A work file on a disk that is full after `room` bytes: what goes beyond is lost.
class FullDisk : public std::stringbuf {
public:
    explicit FullDisk(std::streamsize room) : room_(room) {}

protected:
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        const std::streamsize fits = std::clamp<std::streamsize>(room_ - written_, 0, count);
        written_ += fits;
        return std::stringbuf::xsputn(bytes, fits);
    }

private:
    std::streamsize room_;
    std::streamsize written_ = 0;
};

// Records and their original lines share one work file in blocks of their own, however they
// interleave and however long an entry is; each kind comes back in its own order. On a disk that
// is full, each kind comes back as far as its blocks were written, and no further.
TEST(RecordSpill, RecordsAndLinesComeBackEachInItsOrderAsFarAsTheyWereWritten) {
    using Read = review::RecordSpill::Read;
    const auto linesOf = [](std::uint64_t n) {
        return n % 1000 == 0 ? std::string(100000, 'x') : "Zeile " + std::to_string(n);  // longer than a block
    };
    const auto writeAndReadBack = [&](std::iostream& file) {
        review::RecordSpill spill(file);
        for (std::uint64_t n = 1; n <= 3000; ++n) {
            spill.beginLines(n).append(linesOf(n));
            spill.endLines();
            spill.putRecord(n % 2 == 0, "01A", n, n % 3 ? std::optional<double>(n) : std::nullopt,
                            "Hinweis " + std::to_string(n));
        }
        spill.rewind();
        review::RecordSpill::Entry entry;
        std::uint64_t records = 0;
        Read read;
        while ((read = spill.next(entry)) == Read::entry) {
            const std::uint64_t n = ++records;
            EXPECT_EQ(entry.kind, n % 2 == 0 ? review::RecordSpill::Entry::Kind::saved
                                             : review::RecordSpill::Entry::Kind::discarded);
            EXPECT_EQ(entry.line, n);
            EXPECT_EQ(entry.number, n % 3 ? std::optional<double>(n) : std::nullopt);
            EXPECT_EQ(entry.notes, "Hinweis " + std::to_string(n));
        }
        EXPECT_EQ(read, spill.writeFailed() ? Read::cutShort : Read::end);
        std::uint64_t lines = 0;
        while ((read = spill.nextLines(entry)) == Read::entry) {
            EXPECT_EQ(entry.line, ++lines);
            EXPECT_EQ(entry.original, linesOf(lines));
        }
        EXPECT_EQ(read, spill.writeFailed() ? Read::cutShort : Read::end);
        return std::pair{records, lines};
    };
    std::stringstream whole;
    EXPECT_EQ(writeAndReadBack(whole), (std::pair<std::uint64_t, std::uint64_t>{3000, 3000}));
    FullDisk disk(static_cast<std::streamsize>(whole.str().size() / 2));
    std::iostream full(&disk);
    const auto [records, lines] = writeAndReadBack(full);
    EXPECT_GT(records, 0u);
    EXPECT_LT(records, 3000u);
    EXPECT_LT(lines, 3000u);
}

// A work file cut short is no complete report, and still every record is counted.
TEST(ReportRows, AWorkFileCutShortIsNoCompleteReport) {
    const auto readThreeRecords = [](review::MigrationRecords& records) {
        for (int n = 1; n <= 3; ++n) {
            records.recordStarted("01A", static_cast<std::uint64_t>(n), n);
            tell(records, lineOf(std::to_string(n) + "*"), static_cast<std::uint64_t>(n));
            records.recordEnded(true);
        }
    };
    std::stringstream whole;
    review::MigrationRecords wholeRecords(&whole);
    readThreeRecords(wholeRecords);
    ReportInMemory wholeReport{TableFormat::jsonl};
    ASSERT_TRUE(wholeRecords.settle(nullptr, "", wholeReport.opener()));

    FullDisk disk(static_cast<std::streamsize>(whole.str().size()) - 2);
    std::iostream spill(&disk);
    std::stringstream lines;
    review::MigrationRecords records(&spill);
    readThreeRecords(records);
    ReportInMemory report{TableFormat::jsonl};
    EXPECT_FALSE(records.settle(nullptr, "", report.opener()));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), 3u);
    // The report says where it ends, and why.
    const std::string cutShort =
        "Die Arbeitsdatei des Berichts ließ sich nicht vollständig schreiben; der Bericht "
        "endet nach 2 von 3 Datensätzen.";
    EXPECT_EQ(rows[2],
              "{\"Datei\":null,\"Zeile\":null,\"Adressnummer\":null,\"Ergebnis\":\"Bericht "
              "unvollständig\",\"ID\":null,\"Hinweise\":\"" +
                  cutShort + "\",\"Original\":null}");
    EXPECT_EQ(records.reportCutShort(), cutShort);
    EXPECT_EQ(records.counts().read, 3);
    EXPECT_EQ(records.counts().discarded, 3);
}

// A work file whose writing failed during the run (a full disk) holds fewer records than were
// read: the report says so in its last row, however much of it the file holds.
TEST(ReportRows, AWorkFileThatCouldNotBeWrittenIsNoCompleteReport) {
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 1);
    records.recordEnded(false);
    records.recordStarted("01A", 9, 2);
    spill.setstate(std::ios::badbit);  // as a failed write leaves it
    records.recordEnded(false);
    ReportInMemory report{TableFormat::csv};
    EXPECT_FALSE(records.settle(nullptr, "", report.opener()));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(cells(rows[1])[3], "Bericht unvollständig");
    EXPECT_EQ(cells(rows[1])[5],
              "Die Arbeitsdatei des Berichts ließ sich nicht vollständig schreiben; der Bericht endet nach 0 von 2 "
              "Datensätzen.");
}

// Rows that cannot be read to their end (a statement broken off, a failing value) leave the
// records after them unpaired: they are counted from the table when it can be counted, their
// report rows say why their ids are missing, and no saved record is said to be discarded. When
// not even the count can be had, their outcome is unknown, and the counts say so.
TEST(ReportRows, RecordsLeftUnpairedByRowsThatFailAreCountedOrUnknown) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    // Rows 1 to 4; reading the third fails (an integer overflow).
    const std::string rowsQuery =
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 4) "
        "SELECT x AS id, CASE WHEN x = 3 THEN abs(-9223372036854775807 - 1) ELSE x END AS fremdid FROM n";
    struct Case {
        std::string countQuery;
        std::string outcome;  // of the records 3 and 4
        review::RecordCounts counts;
    };
    const std::vector<Case> cases{{"SELECT 4", "gespeichert", {4, 4, 0, 2, 0, 0, {}}},
                                  {"SELECT 3", "unbekannt", {4, 3, 1, 2, 0, 0, {}}},
                                  {"SELECT 2", "verworfen", {4, 2, 2, 2, 0, 0, {}}},
                                  {"", "unbekannt", {4, 2, 0, 2, 0, 2, {}}},
                                  {"SELECT * FROM fehlt", "unbekannt", {4, 2, 0, 2, 0, 2, {}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.countQuery);
        std::stringstream spill;
        review::MigrationRecords records(&spill);
        for (int n = 1; n <= 4; ++n) {
            records.recordStarted("01A", static_cast<std::uint64_t>(n), n);
            records.recordEnded(true);
        }
        ReportInMemory report{TableFormat::csv};
        ASSERT_TRUE(records.settle(connection.get(), rowsQuery, report.opener(), c.countQuery));
        const auto rows = testing_support::lines(report.out.str());
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(cells(rows[2])[3], "gespeichert");
        EXPECT_EQ(cells(rows[2])[4], "2") << "its row was read before the failure";
        for (const std::size_t row : {3u, 4u}) {
            EXPECT_EQ(cells(rows[row])[3], c.outcome);
            EXPECT_EQ(cells(rows[row])[4], "");
            EXPECT_NE(cells(rows[row])[5].find("integer overflow"), std::string::npos) << cells(rows[row])[5];
        }
        EXPECT_EQ(records.pairingFailure(), "integer overflow");
        const review::RecordCounts& counts = records.counts();
        EXPECT_EQ(counts.read, c.counts.read);
        EXPECT_EQ(counts.saved, c.counts.saved);
        EXPECT_EQ(counts.discarded, c.counts.discarded);
        EXPECT_EQ(counts.notes, c.counts.notes);
        EXPECT_EQ(counts.unknown, c.counts.unknown);
    }
}

// Rows of no record of the run are passed over one by one, each at the cost of a pass over the
// records left; past a thousand the pairing gives up, and the table's count, which holds them
// too, is not taken for the records' outcome.
TEST(ReportRows, ManyRowsOfNoRecordEndThePairingWithOutcomesUnknown) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    for (int n = 1; n <= 2; ++n) {
        records.recordStarted("01A", static_cast<std::uint64_t>(n), n);
        records.recordEnded(true);
    }
    ReportInMemory report{TableFormat::csv};
    ASSERT_TRUE(records.settle(connection.get(),
                               "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 1003) "
                               "SELECT x AS id, CASE x WHEN 1 THEN 1 WHEN 1003 THEN 2 ELSE 100000 + x END AS fremdid "
                               "FROM n",
                               report.opener(), "SELECT 1003"));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(cells(rows[1])[4], "1");
    EXPECT_EQ(cells(rows[2])[3], "unbekannt");
    EXPECT_NE(records.pairingFailure().find("mehr als 1000 Tabellenzeilen"), std::string::npos)
        << records.pairingFailure();
    EXPECT_EQ(records.counts().saved, 1);
    EXPECT_EQ(records.counts().unknown, 1);
}

// The rule itself, row by row: a row goes to the next record its fremdid agrees with (as a
// number, a whole number or a text), the records before it have none, a row of no record still
// to come is passed over without its id being read, and past 1000 of those the pairing gives up.
TEST(RowPairing, EachRowToTheNextRecordItMatchesAndForeignRowsPassedOver) {
    review::NumberLog records;
    for (const std::optional<double> number :
         {std::optional<double>(7), std::optional<double>(8), std::optional<double>(), std::optional<double>(2.5)})
        records.add(number);
    std::vector<std::int64_t> ids;
    review::RowPairing pairing(records.reader(), [&](std::int64_t id) { ids.push_back(id); });
    using Taken = review::RowPairing::Taken;
    const auto unread = []() -> std::int64_t { throw std::logic_error("the id of a row passed over"); };
    EXPECT_EQ(pairing.take(db::Value(9), unread), Taken::passedOver);
    EXPECT_EQ(pairing.take(db::Value(std::int64_t{8}), [] { return std::int64_t{11}; }), Taken::paired);
    EXPECT_EQ(pairing.take(db::Value(7.0), unread), Taken::passedOver) << "record 7 is behind";
    EXPECT_EQ(pairing.take(db::Value(), [] { return std::int64_t{12}; }), Taken::paired);
    EXPECT_FALSE(pairing.done());
    EXPECT_EQ(pairing.take(db::Value(std::string("2.5")), [] { return std::int64_t{13}; }), Taken::paired);
    EXPECT_TRUE(pairing.done());
    EXPECT_EQ(ids, (std::vector<std::int64_t>{0, 11, 12, 13}));
    EXPECT_EQ(pairing.rowsPaired(), 3);

    review::NumberLog one;
    one.add(1);
    review::RowPairing foreign(one.reader(), [](std::int64_t) {});
    for (int row = 1; row <= 1000; ++row) ASSERT_EQ(foreign.take(db::Value(2), unread), Taken::passedOver);
    EXPECT_EQ(foreign.take(db::Value(2), unread), Taken::gaveUp);
}

TEST(RecordCounts, AnUnknownSavedCountIsSaidAndWhereToLook) {
    review::RecordCounts counts{1000000, 451997, 1, 548002, 0, 548002, {}};
    EXPECT_EQ(review::texts::countsLine(counts, "."),
              "1.000.000 Datensätze gelesen: gespeichert unbekannt (451.997 bestätigt, 548.002 ungeprüft: siehe "
              "AdressenImport), 1 verworfen; 548.002 Hinweise; 0 Adressdateien fehlen oder sind unlesbar.");
    counts.unknown = 0;
    EXPECT_EQ(review::texts::countsLine(counts, "."),
              "1.000.000 Datensätze gelesen: 451.997 gespeichert, 1 verworfen; 548.002 Hinweise; 0 Adressdateien "
              "fehlen oder sind unlesbar.");
}

// A report that cannot be begun (its file gone unwritable during the run) is told as a failure,
// and the counts still add up: no saved address is said to be lost.
TEST(ReportRows, AReportThatCannotBeBegunStillLeavesEveryRecordCounted) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    for (const double number : {7.0, 8.0}) {
        records.recordStarted("01A", static_cast<std::uint64_t>(number), number);
        records.recordEnded(true);
    }
    const review::ReportOpener unwritable = []() -> review::TableWriter& {
        throw std::runtime_error("Die Datei bericht.csv lässt sich nicht anlegen.");
    };
    EXPECT_THROW(records.settle(connection.get(), "SELECT 5 AS id, 7 AS fremdid", unwritable), std::runtime_error);
    EXPECT_EQ(records.counts().read, 2);
    EXPECT_EQ(records.counts().saved, 1);
    EXPECT_EQ(records.counts().discarded, 1);
}

// The records are paired with the rows while a complete list in id order is read (by the same
// rule as from the table: a row goes to the next record whose number agrees, the records passed
// over have none); any other list leaves the pairing to the query.
TEST(ReportRows, PairedWhileListedOnlyFromAWholeListInIdOrder) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    struct Case {
        std::string listed;  // the rows the list shows, as a query
        bool complete;
        std::vector<std::string> ids;
        std::string table = "SELECT 5 AS id, 7 AS fremdid UNION ALL SELECT 6, 8";  // settle's own pass
    };
    // A row that no record still to come matches (9) is passed over, whichever pass pairs.
    const std::string withForeignRow = "SELECT 4 AS id, 9 AS fremdid UNION ALL SELECT 5, 7 UNION ALL SELECT 6, 8";
    const std::vector<Case> cases{{"SELECT 11 AS id, 7 AS fremdid UNION ALL SELECT 12, 8", true, {"11", "12"}},
                                  {"SELECT 11 AS id, 8 AS fremdid", true, {"", "11"}},
                                  {"SELECT 11 AS id, 9 AS fremdid UNION ALL SELECT 12, 8", true, {"", "12"}},
                                  {"SELECT 11 AS id, 7 AS fremdid UNION ALL SELECT 12, 9", true, {"11", ""}},
                                  {"SELECT 11 AS id, 7 AS fremdid", false, {"5", "6"}, withForeignRow},
                                  {"SELECT 11 AS id, 7 AS fremdid",
                                   false,
                                   {"5", "7"},
                                   "SELECT 5 AS id, 7 AS fremdid UNION ALL SELECT 6, 9 UNION ALL SELECT 7, 8"},
                                  {"SELECT 11 AS id, 7 AS fremdid WHERE 0", true, {"", ""}},
                                  {"SELECT 11 AS id, 7 AS fremdid UNION ALL SELECT 12, 8", false, {"5", "6"}},
                                  {"SELECT 12 AS id, 7 AS fremdid UNION ALL SELECT 11, 8", true, {"5", "6"}},
                                  {"SELECT 11 AS nummer, 7 AS fremdid UNION ALL SELECT 12, 8", true, {"5", "6"}},
                                  {"SELECT 'elf' AS id, 7 AS fremdid", true, {"5", "6"}}};
    // Each way: the report written once the list is over, and while it is read (begun anew
    // when the list cannot pair the records).
    for (const bool ahead : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.listed + (c.complete ? ", complete" : ", cut short") + (ahead ? ", ahead" : ""));
            std::stringstream spill;
            review::MigrationRecords records(&spill);
            ReportInMemory report{TableFormat::csv};
            if (ahead) records.reportWhileListed(report.opener());
            for (const double number : {7.0, 8.0}) {
                records.recordStarted("01A", static_cast<std::uint64_t>(number), number);
                records.recordEnded(true);
            }
            const auto rowListed = records.pairWhileListed();
            for (const auto listed = connection->execute(c.listed); !listed->atEnd(); listed->moveNext())
                rowListed(*listed);
            records.listEnded(c.complete);
            ASSERT_TRUE(records.settle(connection.get(), c.table, report.opener()));
            const auto rows = testing_support::lines(report.out.str());
            ASSERT_EQ(rows.size(), 3u);
            EXPECT_EQ(cells(rows[1])[4], c.ids[0]);
            EXPECT_EQ(cells(rows[2])[4], c.ids[1]);
            const auto saved = static_cast<std::int64_t>(
                std::count_if(c.ids.begin(), c.ids.end(), [](auto& id) { return !id.empty(); }));
            EXPECT_EQ(records.counts().saved, saved);
            EXPECT_EQ(records.counts().discarded, 2 - saved);
        }
    }
}

// Whole chunks of pairs let the report's thread write every record before the list ends; a list
// then cut short still makes its work void, and the report is begun anew from the table.
TEST(ReportRows, AListCutShortAfterTheReportWasWrittenIsPairedFromTheTable) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    constexpr int kRecords = 2048;
    const std::string numbers = "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " +
                                std::to_string(kRecords) + ") SELECT x FROM n";
    std::stringstream spill;
    review::MigrationRecords records(&spill);
    ReportInMemory report{TableFormat::csv};
    records.reportWhileListed(report.opener());
    for (int n = 1; n <= kRecords; ++n) {
        records.recordStarted("01A", static_cast<std::uint64_t>(n), n);
        records.recordEnded(true);
    }
    const auto rowListed = records.pairWhileListed();
    for (const auto listed = connection->execute("SELECT x AS id, x AS fremdid FROM (" + numbers + ")");
         !listed->atEnd(); listed->moveNext())
        rowListed(*listed);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the report's thread writes meanwhile
    records.listEnded(false);
    ASSERT_TRUE(records.settle(connection.get(), "SELECT x + 10000 AS id, x AS fremdid FROM (" + numbers + ")",
                               report.opener()));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRecords + 1));
    EXPECT_EQ(cells(rows[1])[4], "10001");
    EXPECT_EQ(cells(rows.back())[4], "12048");
    EXPECT_EQ(report.begun, 2);
    EXPECT_EQ(records.counts().saved, kRecords);
    EXPECT_EQ(records.counts().discarded, 0);
}

// The ids go from the thread that reads the list to the one that writes the report in order,
// also when the writer falls behind by more than the chunks that may wait; ids made void are
// never read, and a writer that stopped reading never keeps the list waiting.
TEST(ReportRows, ListedIdsReachTheReportThreadInOrder) {
    constexpr std::int64_t kIds = 20000;
    review::ListedIds ids;
    std::vector<std::int64_t> read;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // behind the lister
        for (std::int64_t i = 0; i <= kIds; ++i) read.push_back(ids.next());
    });
    for (std::int64_t id = 1; id <= kIds; ++id) ids.add(id);
    ids.end(true);
    reader.join();
    ASSERT_EQ(read.size(), static_cast<std::size_t>(kIds + 1));
    for (std::int64_t i = 0; i < kIds; ++i) ASSERT_EQ(read[static_cast<std::size_t>(i)], i + 1);
    EXPECT_EQ(read.back(), 0) << "past the end of the list";

    review::ListedIds dropped;
    dropped.add(1);
    dropped.end(false);
    EXPECT_THROW(dropped.next(), review::ListedIds::Dropped);

    review::ListedIds abandoned;
    abandoned.stopReading();
    for (std::int64_t id = 1; id <= kIds; ++id) abandoned.add(id);  // would wait forever for a reader
    abandoned.end(true);
}

// The address numbers of the records handed on come back exactly as they went in, over many
// blocks, and also those added after the reader was made.
TEST(ReportRows, NumberLogGivesBackEveryNumberInOrder) {
    std::vector<std::optional<double>> numbers{
        1, 2, 3, std::nullopt, 1000000, -5, 0, -0.0, 2.5, 1e15, -1e15, 1e300, 9007199254740992.0, -9007199254740994.0,
        4, 3};
    for (int i = 0; i < 20000; ++i) numbers.push_back(i % 7 == 0 ? std::optional<double>(i * 1e9 + 0.5) : i);
    review::NumberLog log;
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) log.add(numbers[i]);
    review::NumberLog::Reader reader = log.reader();
    log.add(numbers.back());
    for (const auto& number : numbers) {
        ASSERT_FALSE(reader.atEnd());
        const std::optional<double> back = reader.next();
        ASSERT_EQ(back.has_value(), number.has_value());
        if (number) {
            EXPECT_EQ(*back, *number);
            EXPECT_EQ(std::signbit(*back), std::signbit(*number)) << *number;
        }
    }
    EXPECT_TRUE(reader.atEnd());
}

}  // namespace

TEST(RecordCounts, OneOfAThingIsSaidInTheSingular) {
    const review::RecordCounts one{1, 1, 0, 1, 1, 0, 1};
    EXPECT_EQ(review::texts::countsLine(one, "."),
              "1 Datensatz gelesen: 1 gespeichert, 0 verworfen; 1 Hinweis; 1 mögliche Dublette; 1 Adressdatei fehlt "
              "oder ist unlesbar.");
    const review::RecordCounts two{2, 1, 1, 2, 2, 0, 2};
    EXPECT_EQ(review::texts::countsLine(two, "."),
              "2 Datensätze gelesen: 1 gespeichert, 1 verworfen; 2 Hinweise; 2 mögliche Dubletten; 2 Adressdateien "
              "fehlen oder sind unlesbar.");
    const review::RecordCounts unchecked{2, 1, 1, 2, 2, 0, {}};
    EXPECT_EQ(review::texts::countsLine(unchecked, "."),
              "2 Datensätze gelesen: 1 gespeichert, 1 verworfen; 2 Hinweise; 2 Adressdateien fehlen oder sind "
              "unlesbar.")
        << "without the check no count of likely duplicates is claimed";
    review::RecordCounts cutShort = two;
    cutShort.duplicatesNotAllFound = true;
    EXPECT_NE(review::texts::countsLine(cutShort, ".").find("; 2 mögliche Dubletten (Suche unvollständig); "),
              std::string::npos)
        << "a search that could not see every record does not pass for a whole one";
}

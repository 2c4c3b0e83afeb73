// What the office reviews a migration with, as the command line writes it: the export of a
// Datenpool table and the report of a run, read back by a program of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "ConvertWithCli.h"
#include "CorpusGenerator.h"
#include "adr/FieldMapper.h"
#include "app/Conversion.h"
#include "db/Backends.h"
#include "db/sqlite/SqliteConnection.h"
#include "review/MigrationRecords.h"
#include "support/ReadOnly.h"
#include "support/RecordingEvents.h"
#include "support/ReportTable.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using review::TableFormat;
using testing_support::cells;
using testing_support::CliRun;
using testing_support::ReportInMemory;

class Export : public ::testing::Test {
protected:
    Export() {
        const auto connection = db::SqliteConnection::create(pool);
        connection->execute(
            "INSERT INTO AdressenImport (fremdid, nachname, telefon1, Geburtstag, Bemerkungen) VALUES "
            "(4711, 'Meier; Söhne', '0123', '1970-01-31', 'sagt \"Hallo\"\r\nzweite Zeile'), "
            "(12, 'Schulz', NULL, NULL, '')");
    }
    CliRun run(const std::vector<std::string>& words) { return testing_support::runCli(words, dir.path().string()); }

    testing_support::TempDir dir;
    std::string pool = dir.file("pool.db");
};

TEST_F(Export, CountsItsRowsInSingularAndPlural) {
    const CliRun two = run({"export", "--db", pool, "--output", dir.file("zwei.csv")});
    ASSERT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(two.err, "2 Zeilen aus AdressenImport ausgegeben.\n");
    db::SqliteConnection::open(pool)->execute("DELETE FROM AdressenImport WHERE fremdid = 12");
    const CliRun one = run({"export", "--db", pool, "--output", dir.file("eine.csv")});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.err, "1 Zeile aus AdressenImport ausgegeben.\n");
}

TEST_F(Export, CsvLoadsBackToTheSameTextsInIdOrder) {
#ifdef _WIN32
    GTEST_SKIP() << "Python reads the export on the build machine only";
#else
    const std::string csv = dir.file("export.csv");
    const CliRun exported = run({"export", "--db", pool, "--output", csv});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_NE(exported.err.find("2 Zeilen aus AdressenImport"), std::string::npos) << exported.err;

    // Python's csv module reads the file as a spreadsheet would and compares every cell with
    // the database's own text of it (NULL: the empty text).
    const std::string script = dir.write("compare.py", R"(import csv, sqlite3, sys
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f, delimiter=";"))
db = sqlite3.connect(sys.argv[2])
cursor = db.execute("SELECT * FROM AdressenImport ORDER BY id")
names = [d[0] for d in cursor.description]
expected = [["" if v is None else (str(int(v)) if isinstance(v, float) and v == int(v) else str(v)) for v in r]
            for r in cursor]
if rows[0] != names: sys.exit("header %r" % rows[0])
if rows[1:] != expected: sys.exit("rows %r != %r" % (rows[1:], expected))
if rows[1][names.index("telefon1")] != "0123": sys.exit("0123 reformatted")
)");
    const int status =
        std::system(("python3 " + testing_support::quoted(script) + " " + testing_support::quoted(csv) + " " +
                     testing_support::quoted(pool) + " 2>" + testing_support::quoted(dir.file("py.err")))
                        .c_str());
    EXPECT_EQ(status, 0) << testing_support::readWhole(dir.file("py.err"));
#endif
}

TEST_F(Export, JsonLinesOnStdoutWithNumbersNullAndUnchangedTexts) {
    const CliRun exported = run({"export", "--db", pool, "--format", "jsonl"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const auto rows = testing_support::lines(exported.out);
    ASSERT_EQ(rows.size(), 2u) << exported.out;
    EXPECT_EQ(rows[0].rfind("{\"id\":1,\"fremdid\":4711,", 0), 0u) << rows[0];
    EXPECT_NE(rows[0].find("\"telefon1\":\"0123\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("\"Geburtstag\":\"1970-01-31\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[0].find("\"Bemerkungen\":\"sagt \\\"Hallo\\\"\\r\\nzweite Zeile\""), std::string::npos) << rows[0];
    EXPECT_NE(rows[1].find("\"telefon1\":null"), std::string::npos) << rows[1];
    EXPECT_NE(rows[1].find("\"Bemerkungen\":\"\""), std::string::npos) << rows[1];
}

TEST_F(Export, AdressenTableAndAConnectionString) {
    db::SqliteConnection::open(pool)->execute("INSERT INTO Adressen (nachname) VALUES ('Erste'), ('Zweite')");
    const CliRun exported =
        run({"export", "--db", "Provider=SQLite; Data Source=" + pool + ";", "--table", "Adressen"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const auto rows = testing_support::lines(exported.out);
    ASSERT_EQ(rows.size(), 3u) << exported.out;
    EXPECT_EQ(rows[0].rfind("\xEF\xBB\xBFid;", 0), 0u) << rows[0];
    EXPECT_NE(rows[1].find(";Erste;"), std::string::npos) << rows[1];
    EXPECT_NE(rows[2].find(";Zweite;"), std::string::npos) << rows[2];
}

TEST_F(Export, BadUsageAndMissingDatenpool) {
    EXPECT_EQ(run({"export", "--db", pool, "--table", "Routinen"}).exitCode, 2);
    EXPECT_EQ(run({"export", "--db", pool, "--format", "xml"}).exitCode, 2);
    EXPECT_EQ(run({"export"}).exitCode, 2);
    const std::string missing = dir.file("fehlt.db");
    const CliRun refused = run({"export", "--db", missing});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("gibt es nicht"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(run({"export", "--db", pool, "--output", dir.file("kein/Verzeichnis.csv")}).exitCode, 1);
}

// A workbook is a file: to stdout it is bad usage; one that cannot be written fails and leaves
// neither it nor its draft; one written replaces the file of that name only when whole.
TEST_F(Export, AWorkbookOnlyIntoAFileAndOnlyWhole) {
    const CliRun refused = run({"export", "--db", pool, "--format", "xlsx"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("braucht eine Zieldatei"), std::string::npos) << refused.err;

    const std::string unwritable = dir.file("kein/tabelle.xlsx");
    const CliRun failed = run({"export", "--db", pool, "--output", unwritable});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("ließ sich nicht schreiben"), std::string::npos) << failed.err;
    EXPECT_FALSE(std::filesystem::exists(unwritable + ".part"));

    const std::string workbook = dir.file("tabelle.xlsx");
    dir.write("tabelle.xlsx", "alt");
    const CliRun exported = run({"export", "--db", pool, "--output", workbook});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(testing_support::readWhole(workbook).rfind("PK", 0), 0u);  // a zip archive
    EXPECT_FALSE(std::filesystem::exists(workbook + ".part"));
}

// An export that cannot read its table leaves the file it would have replaced as it was, in
// every format, and no draft beside it.
TEST_F(Export, OneThatFailsLeavesTheEarlierFileAsItWas) {
    db::SqliteConnection::open(pool)->execute("DROP TABLE AdressenImport");
    for (const std::string name : {"tabelle.csv", "tabelle.jsonl", "tabelle.xlsx"}) {
        const std::string earlier = dir.write(name, "die Ausgabe von gestern");
        const CliRun failed = run({"export", "--db", pool, "--output", earlier});
        EXPECT_EQ(failed.exitCode, 1) << name;
        EXPECT_NE(failed.err.find("ließ sich nicht ausgeben"), std::string::npos) << failed.err;
        EXPECT_EQ(testing_support::readWhole(earlier), "die Ausgabe von gestern") << name;
        EXPECT_FALSE(std::filesystem::exists(earlier + ".part")) << name;
    }
}

// A pipe named as the output gets the rows and stays a pipe: no file is put in its place.
TEST_F(Export, IntoAPipeWritesIntoIt) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs in a Windows folder";
#else
    const std::string fifo = dir.file("zeilen.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opened without waiting, so that the export finds its reader; read once the export has ended.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const CliRun exported = run({"export", "--db", pool, "--output", fifo});
    std::string received(64 * 1024, '\0');
    const ssize_t size = ::read(reader, received.data(), received.size());
    ::close(reader);

    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    received.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    EXPECT_EQ(received.rfind("\xEF\xBB\xBFid;", 0), 0u) << received;
    EXPECT_NE(received.find(";Schulz;"), std::string::npos) << received;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_FALSE(std::filesystem::exists(fifo + ".part"));
#endif
}

// A file that may not be changed is not replaced by an export either.
TEST_F(Export, AReadOnlyFileIsNotReplaced) {
    for (const std::string name : {"tabelle.csv", "tabelle.xlsx"}) {
        const std::string earlier = dir.write(name, "die Ausgabe von gestern");
        const testing_support::ReadOnly readOnly(earlier);
        if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the file read-only";
        const CliRun refused = run({"export", "--db", pool, "--output", earlier});
        EXPECT_EQ(refused.exitCode, 1) << name;
        EXPECT_NE(refused.err.find("Die Datei " + earlier + " lässt sich nicht anlegen."), std::string::npos)
            << refused.err;
        EXPECT_EQ(testing_support::readWhole(earlier), "die Ausgabe von gestern") << name;
        EXPECT_FALSE(std::filesystem::exists(earlier + ".part")) << name;
    }
}

class Report : public app_tests::ConvertWithCli {
protected:
    std::vector<std::vector<std::string>> reportRows(const std::string& file) const {
        std::vector<std::vector<std::string>> rows;
        for (const auto& line : testing_support::lines(testing_support::readWhole(file))) rows.push_back(cells(line));
        return rows;
    }
    // The staging id of the row with that fremdid.
    std::string stagedId(const std::string& fremdid) const {
        return db::SqliteConnection::open(datenpool())
            ->execute("SELECT id FROM AdressenImport WHERE fremdid=" + fremdid)
            ->value(0)
            .toText();
    }
};

TEST_F(Report, EveryRecordWithItsFileLineOutcomeIdNotesAndOriginal) {
    using app_tests::adrLines;
    using app_tests::completeRecord;
    const std::string longStreet(230, 'x');
    writeAdr("01A", completeRecord("11", "Meier") +
                        adrLines({"12*", "1#Herr", "", "", "Weg 1", "12345 Ort", "", ""}) +  // no surname
                        adrLines({"13*", "2", "Eva", "Schulz", longStreet,
                                  std::string("1234\0", 4) + std::string(1, '\0') + "5 Ort"}));
    writeAdr("03A", completeRecord("31", "Weiß"));
    std::filesystem::create_directory(adrDir() + "/04A");  // there, but no file
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;

    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"\xEF\xBB\xBF"
                                                 "Datei",
                                                 "Zeile", "Adressnummer", "Ergebnis", "ID", "Hinweise", "Original"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{
                           "01A", "1", "11", "gespeichert", stagedId("11"), "",
                           "11* ⏎ 1#Herr ⏎ Hans ⏎ Meier ⏎ Hauptstr. 1 ⏎ 10115 Berlin ⏎ 030 123 ⏎ Sparkasse"}));
    EXPECT_EQ(rows[2][1], "9");
    EXPECT_EQ(rows[2][3], "verworfen");
    EXPECT_EQ(rows[2][4], "");
    EXPECT_EQ(rows[2][5], "ohne Nachname verworfen");
    EXPECT_EQ(rows[3][1], "17");
    EXPECT_EQ(rows[3][3], "gespeichert");
    EXPECT_EQ(rows[3][4], stagedId("13"));
    EXPECT_NE(rows[3][5].find("Zeile 5 nach 200 von 230 Zeichen abgeschnitten"), std::string::npos) << rows[3][5];
    EXPECT_NE(rows[3][5].find("Nullbyte in Spalte 5"), std::string::npos) << rows[3][5];
    EXPECT_NE(rows[3][5].find(" | endet mit dem Dateiende nach Zeile 6 von 8"), std::string::npos) << rows[3][5];
    EXPECT_NE(rows[3][6].find(" ⏎ " + std::string(200, 'x') + " ⏎ 12345 Ort"), std::string::npos) << rows[3][6];
    // The missing "02A" has its own row, after the record that "01A" left open and before "03A".
    EXPECT_EQ(rows[4][0], "02A");
    EXPECT_EQ(rows[4][1], "");
    EXPECT_EQ(rows[4][3], "fehlt");
    EXPECT_NE(rows[4][5].find("02A"), std::string::npos) << rows[4][5];
    EXPECT_EQ(rows[5][0], "03A");
    EXPECT_EQ(rows[5][4], stagedId("31"));
    EXPECT_EQ(rows[6][0], "04A");
    EXPECT_EQ(rows[6][3], "unlesbar");
    EXPECT_NE(rows[6][5].find("Verzeichnis"), std::string::npos) << rows[6][5];
    // Every file from "04A" on is missing as well.
    EXPECT_EQ(rows.size(), 6u + 96u);
    EXPECT_TRUE(
        app_tests::hasLine(converted.err,
                           "4 Datensätze gelesen: 3 gespeichert, 1 verworfen; 4 Hinweise; 0 mögliche Dubletten; "
                           "97 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
}

// Every line up to the next header belongs to the record, also those after line 8 that carry
// nothing: the report shows the first 200 of them and notes what they hold (here a null byte).
TEST_F(Report, ARecordKeepsItsLinesAfterTheEighthUpTo200) {
    std::vector<std::string> lines{"11*", "1#Herr", "Hans", "Meier"};
    for (int i = 5; i <= 300; ++i) lines.push_back(i == 250 ? std::string("x\0", 2) : "z" + std::to_string(i));
    writeAdr("01A", app_tests::adrLines(lines) + app_tests::completeRecord("12", "Schulz"));
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;

    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 3u);
    std::string kept = "11* ⏎ 1#Herr ⏎ Hans ⏎ Meier";
    for (int i = 5; i <= 200; ++i) kept += " ⏎ z" + std::to_string(i);
    EXPECT_EQ(rows[1][6], kept + " ⏎ … und 100 weitere Zeilen");
    // Line 7 stands where the telephone number does.
    EXPECT_EQ(rows[1][5], "Telefonnummer „z7“ enthält Buchstaben | Ein Nullbyte in Spalte 2 ergibt kein Zeichen");
    EXPECT_EQ(rows[2][1], "301");
    EXPECT_EQ(rows[2][6].rfind("12* ⏎ 1#Herr", 0), 0u) << rows[2][6];
    EXPECT_TRUE(
        app_tests::hasLine(converted.err,
                           "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 2 Hinweise; 0 mögliche Dubletten; "
                           "98 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
}

TEST_F(Report, JsonLinesForASingleAddress) {
    writeAdr("45A", app_tests::completeRecord("745", "Meier"));
    const std::string report = dir.file("eine.jsonl");
    const CliRun converted = run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    const auto rows = testing_support::lines(testing_support::readWhole(report));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].rfind("{\"Datei\":\"45A\",\"Zeile\":1,\"Adressnummer\":745,\"Ergebnis\":\"gespeichert\",\"ID\":" +
                                stagedId("745") + ",\"Hinweise\":\"\",\"Original\":\"745* ⏎ 1#Herr",
                            0),
              0u)
        << rows[0];

    // Its values are checked as its row is saved, a new row and the same row saved again.
    writeAdr("45A", app_tests::adrLines({"745*", "1#Herr", "Hans", "Meier", "Hauptstr. 1", "1011 Berlin"}));
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(
            this->run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool(), "--report", report}).exitCode, 0);
        const std::string written = testing_support::readWhole(report);
        EXPECT_NE(written.find("\"Hinweise\":\"Postleitzahl „1011“ hat vier Ziffern"), std::string::npos)
            << run << written;
        if (run == 0) db::SqliteConnection::open(datenpool())->execute("DELETE FROM AdressenImport");
    }
}

TEST_F(Report, ARowTheDatabaseRefusesIsDiscardedWithTheDatabasesReason) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier"));
    // A staging table whose rows the database refuses, silently as a violated constraint.
    db::SqliteConnection::create(datenpool())
        ->execute("CREATE TRIGGER refuse BEFORE INSERT ON AdressenImport BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 2u) << converted.err;
    EXPECT_EQ(rows[1][2], "1");
    EXPECT_EQ(rows[1][3], "verworfen");
    EXPECT_EQ(rows[1][4], "");
    // The database's own reason, which it gives with a code that passes silently.
    EXPECT_EQ(rows[1][5], "vom Datenpool nicht gespeichert: gesperrt");
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "Der Datenpool hat die Adresse nicht gespeichert: gesperrt (Datei 01A, Zeile 8)"))
        << converted.err;
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "1 Datensatz gelesen: 0 gespeichert, 1 verworfen; 1 Hinweis; 0 mögliche Dubletten; "
                                   "98 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
}

TEST_F(Report, ARowRefusedAmongManyIsTheOnlyOneDiscardedOnEitherBackend) {
    // More records than a batch of rows holds; the database refuses the 250th, with FAIL, which
    // keeps the rows a statement inserted before the one it refuses.
    const int records = 1200;
    std::string lines;
    for (int i = 1; i <= records; ++i)
        lines += app_tests::completeRecord(std::to_string(i), i == 250 ? "Verboten" : "Name " + std::to_string(i));
    writeAdr("01A", lines);
    for (const std::string& target : {datenpool(), db_tests::odbcConnectionStringFor(datenpool())}) {
        std::filesystem::remove(datenpool());
        db::SqliteConnection::create(datenpool())
            ->execute(
                "CREATE TRIGGER refuse BEFORE INSERT ON AdressenImport WHEN NEW.nachname = 'Verboten' "
                "BEGIN SELECT RAISE(FAIL, 'gesperrt'); END");
        const std::string report = dir.file("bericht.csv");
        const CliRun converted = run({"convert", "--adr", adrDir(), "--db", target, "--report", report});
        EXPECT_EQ(converted.exitCode, 0) << target << "\n" << converted.err;
        // Digits grouped as the user's locale groups them (Windows: "1.200" or "1,200").
        EXPECT_TRUE(std::regex_search(
            converted.err,
            std::regex("1[.,]?200 Datensätze gelesen: 1[.,]?199 gespeichert, 1 verworfen; "
                       "1 Hinweis; 0 mögliche Dubletten; 98 Adressdateien fehlen oder sind unlesbar\\.")))
            << target << "\n"
            << converted.err;

        std::map<std::string, std::string> idOf;  // by address number
        for (auto staged = db::SqliteConnection::open(datenpool())->execute("SELECT fremdid, id FROM AdressenImport");
             !staged->atEnd(); staged->moveNext()) {
            EXPECT_TRUE(idOf.emplace(staged->value(0).toText(), staged->value(1).toText()).second)
                << target << ": " << staged->value(0).toText() << " staged twice";
        }
        EXPECT_EQ(idOf.size(), 1199u) << target;
        const auto rows = reportRows(report);
        ASSERT_EQ(rows.size(), 1u + records + 98u) << target;
        for (int i = 1; i <= records; ++i) {
            const std::string number = std::to_string(i);
            ASSERT_EQ(rows[i][2], number) << target;
            EXPECT_EQ(rows[i][3], i == 250 ? "verworfen" : "gespeichert") << target << " " << number;
            EXPECT_EQ(rows[i][4], i == 250 ? "" : idOf[number]) << target << " " << number;
        }
    }
}

TEST_F(Report, BadNameIsBadUsageAndAnUnwritableReportStopsBeforeTheRun) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier"));
    EXPECT_EQ(run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", dir.file("bericht.txt")}).exitCode,
              2);
    const std::string unreachable = dir.file("fehlt/bericht.csv");
    const CliRun refused = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", unreachable});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Die Datei " + unreachable + " lässt sich nicht anlegen."), std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(datenpool()));
}

TEST_F(Report, ACommandThatEndsBeforeTheRunLeavesNoEmptyReportAndAnEarlierOneAsItWas) {
    const std::string fresh = dir.file("neu.csv");
    EXPECT_EQ(run({"convert", "--adr", dir.file("fehlt"), "--db", datenpool(), "--report", fresh}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(fresh));

    const std::string earlier = dir.write("bericht.csv", "der Bericht von gestern");
    EXPECT_EQ(run({"convert", "--adr", dir.file("fehlt"), "--db", datenpool(), "--report", earlier}).exitCode, 1);
    EXPECT_EQ(testing_support::readWhole(earlier), "der Bericht von gestern");
}

// Two workstations write their reports under one name into one shared folder at the same time:
// each run keeps its drafts and work files apart, the report left is one whole run's, and files
// of the user's named as such files might be stay as they were.
TEST_F(Report, TwoRunsAtOnceIntoOneReportKeepApartAndLeaveTheUsersFilesBeside) {
    constexpr int kRecords = 3000;
    std::string records;
    for (int number = 1; number <= kRecords; ++number) {
        records += app_tests::completeRecord(std::to_string(number), "Name" + std::to_string(number));
    }
    writeAdr("01A", records);
    const std::string report = dir.file("bericht.csv");
    const std::vector<std::string> users = {dir.write("bericht.csv.tmp", "meine Notizen"),
                                            dir.write("bericht.csv.keys.tmp", "mehr Notizen")};
    const std::string otherPool = dir.file("zweiter.db");
    ASSERT_EQ(run({"init-db", otherPool}).exitCode, 0);
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    const auto convertInto = [&](const std::string& pool, const char* outDir) {
        return std::async(std::launch::async, [&, pool, outDir] {
            return testing_support::runCli({"convert", "--adr", adrDir(), "--db", pool, "--report", report},
                                           dir.file(outDir));
        });
    };
    auto first = convertInto(datenpool(), "a");
    auto second = convertInto(otherPool, "b");
    for (const CliRun& converted : {first.get(), second.get()}) EXPECT_EQ(converted.exitCode, 0) << converted.err;

    const auto rows = reportRows(report);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRecords) + 1 + 98) << "the records, then 02A to 99A missing";
    for (int number = 1; number <= kRecords; ++number) {
        const auto& row = rows[static_cast<std::size_t>(number)];
        ASSERT_EQ(row.size(), 7u) << number;
        EXPECT_EQ(row[2], std::to_string(number));
        EXPECT_EQ(row[3], "gespeichert");
        EXPECT_EQ(row[4], std::to_string(number)) << "both Datenpools were fresh";
        EXPECT_TRUE(row[6].starts_with(std::to_string(number) + "* ⏎ ")) << row[6];
    }
    EXPECT_EQ(testing_support::readWhole(users[0]), "meine Notizen");
    EXPECT_EQ(testing_support::readWhole(users[1]), "mehr Notizen");
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.is_regular_file()) left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left, (std::set<std::string>{"bericht.csv", "bericht.csv.tmp", "bericht.csv.keys.tmp", "pool.db",
                                           "zweiter.db", "cli.out", "cli.err"}))
        << "no draft or work file left";
}

// What a note of the report is about, by its first words: "Dublette N" names the other record's
// address number; a note of any other kind stands as it is, so that it shows.
std::string kindOfNote(const std::string& note) {
    static const std::regex duplicate("mögliche Dublette von Datei \\w+, Zeile \\d+, Adressnummer (\\d+) \\(.*\\)");
    static const std::vector<std::pair<std::string, std::string>> kinds = {{"Postleitzahl ", "Postleitzahl"},
                                                                           {"E-Mail-Adresse ", "E-Mail"},
                                                                           {"Telefonnummer ", "Telefon"},
                                                                           {"Geburtsdatum ", "Geburtsdatum"},
                                                                           {"Bankleitzahl ", "Bankleitzahl"},
                                                                           {"Kontonummer ", "Kontonummer"},
                                                                           {"IBAN ", "IBAN"}};
    std::smatch match;
    if (std::regex_match(note, match, duplicate)) return "Dublette " + match[1].str();
    for (const auto& [start, kind] : kinds) {
        if (note.rfind(start, 0) == 0) return kind;
    }
    return note;
}

// The generator's corpus with planted duplicates and implausible values, among them values that
// only look odd: the report notes exactly the planted ones, each duplicate on both records, and
// the counts line counts the records that repeat an earlier one.
TEST_F(Report, NotesExactlyThePlantedDuplicatesAndImplausibleValues) {
    std::vector<bench::PlantedFlaw> planted;
    bench::writeCorpus(adrDir(), 3000, 4711, {12, 30}, &planted);
    std::multiset<std::string> expected;
    for (const bench::PlantedFlaw& flaw : planted) {
        if (flaw.kind != "Dublette") {
            expected.insert(std::to_string(flaw.number) + " " + flaw.kind);
            continue;
        }
        expected.insert(std::to_string(flaw.number) + " Dublette " + std::to_string(flaw.repeats));
        expected.insert(std::to_string(flaw.repeats) + " Dublette " + std::to_string(flaw.number));
    }
    ASSERT_EQ(expected.size(), 2u * 12u + 18u) << "12 duplicates, 18 of the 30 values noted";

    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    std::multiset<std::string> found;
    const auto rows = reportRows(report);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r][2].empty() || rows[r][5].empty()) continue;
        const std::string& notes = rows[r][5];
        for (std::size_t start = 0, end = 0; start <= notes.size(); start = end + 3) {
            end = std::min(notes.find(" | ", start), notes.size());
            found.insert(rows[r][2] + " " + kindOfNote(notes.substr(start, end - start)));
        }
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(std::regex_search(converted.err, std::regex("3[.,]?000 Datensätze gelesen: 3[.,]?000 gespeichert, 0 "
                                                            "verworfen; 42 Hinweise; 12 mögliche Dubletten; ")))
        << converted.err;
}

// Addresses already in the address table (an earlier import, or typed in): a record that repeats
// one is noted with its id there; the table itself is only read.
TEST_F(Report, ARecordThatRepeatsAnAddressInTheAddressTableNamesItsId) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier") + app_tests::completeRecord("2", "Schulz"));
    const auto pool = db::SqliteConnection::create(datenpool());
    pool->execute(
        "INSERT INTO Adressen (id, nachname, vorname, strassenr, PLZOrt, telefon1) VALUES "
        "(7, 'MEIER', 'hans', 'Hauptstraße 1', '10115 Berlin', ''), (8, 'Schulz', 'Hans', 'Am Markt 2', '99084 "
        "Erfurt', "
        "'+49 30 123'), (9, 'Schulz', 'Eva', 'Hauptstr. 1', '10115 Berlin', '030 123')");
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[1][5], "mögliche Dublette von Adresse 7 in Adressen (gleicher Name und gleiche Anschrift)");
    EXPECT_EQ(rows[2][5], "mögliche Dublette von Adresse 8 in Adressen (gleicher Name und gleiche Telefonnummer)")
        << "not 9: another first name at the same address and telephone";
    EXPECT_TRUE(
        app_tests::hasLine(converted.err,
                           "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 2 Hinweise; 2 mögliche Dubletten; "
                           "98 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
    EXPECT_EQ(db::SqliteConnection::open(datenpool())->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer(), 3);

    // An address table of another form is not compared with, and the counts say so.
    db::SqliteConnection::open(datenpool())
        ->execute("DROP TABLE Adressen; CREATE TABLE Adressen (id INTEGER PRIMARY KEY, name TEXT)");
    const CliRun again = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(app_tests::hasLine(again.err,
                                   "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 0 Hinweise; 0 "
                                   "mögliche Dubletten (ohne Abgleich mit Adressen); 98 Adressdateien "
                                   "fehlen oder sind unlesbar."))
        << again.err;
}

// A staging table without fremdid takes the rows all the same; their records cannot be paired
// with them, so the rows are counted, and the report says why it names no ids.
TEST_F(Report, AStagingTableWithoutFremdidIsCountedAndTheReportSaysWhyItNamesNoIds) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier") + app_tests::completeRecord("2", "Schulz"));
    db::SqliteConnection::create(datenpool())->execute("ALTER TABLE AdressenImport DROP COLUMN fremdid");
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});

    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_TRUE(
        app_tests::hasLine(converted.err,
                           "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 4 Hinweise; 0 mögliche Dubletten; "
                           "98 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "Die Adressen in AdressenImport ließen sich den Datensätzen nicht zuordnen (no such "
                                   "column: fremdid). Die Zahlen sind aus AdressenImport gezählt; ihre IDs nennt der "
                                   "Bericht nicht."))
        << converted.err;
    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 3u);
    for (const std::size_t row : {1u, 2u}) {
        EXPECT_EQ(rows[row][3], "gespeichert");
        EXPECT_EQ(rows[row][4], "");
        EXPECT_NE(
            rows[row][5].find("ID unbekannt: die Tabellenzeilen in AdressenImport ließen sich den Datensätzen nicht "
                              "zuordnen (no such column: fremdid); 2 von 2 dieser Datensätze sind dort "
                              "gespeichert"),
            std::string::npos)
            << rows[row][5];
    }
}

// A folder named in another encoding than UTF-8 reaches the report's notes (an address file that
// is missing): the report stays UTF-8, with U+FFFD for what cannot be shown.
TEST_F(Report, StaysUtf8ForAPathWhoseBytesAreNot) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names its folders in UTF-16";
#else
    const std::string latin1 = dir.file("M\xFCller");
    std::filesystem::create_directories(latin1);
    dir.write("M\xFCller/01A", app_tests::completeRecord("1", "Meier"));
    const std::string report = dir.file("bericht.jsonl");
    const CliRun converted = run({"convert", "--adr", latin1, "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    const std::string written = testing_support::readWhole(report);
    EXPECT_EQ(written.find('\xFC'), std::string::npos);
    EXPECT_NE(written.find("M\xEF\xBF\xBDller/02A"), std::string::npos) << written.substr(0, 600);
#endif
}

// Report names are typed in either case on Windows.
TEST_F(Report, AWorkbookTakesItsNameWhenWhole) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier"));
    const std::string report = dir.file("bericht.xlsx");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(testing_support::readWhole(report).rfind("PK", 0), 0u);  // a zip archive
    EXPECT_FALSE(std::filesystem::exists(report + ".part"));
}

TEST_F(Report, AnEndingInCapitalsIsTakenAsItsFormat) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier"));
    const std::string report = dir.file("BERICHT.JSONL");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(testing_support::readWhole(report).rfind("{\"Datei\":\"01A\",", 0), 0u);
}

// A full disk: the report's work file cannot be written to its end. The earlier report of that
// name stays as it was, the report cut short stands beside it and says so, and the message names
// the write that failed, not a read.
TEST_F(Report, AReportThatCannotBeWrittenLeavesTheEarlierOneAndSaysWhatFailed) {
#ifdef _WIN32
    GTEST_SKIP() << "no file size limit to stand for a full disk";
#else
    // Records with a long bank line, whole in the work file, of which the Datenpool keeps 50
    // characters: the work file grows beyond the limit below, the Datenpool does not. Of other
    // names, so that no record's row in the report grows by notes on likely duplicates beyond
    // its entry in the work file: what the work file holds fits the report.
    std::string records;
    for (int number = 1; number <= 1000; ++number) {
        records += app_tests::adrLines({std::to_string(number) + "*", "1#Herr", "Hans", "Name" + std::to_string(number),
                                        "Weg 1", "10115 Berlin", "", std::string(200, 'x')});
    }
    writeAdr("01A", records);
    const std::string earlier = dir.write("bericht.csv", "der Bericht von gestern");

    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write beyond it fails instead
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", earlier});
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);

    EXPECT_EQ(converted.exitCode, 1) << converted.err;
    EXPECT_EQ(app_tests::stagingColumn(datenpool(), "fremdid").size(), 1000u) << converted.err;
    EXPECT_EQ(testing_support::readWhole(earlier), "der Bericht von gestern");
    EXPECT_NE(converted.err.find("Der Bericht ist unvollständig: Die Arbeitsdatei des Berichts ließ sich nicht "
                                 "vollständig schreiben; der Bericht endet nach "),
              std::string::npos)
        << converted.err;
    EXPECT_NE(
        converted.err.find("Er steht in " + earlier + ".part. Der frühere Bericht " + earlier + " bleibt, wie er war."),
        std::string::npos)
        << converted.err;
    const auto draft = reportRows(earlier + ".part");
    ASSERT_FALSE(draft.empty());
    EXPECT_EQ(draft.back()[3], "Bericht unvollständig");
    // What reached the work file is reported: the records up to the limit, some 550 of them when
    // the rows are written at once, some 330 when the original lines, which do not wait for the
    // rows written behind, took up the file ahead of their records.
    EXPECT_GT(draft.size(), 250u);
    EXPECT_EQ(converted.err.find("nicht lesen"), std::string::npos) << converted.err;
#endif
}

// convert-one that finds its address but cannot write its row has not done its work: exit 1,
// as convert exits 1 when the Datenpool cannot take its run.
TEST_F(Report, ConvertOneWhoseRowIsNotWrittenEndsWithExitCodeOne) {
    writeAdr("45A", app_tests::completeRecord("745", "Meier"));
    db::SqliteConnection::create(datenpool())
        ->execute("CREATE TRIGGER refuse BEFORE INSERT ON AdressenImport BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    const CliRun refused = run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool()});
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_TRUE(app_tests::hasLine(refused.err, "Die Adresse 745 wurde nicht in AdressenImport gespeichert."))
        << refused.err;
    EXPECT_TRUE(app_tests::hasLine(refused.err,
                                   "Der Datenpool hat die Adresse nicht gespeichert: gesperrt (Datei 45A, Zeile 8)"))
        << refused.err;
    EXPECT_TRUE(app_tests::stagingColumn(datenpool(), "fremdid").empty());

    db::SqliteConnection::open(datenpool())->execute("DROP TRIGGER refuse");
    const testing_support::ReadOnly readOnly(datenpool());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
    const CliRun unwritable = run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool()});
    EXPECT_EQ(unwritable.exitCode, 1) << unwritable.err;
    EXPECT_TRUE(app_tests::stagingColumn(datenpool(), "fremdid").empty());
}

// Random address files: whatever they hold, every record read is saved or discarded, the saved
// ones are exactly the staging rows, and the report has one row per record and unreadable file.
TEST(RecordCounts, AddUpOnRandomInput) {
    std::mt19937 random(20240611);
    const std::vector<std::string> pieces{"*",
                                          "4711*",
                                          " 12 *",
                                          "",
                                          "1#Herr",
                                          "2#&Hallo",
                                          "Hans#Frau",
                                          "Meier",
                                          "   ",
                                          "Aû Essen",
                                          "#Familie",
                                          "x\r",
                                          "y\n",
                                          std::string(1, '\0'),
                                          "\xFF\xFF",
                                          "<PL>1</PL>",
                                          std::string(210, 'z'),
                                          "Müller**1.1.70*geb. X",
                                          "9*",
                                          "Weg 1ûPLZ²Fach•Tel·Sel"};
    for (int round = 0; round < 12; ++round) {
        testing_support::TempDir dir;
        std::filesystem::create_directories(dir.path() / "ADR");
        for (int file = 1; file <= 99; ++file) {
            if (random() % 4 == 0) continue;  // missing
            std::string bytes;
            for (int n = static_cast<int>(random() % 40); n > 0; --n) {
                bytes += pieces[random() % pieces.size()] + pieces[random() % pieces.size()];
                if (random() % 8) bytes += "\r\n";
            }
            char name[4];
            std::snprintf(name, sizeof name, "%02dA", file);
            dir.write(std::string("ADR/") + name, bytes);
        }
        // The same run three ways: paired from the table, paired while its list is read, and
        // with the report written while the list is read.
        enum Way { fromTable, whileListed, reportAhead };
        std::string reports[3];
        review::RecordCounts pairedFromTable;
        for (const Way way : {fromTable, whileListed, reportAhead}) {
            const auto connection = db::SqliteConnection::create(dir.file("pool" + std::to_string(way) + ".db"));
            testing_support::RecordingEvents events;
            adr::FieldMapper mapper(events);
            std::stringstream spill;
            review::MigrationRecords records(&spill);
            ReportInMemory report{TableFormat::jsonl};
            if (way == reportAhead) records.reportWhileListed(report.opener());
            mapper.setObserver(&records);
            const app::ListedRowSink rowListed = way != fromTable ? records.pairWhileListed() : nullptr;
            const app::ConversionOutcome outcome = app::convertDirectory(
                *connection, mapper, events, dir.file("ADR"), [](const std::string&) { return true; }, rowListed);
            ASSERT_EQ(outcome.ending, app::ConversionOutcome::Ending::finished);
            records.listEnded(outcome.listComplete);
            EXPECT_TRUE(records.settle(connection.get(), "SELECT id, fremdid FROM AdressenImport ORDER BY id",
                                       report.opener()));
            EXPECT_EQ(report.begun, 1) << "round " << round;
            reports[way] = report.out.str();
            if (way == fromTable) {
                pairedFromTable = records.counts();
                continue;
            }
            const auto fromList = testing_support::lines(reports[way]);
            const auto fromQuery = testing_support::lines(reports[fromTable]);
            ASSERT_EQ(fromList.size(), fromQuery.size()) << "round " << round;
            for (std::size_t i = 0; i < fromList.size(); ++i) ASSERT_EQ(fromList[i], fromQuery[i]) << "round " << round;
            EXPECT_EQ(records.counts().saved, pairedFromTable.saved) << "round " << round;

            const review::RecordCounts& counts = records.counts();
            EXPECT_EQ(counts.read, outcome.recordsStarted) << "round " << round;
            EXPECT_EQ(counts.read, counts.saved + counts.discarded) << "round " << round;
            EXPECT_EQ(counts.saved, connection->execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer())
                << "round " << round;
            const auto rows = testing_support::lines(reports[way]);
            EXPECT_EQ(static_cast<std::int64_t>(rows.size()), counts.read + counts.filesUnreadable)
                << "round " << round;
            std::int64_t saved = 0;
            for (const auto& row : rows) saved += row.find("\"Ergebnis\":\"gespeichert\"") != std::string::npos;
            EXPECT_EQ(saved, counts.saved) << "round " << round;
        }
    }
}

}  // namespace

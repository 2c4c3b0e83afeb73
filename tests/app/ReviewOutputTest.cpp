// What the office reviews a migration with: the cells of CSV and JSON Lines, and the export of
// a Datenpool table, read back by a program of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "ConvertWithCli.h"
#include "adr/FieldMapper.h"
#include "adr/LineReader.h"
#include "app/Conversion.h"
#include "app/ListedIds.h"
#include "app/MigrationRecords.h"
#include "app/NumberLog.h"
#include "app/TableWriter.h"
#include "db/Backends.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/ReadOnly.h"
#include "support/RecordingEvents.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using app::TableFormat;
using testing_support::CliRun;

TEST(TableCells, CsvQuotesOnlyWhatASpreadsheetWouldSplit) {
    EXPECT_EQ(app::csvCell("Meier, Hans"), "Meier, Hans");
    EXPECT_EQ(app::csvCell("a;b"), "\"a;b\"");
    EXPECT_EQ(app::csvCell("12\" Zoll"), "\"12\"\" Zoll\"");
    EXPECT_EQ(app::csvCell("Zeile 1\r\nZeile 2"), "\"Zeile 1\r\nZeile 2\"");
    EXPECT_EQ(app::csvCell("x\ny"), "\"x\ny\"");
    EXPECT_EQ(app::csvCell(""), "");
    // Short and long cells are looked through in different ways.
    const std::string plain(40, 'x');
    EXPECT_EQ(app::csvCell(plain), plain);
    for (const char c : {';', '"', '\r', '\n'}) {
        for (const std::size_t length : {std::size_t{32}, std::size_t{33}, std::size_t{200}}) {
            const std::string cell = std::string(length - 1, 'x') + c;
            EXPECT_EQ(app::csvCell(cell).front(), '"') << length << " " << int{c};
        }
    }
}

TEST(TableCells, JsonEscapesQuotesBackslashAndControlCharacters) {
    EXPECT_EQ(app::jsonString("Müller \"Hans\""), "\"Müller \\\"Hans\\\"\"");
    EXPECT_EQ(app::jsonString("C:\\ADR"), "\"C:\\\\ADR\"");
    EXPECT_EQ(app::jsonString("a\nb\rc\td"), "\"a\\nb\\rc\\td\"");
    EXPECT_EQ(app::jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(app::jsonString("Straße ⏎ Weg"), "\"Straße ⏎ Weg\"");
}

TEST(TableCells, FormatFollowsTheFileEnding) {
    EXPECT_EQ(app::tableFormatOf("bericht.csv"), TableFormat::csv);
    EXPECT_EQ(app::tableFormatOf("/tmp/bericht.jsonl"), TableFormat::jsonl);
    EXPECT_EQ(app::tableFormatOf("bericht.txt"), std::nullopt);
    EXPECT_EQ(app::tableFormatOf("csv"), std::nullopt);
    // Windows users type endings in either case.
    EXPECT_EQ(app::tableFormatOf("BERICHT.CSV"), TableFormat::csv);
    EXPECT_EQ(app::tableFormatOf("bericht.JsonL"), TableFormat::jsonl);
}

TEST(TableWriting, CsvHasByteOrderMarkHeaderAndEmptyCellForNull) {
    std::ostringstream out;
    app::TableWriter writer(out, TableFormat::csv, {"id", "nachname", "Geburtstag"});
    writer.row({"1", "Meier; Söhne", std::nullopt});
    EXPECT_EQ(out.str(), "\xEF\xBB\xBFid;nachname;Geburtstag\r\n1;\"Meier; Söhne\";\r\n");
}

TEST(TableWriting, JsonLinesKeepTheColumnNamesAsKeysAndNullAsNull) {
    std::ostringstream out;
    app::TableWriter writer(out, TableFormat::jsonl, {"id", "nachname", "Geburtstag"});
    writer.row({"1", "Meier", std::nullopt});
    writer.row({"2", "", "1970-01-31"});
    EXPECT_EQ(out.str(),
              "{\"id\":\"1\",\"nachname\":\"Meier\",\"Geburtstag\":null}\n"
              "{\"id\":\"2\",\"nachname\":\"\",\"Geburtstag\":\"1970-01-31\"}\n");
}

// A path of another encoding (a Linux folder named in Latin-1) must not make the file unreadable
// as UTF-8: what is no UTF-8 becomes U+FFFD, and every character that is stays as it was.
TEST(TableWriting, BytesThatAreNoUtf8BecomeTheReplacementCharacter) {
    std::ostringstream csv;
    app::TableWriter csvWriter(csv, TableFormat::csv, {"Hinweise", "Original"});
    csvWriter.row({"/home/M\xFCller/ADR fehlt", "Weiß \xC3"});
    EXPECT_EQ(csv.str(), "\xEF\xBB\xBFHinweise;Original\r\n/home/M\xEF\xBF\xBDller/ADR fehlt;Weiß \xEF\xBF\xBD\r\n");
    std::ostringstream jsonl;
    app::TableWriter jsonWriter(jsonl, TableFormat::jsonl, {"a"});
    jsonWriter.row({"\xED\xA0\x80 \xF0\x9F\x98\x80"});  // a surrogate is no UTF-8; U+1F600 is
    EXPECT_EQ(jsonl.str(), "{\"a\":\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80\"}\n");
}

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

TEST_F(Export, JsonLinesOnStdoutWithNullAndUnchangedTexts) {
    const CliRun exported = run({"export", "--db", pool, "--format", "jsonl"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const auto rows = testing_support::lines(exported.out);
    ASSERT_EQ(rows.size(), 2u) << exported.out;
    EXPECT_NE(rows[0].find("\"fremdid\":\"4711\""), std::string::npos) << rows[0];
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

// The cells of a report row in CSV (no cell of these tests holds a quote or a line break).
std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> result;
    std::string cell;
    bool quoted = false;
    for (const char c : row) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            result.push_back(cell);
            cell.clear();
        } else {
            cell += c;
        }
    }
    result.push_back(cell);
    return result;
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
    EXPECT_NE(rows[4][3], "");
    EXPECT_EQ(rows[5][0], "03A");
    EXPECT_EQ(rows[5][4], stagedId("31"));
    // Every file from "04A" on is missing as well.
    EXPECT_EQ(rows.size(), 6u + 96u);
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "4 Datensätze gelesen: 3 gespeichert, 1 verworfen; 4 Hinweise; "
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
    EXPECT_EQ(rows[1][5], "Ein Nullbyte in Spalte 2 ergibt kein Zeichen");
    EXPECT_EQ(rows[2][1], "301");
    EXPECT_EQ(rows[2][6].rfind("12* ⏎ 1#Herr", 0), 0u) << rows[2][6];
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 1 Hinweise; "
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
    EXPECT_EQ(rows[0].rfind(
                  "{\"Datei\":\"45A\",\"Zeile\":\"1\",\"Adressnummer\":\"745\",\"Ergebnis\":\"gespeichert\",\"ID\":\"" +
                      stagedId("745") + "\",\"Hinweise\":\"\",\"Original\":\"745* ⏎ 1#Herr",
                  0),
              0u)
        << rows[0];
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
    EXPECT_EQ(rows[1][5], "von der Datenbank nicht gespeichert: gesperrt");
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "Die Datenbank hat die Zeile nicht gespeichert: gesperrt (Datei 01A, Zeile 8)"))
        << converted.err;
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "1 Datensätze gelesen: 0 gespeichert, 1 verworfen; 1 Hinweise; "
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
        EXPECT_TRUE(std::regex_search(converted.err,
                                      std::regex("1[.,]?200 Datensätze gelesen: 1[.,]?199 gespeichert, 1 verworfen; "
                                                 "1 Hinweise; 98 Adressdateien fehlen oder sind unlesbar\\.")))
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
    const CliRun refused =
        run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", dir.file("fehlt/bericht.csv")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("lässt sich nicht anlegen"), std::string::npos) << refused.err;
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

// A staging table without fremdid takes the rows all the same; their records cannot be paired
// with them, so the rows are counted, and the report says why it names no ids.
TEST_F(Report, AStagingTableWithoutFremdidIsCountedAndTheReportSaysWhyItNamesNoIds) {
    writeAdr("01A", app_tests::completeRecord("1", "Meier") + app_tests::completeRecord("2", "Schulz"));
    db::SqliteConnection::create(datenpool())->execute("ALTER TABLE AdressenImport DROP COLUMN fremdid");
    const std::string report = dir.file("bericht.csv");
    const CliRun converted = run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});

    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 4 Hinweise; "
                                   "98 Adressdateien fehlen oder sind unlesbar."))
        << converted.err;
    EXPECT_TRUE(app_tests::hasLine(converted.err,
                                   "Die Zeilen in AdressenImport ließen sich den Datensätzen nicht zuordnen (no such "
                                   "column: fremdid). Die Zahlen sind aus den Zeilen gezählt; ihre IDs nennt der "
                                   "Bericht nicht."))
        << converted.err;
    const auto rows = reportRows(report);
    ASSERT_GE(rows.size(), 3u);
    for (const std::size_t row : {1u, 2u}) {
        EXPECT_EQ(rows[row][3], "gespeichert");
        EXPECT_EQ(rows[row][4], "");
        EXPECT_NE(rows[row][5].find("ID unbekannt: die Zeilen in AdressenImport ließen sich den Datensätzen nicht "
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
    // characters: the work file grows beyond the limit below, the Datenpool does not.
    std::string records;
    for (int number = 1; number <= 1000; ++number) {
        records += app_tests::adrLines({std::to_string(number) + "*", "1#Herr", "Hans", "Name", "Weg 1", "10115 Berlin",
                                        "", std::string(200, 'x')});
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
    EXPECT_TRUE(
        app_tests::hasLine(refused.err, "Die Datenbank hat die Zeile nicht gespeichert: gesperrt (Datei 45A, Zeile 8)"))
        << refused.err;
    EXPECT_TRUE(app_tests::stagingColumn(datenpool(), "fremdid").empty());

    db::SqliteConnection::open(datenpool())->execute("DROP TRIGGER refuse");
    const testing_support::ReadOnly readOnly(datenpool());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
    const CliRun unwritable = run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool()});
    EXPECT_EQ(unwritable.exitCode, 1) << unwritable.err;
    EXPECT_TRUE(app_tests::stagingColumn(datenpool(), "fremdid").empty());
}

// A report in memory, begun anew each time it is opened.
struct ReportInMemory {
    explicit ReportInMemory(TableFormat of) : format(of) {}
    TableFormat format;
    std::ostringstream out;
    std::optional<app::TableWriter> writer;
    int begun = 0;
    app::ReportOpener opener() {
        return [this]() -> app::TableWriter& {
            ++begun;
            out.str("");
            return writer.emplace(out, format, app::MigrationRecords::reportColumns());
        };
    }
};

adr::Line lineOf(const std::string& text, std::uint64_t characters = 0) {
    adr::Line line;
    line.text = text;
    line.characters = characters ? characters : text.size();
    return line;
}

// Notes and original lines reach the report with every byte they hold: separators, quotes,
// line breaks, null bytes, and a record longer than the blocks the work file is written in.
TEST(ReportRows, CarryEveryByteOfNotesAndOriginalLines) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    std::stringstream spill;
    app::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 7);
    records.lineRead(lineOf("Meier; \"Hans\"\r\nx"));
    records.note(std::string("a\0b", 3));
    records.lineRead(lineOf("kurz", 100000));
    records.recordEnded(true);
    records.fileUnreadable("02A", "fehlt; \"weg\"");
    records.recordStarted("01A", 9, 2.5);
    std::string longOriginal = "z";
    records.lineRead(lineOf("z"));
    for (int i = 0; i < 199; ++i) {
        records.lineRead(lineOf(std::string(200, static_cast<char>('a' + i % 26))));
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
                                    "02A;;;\"fehlt; \"\"weg\"\"\";;;\r\n"
                                    "01A;9;2.5;verworfen;;nicht in AdressenImport gespeichert;" +
                                    longOriginal +
                                    "\r\n"
                                    "01A;812;;verworfen;;;\r\n");
    const app::RecordCounts& counts = records.counts();
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
    app::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 7);
    std::string kept = "7*";
    records.lineRead(lineOf("7*"));
    for (int i = 2; i <= 100192; ++i) {
        records.lineRead(lineOf("z" + std::to_string(i)));
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

// A work file cut short is no complete report, and still every record is counted.
TEST(ReportRows, AWorkFileCutShortIsNoCompleteReport) {
    const auto readThreeRecords = [](app::MigrationRecords& records) {
        for (int n = 1; n <= 3; ++n) {
            records.recordStarted("01A", static_cast<std::uint64_t>(n), n);
            records.lineRead(lineOf(std::to_string(n) + "*"));
            records.recordEnded(true);
        }
    };
    std::stringstream whole;
    app::MigrationRecords wholeRecords(&whole);
    readThreeRecords(wholeRecords);
    wholeRecords.settle(nullptr, "");

    FullDisk disk(static_cast<std::streamsize>(whole.str().size()) - 2);
    std::iostream spill(&disk);
    app::MigrationRecords records(&spill);
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
              "{\"Datei\":\"\",\"Zeile\":\"\",\"Adressnummer\":\"\",\"Ergebnis\":\"Bericht "
              "unvollständig\",\"ID\":\"\",\"Hinweise\":\"" +
                  cutShort + "\",\"Original\":\"\"}");
    EXPECT_EQ(records.reportCutShort(), cutShort);
    EXPECT_EQ(records.counts().read, 3);
    EXPECT_EQ(records.counts().discarded, 3);
}

// A work file whose writing failed during the run (a full disk) holds fewer records than were
// read: the report says so in its last row, even though what the file holds reads back whole.
TEST(ReportRows, AWorkFileThatCouldNotBeWrittenIsNoCompleteReport) {
    std::stringstream spill;
    app::MigrationRecords records(&spill);
    records.recordStarted("01A", 1, 1);
    records.recordEnded(false);
    records.recordStarted("01A", 9, 2);  // the first record's entry goes to the work file here
    spill.setstate(std::ios::badbit);    // as a failed write leaves it
    records.recordEnded(false);
    ReportInMemory report{TableFormat::csv};
    EXPECT_FALSE(records.settle(nullptr, "", report.opener()));
    const auto rows = testing_support::lines(report.out.str());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(cells(rows[1])[1], "1");
    EXPECT_EQ(cells(rows[2])[3], "Bericht unvollständig");
    EXPECT_EQ(cells(rows[2])[5],
              "Die Arbeitsdatei des Berichts ließ sich nicht vollständig schreiben; der Bericht endet nach 1 von 2 "
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
        app::RecordCounts counts;
    };
    const std::vector<Case> cases{{"SELECT 4", "gespeichert", {4, 4, 0, 2, 0, 0}},
                                  {"SELECT 3", "unbekannt", {4, 3, 1, 2, 0, 0}},
                                  {"SELECT 2", "verworfen", {4, 2, 2, 2, 0, 0}},
                                  {"", "unbekannt", {4, 2, 0, 2, 0, 2}},
                                  {"SELECT * FROM fehlt", "unbekannt", {4, 2, 0, 2, 0, 2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.countQuery);
        std::stringstream spill;
        app::MigrationRecords records(&spill);
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
        const app::RecordCounts& counts = records.counts();
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
    app::MigrationRecords records(&spill);
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
    EXPECT_NE(records.pairingFailure().find("mehr als 1000 Zeilen"), std::string::npos) << records.pairingFailure();
    EXPECT_EQ(records.counts().saved, 1);
    EXPECT_EQ(records.counts().unknown, 1);
}

TEST(RecordCounts, AnUnknownSavedCountIsSaidAndWhereToLook) {
    app::RecordCounts counts{1000000, 451997, 1, 548002, 0, 548002};
    EXPECT_EQ(app::countsLine(counts, "."),
              "1.000.000 Datensätze gelesen: gespeichert unbekannt (451.997 bestätigt, 548.002 ungeprüft: siehe "
              "AdressenImport), 1 verworfen; 548.002 Hinweise; 0 Adressdateien fehlen oder sind unlesbar.");
    counts.unknown = 0;
    EXPECT_EQ(app::countsLine(counts, "."),
              "1.000.000 Datensätze gelesen: 451.997 gespeichert, 1 verworfen; 548.002 Hinweise; 0 Adressdateien "
              "fehlen oder sind unlesbar.");
}

// A report that cannot be begun (its file gone unwritable during the run) is told as a failure,
// and the counts still add up: no saved address is said to be lost.
TEST(ReportRows, AReportThatCannotBeBegunStillLeavesEveryRecordCounted) {
    testing_support::TempDir dir;
    const auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    std::stringstream spill;
    app::MigrationRecords records(&spill);
    for (const double number : {7.0, 8.0}) {
        records.recordStarted("01A", static_cast<std::uint64_t>(number), number);
        records.recordEnded(true);
    }
    const app::ReportOpener unwritable = []() -> app::TableWriter& {
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
            app::MigrationRecords records(&spill);
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
    app::MigrationRecords records(&spill);
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
    app::ListedIds ids;
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

    app::ListedIds dropped;
    dropped.add(1);
    dropped.end(false);
    EXPECT_THROW(dropped.next(), app::ListedIds::Dropped);

    app::ListedIds abandoned;
    abandoned.stopReading();
    for (std::int64_t id = 1; id <= kIds; ++id) abandoned.add(id);  // would wait forever for a reader
    abandoned.end(true);
}

// The address numbers of the records handed on come back exactly as they went in.
TEST(ReportRows, NumberLogGivesBackEveryNumberInOrder) {
    const std::vector<std::optional<double>> numbers{
        1, 2, 3, std::nullopt, 1000000, -5, 0, -0.0, 2.5, 1e15, -1e15, 1e300, 9007199254740992.0, -9007199254740994.0,
        4, 3};
    app::NumberLog log;
    for (const auto& number : numbers) log.add(number);
    app::NumberLog::Reader reader = log.reader();
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
        app::RecordCounts pairedFromTable;
        for (const Way way : {fromTable, whileListed, reportAhead}) {
            const auto connection = db::SqliteConnection::create(dir.file("pool" + std::to_string(way) + ".db"));
            testing_support::RecordingEvents events;
            adr::FieldMapper mapper(events);
            std::stringstream spill;
            app::MigrationRecords records(&spill);
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

            const app::RecordCounts& counts = records.counts();
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

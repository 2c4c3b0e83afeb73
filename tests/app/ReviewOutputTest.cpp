// What the office reviews a migration with: the cells of CSV and JSON Lines, and the export of
// a Datenpool table, read back by a program of its own.

#include <gtest/gtest.h>

#include <sstream>

#include "ConvertWithCli.h"
#include "app/TableWriter.h"
#include "db/sqlite/SqliteConnection.h"

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
    const int status = std::system(("python3 " + testing_support::quoted(script) + " " + testing_support::quoted(csv) + " " +
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
    const CliRun exported = run({"export", "--db", "Provider=SQLite; Data Source=" + pool + ";", "--table", "Adressen"});
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

}  // namespace

// A Datenpool that cannot take a conversion, through the real anschriftenwandler-cli: locked by
// another program, read-only (the file, or the folder it lies in), without its staging table,
// unreachable, or no database at all. The tool says so in German, ends with exit code 1, writes no
// list, and the staging table keeps the rows of the previous run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ConvertWithCli.h"
#include "db/FullPath.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/AnotherHolder.h"
#include "support/HostPath.h"
#include "support/ReadOnly.h"

namespace {

using namespace app_tests;

class UnusableDatenpool : public RefusedRun {
protected:
    // Converts while another connection of this process holds the Datenpool as sql left it.
    CliRun convertWhileAnotherHolds(const std::string& sql) const {
        return testing_support::whileAnotherHolds(datenpool(), sql, [&] { return convert(); });
    }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(UnusableDatenpool, WriteTransactionOfAnotherProgramRefusesTheRun) {
    const CliRun result =
        convertWhileAnotherHolds("BEGIN IMMEDIATE; INSERT INTO AdressenImport (nachname) VALUES ('fremd');");

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "ist gesperrt, weil ein anderes Programm gerade darin arbeitet")) << result.err;
}

TEST_F(UnusableDatenpool, ExclusiveLockOfAnotherProgramRefusesTheRunWithoutBlamingTheScript) {
    const CliRun result = convertWhileAnotherHolds("BEGIN EXCLUSIVE;");

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "ist gesperrt, weil ein anderes Programm gerade darin arbeitet")) << result.err;
    EXPECT_FALSE(contains(result.err, "Datenbankskript")) << result.err;
}

TEST_F(UnusableDatenpool, ReaderThatOutlastsTheRunMakesItFailNotSucceed) {
    // The run gets its write lock, but its commit waits for the reader in vain; the whole
    // run is rolled back, and that must not be reported as a conversion, nor its record in the
    // report as saved (the report was begun before the commit).
    const std::string report = dir.file("bericht.jsonl");
    const CliRun result =
        testing_support::whileAnotherHolds(datenpool(), "BEGIN; SELECT count(*) FROM AdressenImport;", [&] {
            return run({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report});
        });

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "Die konvertierten Adressen ließen sich nicht speichern")) << result.err;
    EXPECT_FALSE(contains(result.err, "Adressen konvertiert nach")) << result.err;
    std::ifstream written(report);
    std::string row;
    ASSERT_TRUE(std::getline(written, row));
    EXPECT_TRUE(contains(row, "\"Zeile\":1,\"Adressnummer\":1,\"Ergebnis\":\"verworfen\",\"ID\":null")) << row;
    while (std::getline(written, row)) EXPECT_TRUE(contains(row, "\"Ergebnis\":\"fehlt\"")) << row;
}

TEST_F(UnusableDatenpool, ReadOnlyFileRefusesTheRun) {
    const testing_support::ReadOnly readOnly(datenpool());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only for root";

    const CliRun result = convert();

    expectRefused(result, 1);
    EXPECT_EQ(result.err, "Der Datenpool \"" + db::fullPath(datenpool()) +
                              "\" ist schreibgeschützt: die Datei lässt sich nicht beschreiben. Konvertieren, "
                              "Importieren und Löschen sind so nicht möglich.\n");
}

TEST_F(UnusableDatenpool, FileThatIsNoDatenpoolIsRefusedAndLeftAsItWas) {
    const std::string notADatabase = "Dies ist eine Textdatei und kein Datenpool.\n";
    const std::string file = dir.write("notizen.txt", notADatabase);

    const CliRun result = run({"convert", "--adr", adrDir(), "--db", file});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(contains(result.err, "Die Datei '" + file + "' ist kein Datenpool")) << result.err;
    EXPECT_FALSE(contains(result.err, "Datenbankskript")) << "the script would not mend a text file: " << result.err;
    EXPECT_EQ(testing_support::readWhole(file), notADatabase);
}

TEST_F(UnusableDatenpool, EmptyFileAndCutShortCopyAreNoDatenpool) {
    const std::string whole = testing_support::readWhole(datenpool());
    const std::string empty = dir.write("leer.db", "");
    const std::string cutShort = dir.write("halb.db", whole.substr(0, whole.size() / 3));

    for (const std::string& file : {empty, cutShort}) {
        const CliRun result = run({"convert", "--adr", adrDir(), "--db", file});
        EXPECT_EQ(result.exitCode, 1) << file;
        EXPECT_EQ(result.out, "") << file;
        EXPECT_TRUE(contains(result.err, "Die Datei '" + file + "' ist kein Datenpool")) << result.err;
        EXPECT_FALSE(contains(result.err, "Datenbankskript")) << result.err;
    }
    EXPECT_EQ(testing_support::readWhole(empty), "") << "no Datenpool is made of an existing file";
}

TEST_F(UnusableDatenpool, DatenpoolWithoutStagingTableIsNamedWithTheScriptAdviceThroughEitherBackend) {
    db::SqliteConnection::open(datenpool())->runScript("DROP TABLE AdressenImport");
    const std::string cause =
        "\" fehlt die Tabelle AdressenImport; ohne sie lässt sich nichts konvertieren. Führen Sie das aktuelle "
        "Datenbankskript aus.\n";

    const CliRun embedded = convert();
    EXPECT_EQ(embedded.exitCode, 1);
    EXPECT_EQ(embedded.out, "");
    EXPECT_EQ(embedded.err, "Im Datenpool \"" + db::fullPath(datenpool()) + cause);

    // The driver names the file in its own way (under Wine, as the host does).
    const CliRun odbc = run(
        {"convert", "--adr", adrDir(), "--db", "Driver=SQLite3;Database=" + testing_support::hostPath(datenpool())});
    EXPECT_EQ(odbc.exitCode, 1);
    EXPECT_EQ(odbc.out, "");
    EXPECT_TRUE(odbc.err.starts_with("Im Datenpool \"") && odbc.err.ends_with(cause)) << odbc.err;
}

TEST_F(UnusableDatenpool, UnreachableDatenpoolIsToldAsSuchWithTheDriversText) {
    const CliRun result = run({"convert", "--adr", adrDir(), "--db", "Driver=Kein Treiber;Server=nirgends"});

    expectRefused(result, 1);
#ifdef _WIN32
    // Windows' driver manager says of a driver it does not know that the data source is not found;
    // Wine's passes the host's unixODBC text on, which the sentence on the driver comes before.
    EXPECT_EQ(result.err.rfind("Keine Verbindung zum Datenpool: ", 0), 0u) << result.err;
    EXPECT_TRUE(result.err.find("Keine Verbindung zum Datenpool: [") == 0 ||
                result.err.find("Der Treiber-Manager meldet: [") != std::string::npos)
        << "the driver manager's text follows: " << result.err;
#else
    EXPECT_EQ(result.err.rfind("Keine Verbindung zum Datenpool: Der ODBC-Treiber, den die Verbindung mit Driver= "
                               "nennt, ließ sich nicht laden. Tragen Sie einen installierten Treiber ein, in den "
                               "Verbindungsparametern des Datenbankprofils oder in der Verbindungszeichenfolge. Der "
                               "Treiber-Manager meldet: [unixODBC][Driver Manager]Can't open lib 'Kein Treiber'",
                               0),
              0u)
        << "what failed and what to do, then the driver manager's text: " << result.err;
#endif
}

TEST_F(UnusableDatenpool, ReadOnlyFolderIsToldBeforeTheRunAndListsNothingOld) {
    // The file itself may be written, but no journal can be made beside it.
    const testing_support::ReadOnly readOnly(dir.path().string());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the folder read-only";

    const CliRun result = convert();

    expectRefused(result, 1);
    EXPECT_EQ(result.err, "Der Datenpool \"" + db::fullPath(datenpool()) + "\" ist schreibgeschützt: im Ordner \"" +
                              dir.path().string() +
                              "\" lässt sich keine Datei anlegen; dort legt der Datenpool beim Schreiben sein Journal "
                              "an. Konvertieren, Importieren und Löschen sind so nicht möglich.\n");
}

// A Datenpool path too long to open is told as such, with its length and the limit, whether the
// file is new or already there: a name longer than the file system allows, or folders deeper
// than the database opens.
TEST_F(UnusableDatenpool, PathTooLongToOpenIsToldWithItsLength) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows counts in characters of its own, and makes no folders this deep";
#else
    const CliRun longName = run({"convert", "--adr", adrDir(), "--db", dir.file(std::string(300, 'x') + ".db")});
    EXPECT_EQ(longName.exitCode, 1);
    EXPECT_TRUE(contains(longName.err,
                         "' lässt sich nicht öffnen: ein Name darin ist 303 Byte lang, das "
                         "Dateisystem erlaubt höchstens 255 Byte. Bitte einen kürzeren Pfad wählen."))
        << longName.err;

    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 3; ++i) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    const std::string deepPool = (deep / "pool.db").string();
    std::filesystem::copy_file(datenpool(), deepPool);
    for (const bool exists : {true, false}) {
        if (!exists) std::filesystem::remove(deepPool);
        const CliRun deepRun = run({"convert", "--adr", adrDir(), "--db", deepPool});
        EXPECT_EQ(deepRun.exitCode, 1);
        EXPECT_TRUE(contains(deepRun.err, "' lässt sich nicht öffnen: der Pfad ist " + std::to_string(deepPool.size()) +
                                              " Byte lang, die Datenbank (SQLite) öffnet höchstens 512 Byte."))
            << deepRun.err;
    }
#endif
}

}  // namespace

// anschriftenwandler-cli check, run as the administrator runs it before a migration, on the
// embedded Datenpool and on the same file through the SQLite ODBC driver: one line per check,
// exit code 0 only when everything needed holds, and the Datenpool as it was before.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "adr/AddressFiles.h"
#include "db/Backends.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/AnotherHolder.h"
#include "support/ReadOnly.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using db_tests::Backend;
using testing_support::CliRun;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool hasLineStartingWith(const std::string& output, const std::string& start) {
    for (std::size_t at = 0; at < output.size();) {
        const std::size_t end = output.find('\n', at);
        if (output.compare(at, start.size(), start) == 0) return true;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return false;
}

class CheckCommand : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "pool");
        db::SqliteConnection::create(file())->runScript("INSERT INTO AdressenImport (nachname) VALUES ('Vorher');");
    }
    std::string file() const { return dir.file("pool/pool.db"); }
    std::string target() const {
        return GetParam() == Backend::Embedded ? file() : db_tests::odbcConnectionStringFor(file());
    }
    CliRun check(std::vector<std::string> more = {}) const {
        std::vector<std::string> words{"check", "--db", target()};
        words.insert(words.end(), more.begin(), more.end());
        return testing_support::runCli(words, dir.path().string());
    }
    CliRun checkWhileAnotherHolds(const std::string& sql) const {
        return testing_support::whileAnotherHolds(file(), sql, [&] { return check(); });
    }
    void alter(const std::string& sql) const { db::SqliteConnection::open(file())->runScript(sql); }
    // The staging table as the script makes it, with the one column declared otherwise.
    void redeclare(const std::string& declared, const std::string& replacement) const {
        const auto pool = db::SqliteConnection::open(file());
        std::string sql =
            pool->execute("SELECT sql FROM sqlite_master WHERE name = 'AdressenImport'")->value(0).toText();
        const std::size_t at = sql.find(declared);
        ASSERT_NE(at, std::string::npos) << sql;
        sql.replace(at, declared.size(), replacement);
        pool->runScript("DROP TABLE AdressenImport; " + sql + ";");
    }
    void expectFailed(const CliRun& result, const std::string& line) const {
        EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
        EXPECT_TRUE(hasLineStartingWith(result.out, line)) << result.out;
        EXPECT_TRUE(hasLineStartingWith(result.out, "Ergebnis: ")) << result.out;
    }

    testing_support::TempDir dir;
};

TEST_P(CheckCommand, GoodDatenpoolPassesEveryCheckAndIsLeftAsItWas) {
    const std::string before = testing_support::readWhole(file());

    const CliRun result = check();

    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "");
    for (const char* line : {"ok       Verschlüsselung: ", "ok       AdressenImport: vorhanden; die 27 Spalten",
                             "ok       Adressen: vorhanden;",
                             "ok       AdressImport: ", "ok       Datenpflege: ", "ok       Rechte: die Datei ",
                             "ok       Rechte: im Ordner ", "ok       Sperren: ", "ok       Probe: 1",
                             "Ergebnis: 0 Fehler, 0 Warnungen. Der Datenpool trägt die Migration."}) {
        EXPECT_TRUE(hasLineStartingWith(result.out, line)) << line << "\n" << result.out;
    }
    // Digits grouped as the locale groups them.
    EXPECT_TRUE(std::regex_search(result.out, std::regex("\nok       Probe: 1[.,]?000 Probe-Adressen in ")))
        << result.out;
    EXPECT_TRUE(hasLineStartingWith(
        result.out, GetParam() == Backend::Embedded ? "ok       Datenpool: SQLite 3." : "ok       Treiber: "))
        << result.out;
    EXPECT_EQ(testing_support::readWhole(file()), before) << "the trial is rolled back, nothing else is written";
    EXPECT_FALSE(std::filesystem::exists(file() + "-journal"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "pool"), {}), 1)
        << "no file of the check is left beside the Datenpool";
}

TEST_P(CheckCommand, MissingStagingTableFailsAndTheTrialIsLeftOut) {
    alter("DROP TABLE AdressenImport;");

    const CliRun result = check();

    expectFailed(result, "Fehler   AdressenImport: fehlt. Führen Sie das Datenbankskript aus (db/schema).");
    EXPECT_TRUE(hasLineStartingWith(result.out, "Warnung  Probe: ausgelassen: AdressenImport fehlt")) << result.out;
    EXPECT_TRUE(hasLineStartingWith(result.out, "ok       Adressen: vorhanden;")) << result.out;
}

TEST_P(CheckCommand, ColumnTooShortForTheLongestTextFailsWithItsLengths) {
    redeclare("PLZOrt            VARCHAR(255)", "PLZOrt VARCHAR(200)");

    const CliRun result = check();

    expectFailed(
        result,
        "Fehler   AdressenImport.PLZOrt: ist mit VARCHAR(200) zu kurz: das Programm schreibt bis zu 201 Zeichen "
        "hinein.");
    // The trial's longest postal code is refused for real, as a conversion's would be.
    EXPECT_TRUE(hasLineStartingWith(result.out, "Fehler   Probe: ")) << result.out;
    EXPECT_TRUE(contains(result.out, "'PLZOrt' ist 201 Zeichen lang")) << result.out;
}

TEST_P(CheckCommand, ColumnOfAnotherTypeFails) {
    redeclare("Bemerkungen       VARCHAR(255)", "Bemerkungen INTEGER");

    expectFailed(check(), "Fehler   AdressenImport.Bemerkungen: nimmt als INTEGER keinen Text.");
}

TEST_P(CheckCommand, MissingRoutineFails) {
    alter("DELETE FROM Routinen WHERE Name = 'Datenpflege';");

    const CliRun result = check();

    expectFailed(result, "Fehler   Datenpflege: fehlt in der Tabelle Routinen.");
    EXPECT_TRUE(hasLineStartingWith(result.out, "ok       AdressImport: ")) << result.out;
}

TEST_P(CheckCommand, ReadOnlyDatenpoolFailsOnItsRights) {
    const testing_support::ReadOnly readOnly(file());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only for root";

    const CliRun result = check();

    expectFailed(result, "Fehler   Rechte: die Datei ");
    EXPECT_TRUE(contains(result.out, "ist schreibgeschützt")) << result.out;
}

TEST_P(CheckCommand, FolderThatTakesNoJournalFailsOnItsRights) {
    const testing_support::ReadOnly readOnly(dir.file("pool"));
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the folder read-only for root";

    const CliRun result = check();

    expectFailed(result, "Fehler   Rechte: im Ordner ");
    EXPECT_TRUE(hasLineStartingWith(result.out, "ok       Rechte: die Datei ")) << result.out;
}

TEST_P(CheckCommand, WriteLockOfAnotherProgramFailsAndTheTrialWaitsForNothing) {
    const CliRun result =
        checkWhileAnotherHolds("BEGIN IMMEDIATE; INSERT INTO AdressenImport (nachname) VALUES ('fremd');");

    expectFailed(result, "Fehler   Sperren: ein anderes Programm schreibt gerade in den Datenpool");
    EXPECT_TRUE(hasLineStartingWith(result.out, "Warnung  Probe: ausgelassen: der Datenpool ist gerade gesperrt"))
        << result.out;
}

TEST_P(CheckCommand, OpenReadTransactionOfAnotherProgramFails) {
    expectFailed(checkWhileAnotherHolds("BEGIN; SELECT count(*) FROM AdressenImport;"),
                 "Fehler   Sperren: ein anderes Programm liest gerade im Datenpool");
}

TEST_P(CheckCommand, AdrDirectoryIsCountedAndItsConversionTimeEstimated) {
    std::filesystem::create_directories(dir.path() / "ADR");
    dir.write("ADR/01A", "1*\r\n1\r\nHans\r\nMeier\r\n2*\r\n1\r\nEva\r\nSchulz\r\n");
    dir.write("ADR/07A", "107*\r\n1\r\nOtto\r\nKrause\r\n");

    const CliRun result = check({"--adr", dir.file("ADR")});

    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(hasLineStartingWith(result.out, "ok       ADR: ADR-Verzeichnis " + dir.file("ADR") +
                                                    ": 3 Adressen; die Konvertierung dauert bei dieser Rate "))
        << result.out;
}

TEST_P(CheckCommand, DirectoryWithoutAddressFilesFails) {
    std::filesystem::create_directories(dir.path() / "leer");

    expectFailed(check({"--adr", dir.file("leer")}), "Fehler   ADR: das Verzeichnis ");
}

INSTANTIATE_FOR_BOTH_BACKENDS(CheckCommand);

class CheckCommandTarget : public ::testing::Test {
protected:
    CliRun run(const std::vector<std::string>& words) const {
        return testing_support::runCli(words, dir.path().string());
    }
    testing_support::TempDir dir;
};

TEST_F(CheckCommandTarget, MissingDatenpoolFileIsNotCreated) {
    const std::string missing = dir.file("fehlt.db");

    for (const std::string& target : {missing, "Provider=SQLite; Data Source=" + missing + "; "}) {
        const CliRun result = run({"check", "--db", target});

        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_TRUE(contains(result.err, "fehlt.db")) << result.err;
        EXPECT_FALSE(std::filesystem::exists(missing)) << target;
    }
}

TEST_F(CheckCommandTarget, BadUsageEndsWithCode2AndTheHelp) {
    for (const std::vector<std::string>& words : {std::vector<std::string>{"check", "überzählig"},
                                                  {"check", "--db", " "},
                                                  {"check", "--db", "a.db", "--registry", "b.reg"}}) {
        const CliRun result = run(words);

        EXPECT_EQ(result.exitCode, 2) << words.back();
        EXPECT_TRUE(contains(result.err, "Aufruf: anschriftenwandler-cli check")) << result.err;
    }
}

TEST_F(CheckCommandTarget, ConnectionOfTheSettingsProfileIsChecked) {
    const std::string pool = dir.file("profil.db");
    db::SqliteConnection::create(pool);
    std::string escaped;  // a .reg file doubles each backslash of a value
    for (char c : pool) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string registry =
        dir.write("office.reg",
                  "Windows Registry Editor Version "
                  "5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken]\r\n"
                  "@=\"Kanzlei\"\r\n\r\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Kanzlei\\verbindung]\r\n"
                  "\"Provider\"=\"SQLite\"\r\n\"Data Source\"=\"" +
                      escaped + "\"\r\n");

    const CliRun result = run({"check", "--registry", registry});

    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(contains(result.out, "ok       Rechte: die Datei " + pool)) << result.out;
}

TEST_F(CheckCommandTarget, ProfileWithoutConnectionKeywordsFailsAsTheWindowSaysIt) {
    const std::string registry = dir.write(
        "leer.reg",
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware]\r\n");

    const CliRun result = run({"check", "--registry", registry});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "Es sind keine Verbindungsparamter gespeichert.\n"
              "Fehler   Verbindung: Es ist kein Datenbankprofil mit Verbindungsparametern gespeichert (Einstellungen: "
              "Datei " +
                  registry +
                  "), deshalb keine Verbindung zum Datenpool: Der Datenquellenname wurde nicht gefunden, und es wurde "
                  "kein Standardtreiber angegeben. Den Datenpool mit --db ZIEL angeben (eine Datenpool-Datei oder eine "
                  "Verbindungszeichenfolge) oder mit --registry DATEI die Einstellungen, deren Datenbankprofil ihn "
                  "nennt.\n");
}

TEST_F(CheckCommandTarget, MissingSettingsFileIsToldAsSuch) {
    const std::string missing = dir.file("fehlt.reg");
    const CliRun result = run({"check", "--registry", missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Die Einstellungsdatei " + missing +
                              " gibt es nicht. Mit --registry DATEI eine vorhandene .reg-Datei "
                              "angeben.\n");
    EXPECT_FALSE(std::filesystem::exists(missing)) << "checking writes nothing";
}

#ifndef _WIN32
TEST_F(CheckCommandTarget, DriverThatCannotBeLoadedIsNamedBeforeTheDriverManagersText) {
    const CliRun result = run({"check", "--db", "Driver=Nix;Database=x.db"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind("Fehler   Verbindung: Keine Verbindung zum Datenpool: Der ODBC-Treiber, den die "
                               "Verbindung mit Driver= nennt, ließ sich nicht laden.",
                               0),
              0u)
        << result.err;
    EXPECT_NE(result.err.find("Der Treiber-Manager meldet: [unixODBC][Driver Manager]Can't open lib 'Nix'"),
              std::string::npos)
        << result.err;
}
#endif

}  // namespace

// A whole migration with the command-line tool and a settings file: convert as the window
// does, import, import again over the previous one, undo.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "db/FullPath.h"
#include "db/sqlite/SqliteConnection.h"
#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "support/ReadOnly.h"
#include "support/RunCli.h"
#include "support/StagingTable.h"
#include "support/TempDir.h"

namespace {

using testing_support::CliRun;

constexpr const char* kProfiles = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
const std::string kImportKey = std::string(kProfiles) + "\\Kanzlei\\Import";

class CliMigration : public ::testing::Test {
protected:
    CliMigration() {
        pool = dir.file("pool.db");
        db::SqliteConnection::create(pool);
        registryFile = dir.file("registry.reg");
        settings::FileRegistry registry(registryFile);
        write(registry, kProfiles, "", "Kanzlei");
        write(registry, std::string(kProfiles) + "\\Kanzlei\\verbindung", "Provider", "SQLite");
        write(registry, std::string(kProfiles) + "\\Kanzlei\\verbindung", "Data Source", pool);
        std::filesystem::create_directories(dir.path() / "ADR");
        dir.write("ADR/01A",
                  "101*\r\n1\r\nHans\r\nMeier\r\nWeg 1\r\n12345 Ort\r\n\r\n\r\n"
                  "201*\r\n2\r\nEva\r\nSchulz\r\nGasse 2\r\n54321 Stadt\r\n\r\n\r\n");
        write(registry, kImportKey, "ADR-Pfad", (dir.path() / "ADR").string());
    }
    static void write(settings::RegistryApi& registry, const std::string& key, const std::string& name,
                      const std::string& value) {
        settings::RegValueWrite(registry, settings::kCurrentUser, key, name, value, settings::kRegSz);
    }
    std::string stored(const std::string& name) {
        settings::FileRegistry registry(registryFile);
        return settings::RegValueRead(registry, settings::kCurrentUser, kImportKey, name, "<fehlt>");
    }
    CliRun run(std::vector<std::string> words) {
        words.push_back("--registry");
        words.push_back(registryFile);
        return testing_support::runCli(words, dir.path().string());
    }
    // Two runs started at the same moment, as two workstations or windows would start them.
    std::pair<CliRun, CliRun> runTogether(std::vector<std::string> first, std::vector<std::string> second) {
        for (auto* words : {&first, &second}) {
            words->push_back("--registry");
            words->push_back(registryFile);
        }
        std::filesystem::create_directories(dir.path() / "erster");
        std::filesystem::create_directories(dir.path() / "zweiter");
        CliRun firstRun;
        std::thread other([&] { firstRun = testing_support::runCli(first, (dir.path() / "erster").string()); });
        CliRun secondRun = testing_support::runCli(second, (dir.path() / "zweiter").string());
        other.join();
        return {firstRun, secondRun};
    }
    std::int64_t addresses(const std::string& where = {}) {
        return db::SqliteConnection::open(where.empty() ? pool : where)
            ->execute("SELECT COUNT(*) FROM Adressen")
            ->value(0)
            .integer();
    }

    // Everything a run on a terminal shows (its typescript): the tool's words, then
    // redirection for its command line, and what is typed.
    std::string onTerminal(const std::string& words, const std::string& redirection, const std::string& typed = {}) {
        const std::string typescript = dir.file("terminal.txt");
        const std::string command = testing_support::quoted(CLI_PATH) + " " + words + " --registry " +
                                    testing_support::quoted(registryFile) + " " + redirection;
        const std::string typing = typed.empty() ? std::string() : "printf '" + typed + "' | ";
        EXPECT_EQ(std::system((typing + "script -qec " + testing_support::quoted(command) + " " +
                               testing_support::quoted(typescript) + " >/dev/null")
                                  .c_str()),
                  0);
        std::ifstream in(typescript, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // Every value of every staged row, in id order.
    std::string stagedRows() {
        std::string dump;
        const auto connection = db::SqliteConnection::open(pool);
        for (auto rows = connection->execute("SELECT * FROM AdressenImport ORDER BY id"); !rows->atEnd();
             rows->moveNext()) {
            for (int column = 0; column < rows->columnCount(); ++column) dump += rows->value(column).toText() + "|";
            dump += "\n";
        }
        return dump;
    }
    // The RA-MICRO numbers of the addresses in Adressen with that surname, in id order.
    std::string numberOf(const std::string& surname) {
        std::string numbers;
        const auto connection = db::SqliteConnection::open(pool);
        for (auto rows =
                 connection->execute("SELECT fremdid FROM Adressen WHERE nachname = '" + surname + "' ORDER BY id");
             !rows->atEnd(); rows->moveNext()) {
            numbers += (numbers.empty() ? "" : " ") + rows->value(0).toText();
        }
        return numbers;
    }

    // convert, import and undo, each confirmed, end with exit code 1, no list, and only `told`.
    void expectEveryCommandRefused(const std::string& told) {
        for (const std::string command : {"convert", "import", "undo"}) {
            const CliRun result = command == "convert" ? run({command}) : run({command, "--yes"});
            EXPECT_EQ(result.exitCode, 1) << command;
            EXPECT_EQ(result.out, "") << command;
            EXPECT_EQ(result.err, told) << command;
        }
    }

    testing_support::TempDir dir;
    std::string pool;
    std::string registryFile;
};

TEST_F(CliMigration, FromAdrDirectoryToAdressenAndBack) {
    // The office's own addresses, which no import or undo may touch.
    db::SqliteConnection::open(pool)->execute("INSERT INTO Adressen (nachname) VALUES ('a'), ('b'), ('c')");

    CliRun converted = run({"convert"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(converted.out, "Meier, Herrn, 12345 Ort, Weg 1\nSchulz, Frau, 54321 Stadt, Gasse 2\n");
    EXPECT_NE(converted.err.find("2 Adressen konvertiert nach " + pool + "/main / AdressenImport:"), std::string::npos)
        << converted.err;

    CliRun unconfirmed = run({"import"});
    EXPECT_EQ(unconfirmed.exitCode, 1) << "nobody could confirm";
    EXPECT_EQ(addresses(), 3);

    CliRun imported = run({"import", "--yes"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.err.find("2 Adressen mit IDs 4 bis 5 wurden in die Adressverwaltung importiert."),
              std::string::npos)
        << imported.err;
    EXPECT_EQ(addresses(), 5);
    EXPECT_EQ(stored("AdressNr0"), "3");
    EXPECT_EQ(stored("AdressNr1"), "5");

    CliRun unanswered = run({"import", "--yes", "--all"});
    EXPECT_EQ(unanswered.exitCode, 1) << "the question about the previous import needs an answer";
    EXPECT_NE(unanswered.err.find("Zuletzt importierte Adressen 4 bis 5 zuvor löschen?"), std::string::npos);
    EXPECT_EQ(addresses(), 5);

    CliRun replaced = run({"import", "--yes", "--all", "--undo-previous", "yes"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_NE(replaced.err.find("Die importierten Adressen 3 bis 5 wurden wieder wieder gelöscht."), std::string::npos);
    EXPECT_EQ(addresses(), 5) << "the previous import was removed first";
    EXPECT_EQ(stored("AdressNr0"), "3");
    EXPECT_EQ(stored("AdressNr1"), "5");

    // The undo asks the window's one question; --yes answers it.
    const std::string question = "Hierdurch werden 2 Adressen mit IDs 4 bis 5 aus der Adressverwaltung der Datenbank";
    const auto asked = [](const std::string& err, const std::string& text) {
        std::size_t times = 0;
        for (auto at = err.find(text); at != std::string::npos; at = err.find(text, at + 1)) ++times;
        return times;
    };
    CliRun unconfirmedUndo = run({"undo"});
    EXPECT_EQ(unconfirmedUndo.exitCode, 1) << "no confirmation, nothing deleted";
    EXPECT_EQ(asked(unconfirmedUndo.err, question), 1u) << unconfirmedUndo.err;
    EXPECT_NE(unconfirmedUndo.err.find("--yes"), std::string::npos) << unconfirmedUndo.err;
    EXPECT_EQ(addresses(), 5);
    CliRun undone = run({"undo", "--yes"});
    ASSERT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_EQ(asked(undone.err, question), 1u) << undone.err;
    EXPECT_EQ(asked(undone.err, "gelöscht"), 2u) << "one question and the result, nothing asked twice: " << undone.err;
    EXPECT_EQ(addresses(), 3);
    EXPECT_EQ(stored("AdressNr0"), "");
    EXPECT_EQ(stored("AdressNr1"), "");

    CliRun nothingLeft = run({"undo", "--yes"});
    EXPECT_EQ(nothingLeft.exitCode, 1);
    EXPECT_NE(nothingLeft.err.find("kein Import verzeichnet"), std::string::npos) << nothingLeft.err;
}

TEST_F(CliMigration, TheBundledSampleGetsTheValuesItsFilesMean) {
    // Field 2 carries what follows "Sehr geehrte": "#r Herr …" for a man, "# Frau …" for a woman;
    // field 4 is surname, "**" birth date, "***" profession.
    CliRun converted = run({"convert", "--adr", SAMPLES_DIR "/ADR"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    std::vector<std::string> salutations;
    for (const auto& value : testing_support::stagingColumn(pool, "Briefanrede")) salutations.push_back(value.toText());
    EXPECT_EQ(salutations, (std::vector<std::string>{
                               "Sehr geehrter Herr Dr. Schäfer,", "Sehr geehrte Frau Müller,",
                               "Sehr geehrte Damen und Herren,", "Sehr geehrte Damen und Herren,",
                               "Sehr geehrter Herr Özdemir,", "Sehr geehrte Frau Becker, sehr geehrter Herr Becker,",
                               "Sehr geehrter Herr Kollege Hamburg,", "Sehr geehrte Frau Kollegin Weiß,"}));
    EXPECT_EQ(testing_support::stagingColumn(pool, "Beruf").front(), db::Value("Rechtsanwalt"));
    EXPECT_FALSE(testing_support::stagingColumn(pool, "Geburtstag").front().isNull()) << "12.3.1961";
    CliRun imported = run({"import", "--yes"});
    EXPECT_NE(imported.err.find("8 Adressen mit IDs 1 bis 8 wurden in die Adressverwaltung importiert."),
              std::string::npos)
        << imported.err;
}

TEST_F(CliMigration, RepeatedMigrationBringsOnlyTheNewAddresses) {
    // The office keeps working in RA-MICRO after the first migration: its directory gains an address.
    const std::filesystem::path adr = dir.path() / "Kanzlei-ADR";
    std::filesystem::copy(SAMPLES_DIR "/ADR", adr);
    ASSERT_EQ(run({"convert", "--adr", adr.string()}).exitCode, 0);
    ASSERT_EQ(run({"import", "--yes"}).exitCode, 0);
    ASSERT_EQ(addresses(), 8);
    std::ofstream(adr / "02A", std::ios::binary | std::ios::app)
        << "4102*\r\n1\r\nNina\r\nNeumann\r\nNeuer Weg 4\r\n10115 Berlin\r\n\r\n\r\n";
    ASSERT_EQ(run({"convert", "--adr", adr.string()}).exitCode, 0);
    const auto settingsBefore = testing_support::readWhole(registryFile);
    const std::string staged = stagedRows();

    CliRun unchosen = run({"import", "--yes", "--undo-previous", "nein"});
    EXPECT_EQ(unchosen.exitCode, 2) << unchosen.err;
    EXPECT_NE(unchosen.err.find("Davon sind 8 Adressen bereits in der Adressverwaltung (aus einem früheren Import); "
                                "neu ist 1 Adresse."),
              std::string::npos)
        << unchosen.err;
    EXPECT_NE(unchosen.err.find("ohne Terminal ist --only-new (nur die neuen importieren) oder --all (alle "
                                "importieren) anzugeben"),
              std::string::npos)
        << unchosen.err;
    EXPECT_EQ(addresses(), 8);

    CliRun dryRun = run({"import", "--dry-run", "--only-new"});
    EXPECT_EQ(dryRun.exitCode, 0) << dryRun.err;
    EXPECT_NE(dryRun.out.find("\nimportieren: 4102 Neumann, Herrn, 10115 Berlin, Neuer Weg 4\n"), std::string::npos)
        << dryRun.out;
    EXPECT_EQ(dryRun.out.rfind("auslassen (bereits importiert): 101 Schäfer, Herrn, ", 0), 0u) << dryRun.out;
    EXPECT_EQ(std::count(dryRun.out.begin(), dryRun.out.end(), '\n'), 9);
    EXPECT_NE(dryRun.err.find("Probelauf: 1 Adressen würden importiert, 8 ausgelassen. Es wurde nichts geändert."),
              std::string::npos)
        << dryRun.err;
    CliRun dryRunAll = run({"import", "--dry-run"});
    EXPECT_EQ(dryRunAll.exitCode, 0) << dryRunAll.err;
    EXPECT_EQ(dryRunAll.out.rfind("importieren (bereits importiert): 101 ", 0), 0u) << dryRunAll.out;
    EXPECT_NE(dryRunAll.err.find("Probelauf: 9 Adressen würden importiert, 0 ausgelassen (davon 8 bereits in der "
                                 "Adressverwaltung; mit --only-new würden sie ausgelassen)."),
              std::string::npos)
        << dryRunAll.err;
    EXPECT_EQ(addresses(), 8) << "the dry run imported nothing";
    EXPECT_EQ(stagedRows(), staged);
    EXPECT_EQ(testing_support::readWhole(registryFile), settingsBefore) << "the dry run touched the settings";

    CliRun onlyNew = run({"import", "--yes", "--only-new", "--undo-previous", "nein"});
    ASSERT_EQ(onlyNew.exitCode, 0) << onlyNew.err;
    EXPECT_EQ(addresses(), 9);
    EXPECT_EQ(stored("AdressNr0"), "8");
    EXPECT_EQ(stored("AdressNr1"), "9");
    EXPECT_EQ(stagedRows(), staged) << "the staging table keeps every address as it was";
    EXPECT_EQ(numberOf("Neumann"), "4102");
    EXPECT_EQ(numberOf("Schäfer"), "101") << "the earlier import stays as it was";

    ASSERT_EQ(run({"undo", "--yes"}).exitCode, 0);
    EXPECT_EQ(addresses(), 8) << "the undo removes exactly the new address";
    EXPECT_EQ(numberOf("Neumann"), "");
    EXPECT_EQ(numberOf("Schäfer"), "101");
}

TEST_F(CliMigration, OnlyNewAndAllExcludeEachOther) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    for (const std::string option : {"", "--dry-run"}) {
        std::vector<std::string> words{"import", "--yes", "--only-new", "--all"};
        if (!option.empty()) words.push_back(option);
        CliRun both = run(words);
        EXPECT_EQ(both.exitCode, 2) << option;
        EXPECT_EQ(both.err.rfind("--only-new und --all schließen einander aus.\n", 0), 0u) << both.err;
    }
    EXPECT_EQ(addresses(), 0);
}

TEST_F(CliMigration, WhereAdressenHasNoRaMicroNumbersOnlyNewIsRefusedAndTheDryRunListsAll) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    db::SqliteConnection::open(pool)->runScript(
        "DROP TABLE Adressen; CREATE TABLE Adressen (id INTEGER PRIMARY KEY AUTOINCREMENT, nachname VARCHAR(255));");
    for (const std::string option : {"--yes", "--dry-run"}) {
        CliRun refused = run({"import", option, "--only-new"});
        EXPECT_EQ(refused.exitCode, 1) << option;
        EXPECT_NE(refused.err.find("--only-new ist nicht möglich: Die Tabelle Adressen hat keine Spalte fremdid"),
                  std::string::npos)
            << refused.err;
    }
    CliRun dryRun = run({"import", "--dry-run"});
    EXPECT_EQ(dryRun.exitCode, 0) << dryRun.err;
    EXPECT_EQ(dryRun.out,
              "importieren: 101 Meier, Herrn, 12345 Ort, Weg 1\nimportieren: 201 Schulz, Frau, 54321 Stadt, "
              "Gasse 2\n");
    EXPECT_EQ(dryRun.err,
              "Ob einige dieser Adressen bereits früher importiert wurden, lässt sich nicht feststellen: Die Tabelle "
              "Adressen hat keine Spalte fremdid.\nProbelauf: 2 Adressen würden importiert, 0 ausgelassen. Es wurde "
              "nichts geändert.\n");
    EXPECT_EQ(addresses(), 0);
}

TEST_F(CliMigration, SecondImportIntoAnEmptyTableNeedsAnAnswerAboutTheFirst) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    CliRun first = run({"import", "--yes"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(stored("AdressNr0"), "0");

    CliRun again = run({"import", "--yes", "--all"});
    EXPECT_EQ(again.exitCode, 1) << "without a terminal and without --undo-previous nothing is imported again";
    EXPECT_NE(again.err.find("Zuletzt importierte Adressen 1 bis 2 zuvor löschen?"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("--undo-previous"), std::string::npos) << again.err;
    EXPECT_EQ(addresses(), 2) << "no address duplicated";

    CliRun kept = run({"import", "--yes", "--all", "--undo-previous", "no"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(addresses(), 4) << "duplicated as asked";
    EXPECT_EQ(stored("AdressNr0"), "2");
}

TEST_F(CliMigration, UnwritableSettingsStopTheImport) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    // The store's lock cannot be taken: every write fails, reading still works.
    std::filesystem::remove(registryFile + ".lock");
    std::filesystem::create_directory(registryFile + ".lock");
    CliRun refused = run({"import", "--yes"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Es wurde nichts importiert"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("Einstellungen (Datei"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("importiert."), std::string::npos) << refused.err;
    EXPECT_EQ(addresses(), 0);
}

TEST_F(CliMigration, ImportOfOneAddressIsToldOnTheConsole) {
    dir.write("ADR/01A", "101*\r\n1\r\nHans\r\nMeier\r\nWeg 1\r\n12345 Ort\r\n\r\n\r\n");
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    CliRun imported = run({"import", "--yes"});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.err.find("1 Adresse mit ID 1 wurde in die Adressverwaltung importiert."), std::string::npos)
        << imported.err;
}

TEST_F(CliMigration, ImportWithoutStagedAddressesIsRefused) {
    CliRun result = run({"import", "--yes"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("AdressenImport enthält keine konvertierten Adressen"), std::string::npos) << result.err;
}

TEST_F(CliMigration, ConvertWithoutStoredConnectionCannotRun) {
    settings::FileRegistry empty(dir.file("leer.reg"));
    write(empty, kProfiles, "", "Kanzlei");
    CliRun result = testing_support::runCli({"convert", "--registry", dir.file("leer.reg")}, dir.path().string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(
        result.err,
        "Es sind keine Verbindungsparamter gespeichert.\n"
        "Für das Datenbankprofil \"Kanzlei\" sind keine Verbindungsparameter gespeichert (Einstellungen: Datei " +
            dir.file("leer.reg") +
            "), deshalb keine Verbindung zum Datenpool: Der Datenquellenname wurde nicht gefunden, und es wurde "
            "kein Standardtreiber angegeben.\n"
            "Den Datenpool mit --db ZIEL angeben (eine Datenpool-Datei oder eine Verbindungszeichenfolge) oder mit "
            "--registry DATEI die Einstellungen, deren Datenbankprofil ihn nennt.\n");
}

TEST_F(CliMigration, ConvertWithoutAnySettingsSaysWhereItLookedAndHowToGiveADatenpool) {
    const std::string nowhere = dir.file("nirgends.reg");
    CliRun result = testing_support::runCli({"convert", "--registry", nowhere}, dir.path().string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(
        result.err,
        "Es sind keine Verbindungsparamter gespeichert.\n"
        "Es ist kein Datenbankprofil mit Verbindungsparametern gespeichert (Einstellungen: Datei " +
            nowhere +
            "), deshalb keine Verbindung zum Datenpool: Der Datenquellenname wurde nicht gefunden, und es wurde "
            "kein Standardtreiber angegeben.\n"
            "Den Datenpool mit --db ZIEL angeben (eine Datenpool-Datei oder eine Verbindungszeichenfolge) oder mit "
            "--registry DATEI die Einstellungen, deren Datenbankprofil ihn nennt.\n");
}

TEST_F(CliMigration, ImportIntoAGivenDatenpoolNamesItAndReadsNoProfilesConnection) {
    const std::string given = dir.file("gegeben.db");
    ASSERT_EQ(run({"convert", "--adr", (dir.path() / "ADR").string(), "--db", given}).exitCode, 0);
    // The profile's connection is gone: a given Datenpool needs none.
    std::filesystem::remove(registryFile);
    settings::FileRegistry registry(registryFile);
    write(registry, kProfiles, "", "Kanzlei");

    CliRun unconfirmed = run({"import", "--db", given});
    EXPECT_EQ(unconfirmed.exitCode, 1) << "nobody could confirm";
    EXPECT_NE(unconfirmed.err.find("Hierdurch werden 2 konvertierte Adressen in die Adressverwaltung der Datenbank \"" +
                                   given + "\"eingespielt."),
              std::string::npos)
        << unconfirmed.err;
    EXPECT_EQ(unconfirmed.err.find("Verbindungsparamter"), std::string::npos) << unconfirmed.err;

    CliRun imported = run({"import", "--db", given, "--yes"});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.err.find("Verbindungsparamter"), std::string::npos) << imported.err;
    EXPECT_EQ(addresses(given), 2);
    EXPECT_EQ(stored("AdressNr1"), "2") << "recorded where the undo looks for it";
    CliRun undone = run({"undo", "--db", given, "--yes"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_NE(undone.err.find("aus der Adressverwaltung der Datenbank \"" + given + "\" gelöscht."), std::string::npos)
        << undone.err;
    EXPECT_EQ(addresses(given), 0);
}

TEST_F(CliMigration, UndoPreviousTakesJaAndNeinAndKeepsYesAndNo) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    ASSERT_EQ(run({"import", "--yes"}).exitCode, 0);
    CliRun replaced = run({"import", "--yes", "--all", "--undo-previous", "ja"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_NE(replaced.err.find("Die importierten Adressen 0 bis 2 wurden wieder wieder gelöscht."), std::string::npos)
        << replaced.err;
    EXPECT_EQ(addresses(), 2);
    CliRun kept = run({"import", "--yes", "--all", "--undo-previous", "nein"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(addresses(), 4) << "the previous import stays, as answered";
    EXPECT_EQ(run({"import", "--yes", "--all", "--undo-previous", "no"}).exitCode, 0);
    EXPECT_EQ(addresses(), 6);
    EXPECT_EQ(run({"import", "--yes", "--all", "--undo-previous", "yes"}).exitCode, 0);
    EXPECT_EQ(addresses(), 6);

    CliRun wrong = run({"import", "--yes", "--undo-previous", "vielleicht"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.err.rfind("--undo-previous erwartet ja oder nein.\n", 0), 0u) << wrong.err;
    EXPECT_NE(wrong.err.find("[--undo-previous ja|nein]"), std::string::npos) << "the help follows: " << wrong.err;
    EXPECT_EQ(addresses(), 6);
}

#ifndef _WIN32
// A console that takes control sequences literally (Windows' without virtual-terminal
// processing) would show them; the progress line is cleared with blanks, on a real terminal too.
TEST_F(CliMigration, OnATerminalTheProgressLineIsClearedWithoutControlSequences) {
    const std::string shown = onTerminal("convert", "</dev/null");
    EXPECT_NE(shown.find("] Datei 02A, 2 Adressen"), std::string::npos) << "no progress line drawn:\n" << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r" + std::string(50, ' ')), std::string::npos) << "the line is not blanked:\n" << shown;
}

TEST_F(CliMigration, OnATerminalTheChoiceOfOnlyTheNewAddressesIsAskedAndConfirms) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    ASSERT_EQ(run({"import", "--yes"}).exitCode, 0);
    std::ofstream(dir.path() / "ADR" / "01A", std::ios::binary | std::ios::app)
        << "301*\r\n1\r\nOtto\r\nNeu\r\nPfad 3\r\n11111 Dorf\r\n\r\n\r\n";
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    const std::string shown = onTerminal("import --undo-previous nein", "", "j\\n");
    EXPECT_NE(shown.find("[j]a = nur neue, [n]ein = alle, sonst abbrechen:"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Fortfahren?"), std::string::npos) << "the answer is the confirmation:\n" << shown;
    EXPECT_EQ(addresses(), 3);
    EXPECT_EQ(numberOf("Neu"), "301");
    EXPECT_EQ(numberOf("Meier"), "101") << "not imported twice";
}

// A list that cannot be written (a full disk) is cut short, not the run: the settings' way of
// converting says so as the other way does, with the count of the staged rows, and ends with 1.
TEST_F(CliMigration, AListThatCannotBeWrittenIsCutShortOnEitherWayOfConverting) {
    const auto quote = [](const std::string& word) { return testing_support::quoted(word); };
    for (const std::string& words :
         {"--registry " + quote(registryFile), "--adr " + quote(dir.file("ADR")) + " --db " + quote(pool)}) {
        const std::string command =
            quote(CLI_PATH) + " convert " + words + " </dev/null >/dev/full 2>" + quote(dir.file("err.txt"));
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << words;
        EXPECT_EQ(WEXITSTATUS(status), 1) << words;
        const std::string err = testing_support::readWhole(dir.file("err.txt"));
        EXPECT_NE(err.find("2 Adressen konvertiert nach "), std::string::npos) << err;
        EXPECT_NE(err.find("Die Liste ist unvollständig, die Konvertierung nicht: alle 2 konvertierten Adressen sind "
                           "in AdressenImport gespeichert."),
                  std::string::npos)
            << err;
    }
}
#endif

TEST_F(CliMigration, MissingDatenpoolIsToldAsSuchAndNotMadeUp) {
    std::filesystem::remove(pool);
    CliRun result = run({"convert"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Keine Verbindung zum Datenpool: Der Datenpool '" + pool + "' existiert nicht.\n");
    EXPECT_FALSE(std::filesystem::exists(pool)) << "the profile's Datenpool is not made up";
    // Nor is a mistyped --db: there is nothing to import from or to undo in a new Datenpool.
    const std::string mistyped = dir.file("vertippt.db");
    for (const std::string command : {"import", "undo"}) {
        result = run({command, "--yes", "--db", mistyped});
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.err, "Den Datenpool " + mistyped + " gibt es nicht.\n") << command;
    }
    EXPECT_FALSE(std::filesystem::exists(mistyped));
}

TEST_F(CliMigration, MissingStagingTableIsToldOnceAndNothingRuns) {
    db::SqliteConnection::open(pool)->runScript("DROP TABLE AdressenImport");
    const std::string told = "Im Datenpool \"" + db::fullPath(pool) +
                             "\" fehlt die Tabelle AdressenImport; ohne sie lässt sich nichts konvertieren. Führen "
                             "Sie das aktuelle Datenbankskript aus.\n";
    expectEveryCommandRefused(told);
}

TEST_F(CliMigration, ReadOnlyDatenpoolIsToldAndNeitherImportNorUndoTouchesIt) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    ASSERT_EQ(run({"import", "--yes"}).exitCode, 0);
    const testing_support::ReadOnly readOnly(pool);
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
    const std::string told = "Der Datenpool \"" + db::fullPath(pool) +
                             "\" ist schreibgeschützt: die Datei lässt sich nicht beschreiben. Konvertieren, "
                             "Importieren und Löschen sind so nicht möglich.\n";
    expectEveryCommandRefused(told);
    EXPECT_EQ(addresses(), 2);
    EXPECT_EQ(stored("AdressNr0"), "0") << "the recorded range stays";
    EXPECT_EQ(stored("AdressNr1"), "2");
}

TEST_F(CliMigration, TwoImportsStartedTogetherImportOnce) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const auto [first, second] = runTogether({"import", "--yes", "--all"}, {"import", "--yes", "--all"});
        ASSERT_EQ(first.exitCode + second.exitCode, 1) << first.err << "\n--\n" << second.err;
        // The one that waited finds the other's import recorded and, unanswered, imports nothing.
        const CliRun& waited = first.exitCode == 0 ? second : first;
        EXPECT_NE(waited.err.find("Zuletzt importierte Adressen 1 bis 2 zuvor löschen?"), std::string::npos)
            << waited.err;
        EXPECT_EQ(addresses(), 2) << "attempt " << attempt;
        EXPECT_EQ(stored("AdressNr0"), "0");
        EXPECT_EQ(stored("AdressNr1"), "2");
        ASSERT_EQ(run({"undo", "--yes"}).exitCode, 0);
    }
}

TEST_F(CliMigration, ImportAndUndoAtOnceLeaveTheImportThatIsThereRecorded) {
    ASSERT_EQ(run({"convert"}).exitCode, 0);
    ASSERT_EQ(run({"import", "--yes"}).exitCode, 0);
    for (int attempt = 0; attempt < 6; ++attempt) {
        const auto [imported, undone] =
            runTogether({"import", "--yes", "--all", "--undo-previous", "no"}, {"undo", "--yes"});
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        // The new addresses are either there and recorded, or deleted by the undo, which then
        // ran after the import and read its record. Deleting the first import instead and clearing
        // the record would leave them there unrecorded.
        const std::string from = stored("AdressNr0");
        const std::string to = stored("AdressNr1");
        const bool newImportDeleted = undone.err.find("Die importierten Adressen 2 bis 4 wurden") != std::string::npos;
        if (!newImportDeleted) {
            ASSERT_FALSE(to.empty()) << "the new import lost its record; attempt " << attempt << "\n" << undone.err;
            EXPECT_EQ(addresses(), std::stoll(to)) << "an address deleted behind the record";
            EXPECT_EQ(std::stoll(to) - std::stoll(from), 2);
            EXPECT_EQ(stored("AdressNrDatenpool"), db::fullPath(pool));
        }
        // Back to one recorded import of two addresses.
        if (addresses() == 4) {
            ASSERT_EQ(run({"undo", "--yes"}).exitCode, 0);
        }
        ASSERT_EQ(addresses(), 2);
        settings::FileRegistry registry(registryFile);
        write(registry, kImportKey, "AdressNr0", "0");
        write(registry, kImportKey, "AdressNr1", "2");
        write(registry, kImportKey, "AdressNrDatenpool", db::fullPath(pool));
    }
}

TEST_F(CliMigration, RangeOfOneDatenpoolIsNotDeletedInAnother) {
    const std::string first = dir.file("A.sqlite");
    const std::string second = dir.file("B.sqlite");
    const std::string adr = (dir.path() / "ADR").string();
    ASSERT_EQ(run({"convert", "--adr", adr, "--db", first}).exitCode, 0);
    ASSERT_EQ(run({"import", "--db", first, "--yes"}).exitCode, 0);
    db::SqliteConnection::create(second)->execute("INSERT INTO Adressen (nachname) VALUES ('a'), ('b'), ('c')");
    const auto elsewhere = [&](std::vector<std::string> words) {
        words.insert(words.end(), {"--registry", dir.file("andere.reg")});
        return testing_support::runCli(words, dir.path().string());
    };
    ASSERT_EQ(elsewhere({"convert", "--adr", adr, "--db", second}).exitCode, 0);
    ASSERT_EQ(elsewhere({"import", "--db", second, "--yes"}).exitCode, 0);
    ASSERT_EQ(addresses(second), 5);

    CliRun refused = run({"undo", "--db", second, "--yes"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("ging in den Datenpool \"" + db::fullPath(first) + "\", geöffnet ist der Datenpool \"" +
                               db::fullPath(second) + "\""),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(addresses(second), 5) << "nothing deleted that this range never wrote";
    CliRun undone = run({"undo", "--db", first, "--yes"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_EQ(addresses(first), 0);
}

}  // namespace

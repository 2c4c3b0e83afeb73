// The folder button and "Konvertieren" of the window's logic, end to end into a real Datenpool.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/ListLine.h"
#include "app/MainWindow.h"
#include "db/Error.h"
#include "db/sqlite/SqliteConnection.h"
#include "review/MigrationRecords.h"
#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "support/FailingConnection.h"
#include "support/ReadOnly.h"
#include "support/ScriptedView.h"
#include "support/StagingTable.h"
#include "support/TempDir.h"

namespace {

using app::Control;
using Ending = app::ConversionOutcome::Ending;

// The Datenpool, except that listing the staging table fails as a broken connection would.

constexpr const char* kProfiles = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
const std::string kImportKey = std::string(kProfiles) + "\\Kanzlei\\Import";

// Two records in "01A", one in "02A" (its last, with fewer than eight lines).
const std::map<std::string, std::string> kAddresses = {
    {"01A",
     "101*\r\n1\r\nHans\r\nMeier\r\nWeg 1\r\n12345 Ort\r\n030 1\r\n\r\n"
     "201*\r\n2\r\nEva\r\nSchulz\r\nGasse 2\r\n54321 Stadt\r\n\r\n\r\n"},
    {"02A", "302*\r\n4\r\n\r\nFirma X\r\n"},
};

// The list's lines, built for every row of the staging table in one reused buffer.
class ListLines : public ::testing::Test {
protected:
    std::vector<std::string> lines() {
        std::vector<std::string> result;
        const auto rows = connection->execute("Adressenimport");
        app::ListLines list(*rows);
        for (; !rows->atEnd(); rows->moveNext()) result.push_back(list.current());
        return result;
    }

    testing_support::TempDir dir;
    std::unique_ptr<db::SqliteConnection> connection = db::SqliteConnection::create(dir.file("pool.db"));
};

TEST_F(ListLines, EachPartWithItsPrefixOnlyWhenItHasTextAndNothingLeftFromTheRowBefore) {
    connection->runScript(
        "INSERT INTO AdressenImport (nachname, anrede, PLZOrt, strassenr, telefon1, telefon2, telefax) VALUES "
        "('Meier-Lüdenscheidt', 'Herrn', '12345 Ort', 'Weg 1', '030 1', '030 2', '030 3');"
        "INSERT INTO AdressenImport (nachname, telefax) VALUES ('Ohne', '040 9');"
        "INSERT INTO AdressenImport (nachname, anrede, telefon1) VALUES (NULL, '', 4711);");
    EXPECT_EQ(lines(), (std::vector<std::string>{
                           "Meier-Lüdenscheidt, Herrn, 12345 Ort, Weg 1, Tel. : 030 1, Tel2. : 030 2, Fax. : 030 3",
                           "Ohne, Fax. : 040 9", ", Tel. : 4711"}));
}

TEST_F(ListLines, AColumnTheTableLacksIsNamedInTheFailure) {
    connection->runScript(
        "DROP TABLE AdressenImport; CREATE TABLE AdressenImport (id INTEGER PRIMARY KEY, nachname TEXT, "
        "anrede TEXT, PLZOrt TEXT, strassenr TEXT, telefon1 TEXT, telefon2 TEXT);"
        "INSERT INTO AdressenImport (nachname) VALUES ('Meier');");
    try {
        lines();
        FAIL() << "a line without its fax column";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kItemNotFound);
        EXPECT_NE(std::string(error.description()).find("'telefax'"), std::string::npos) << error.description();
    }
}

class ConversionCommand : public ::testing::Test {
protected:
    ConversionCommand() : registry(dir.path() / "registry.reg") {
        pool = dir.file("pool.db");
        db::SqliteConnection::create(pool);
        write(kProfiles, "", "Kanzlei");
        write(std::string(kProfiles) + "\\Kanzlei\\verbindung", "Data Source", pool);
        adr = (dir.path() / "ADR").string();
        std::filesystem::create_directories(adr);
        for (const auto& [name, bytes] : kAddresses) dir.write("ADR/" + name, bytes);
        view.checkDisk = [](const std::string& path) { return std::filesystem::is_regular_file(path); };
    }
    void write(const std::string& key, const std::string& name, const std::string& value) {
        settings::RegValueWrite(registry, settings::kCurrentUser, key, name, value, settings::kRegSz);
    }
    std::string stored(const std::string& name) {
        return settings::RegValueRead(registry, settings::kCurrentUser, kImportKey, name, "<fehlt>");
    }
    std::unique_ptr<app::MainWindow> start(bool listingFails = false) {
        auto window = std::make_unique<app::MainWindow>(
            view, registry,
            [this, listingFails](const std::string&) -> std::unique_ptr<db::Connection> {
                auto connection = db::SqliteConnection::open(pool);
                // SQLite's way of showing what relies on an order no query asked for.
                if (unorderedReadsReversed) connection->execute("PRAGMA reverse_unordered_selects = ON");
                if (listingFails) {
                    return std::make_unique<testing_support::FailingConnection>(
                        std::move(connection),
                        [](std::string_view text) { return text.find("FROM AdressenImport ORDER BY") != text.npos; },
                        "Verbindung unterbrochen");
                }
                return connection;
            },
            app::Version{1, 0, 0});
        window->Form_Load("");
        view.messages.clear();
        return window;
    }

    testing_support::TempDir dir;
    settings::FileRegistry registry;
    testing_support::ScriptedView view;
    std::string pool;
    std::string adr;
    bool unorderedReadsReversed = false;
};

TEST_F(ConversionCommand, ConvertsListsSummarisesAndOffersTheImport) {
    auto window = start();
    view.setText(Control::txtADR, "  " + adr + " ");
    const app::ConversionOutcome outcome = window->cmdStart_Click();

    EXPECT_EQ(outcome.ending, Ending::finished);
    EXPECT_EQ(outcome.recordsStarted, 3);
    EXPECT_EQ(outcome.listed, 3);
    EXPECT_TRUE(outcome.listComplete);
    EXPECT_EQ(view.text(Control::txtADR), adr) << "trimmed in the field";
    EXPECT_EQ(stored("ADR-Pfad"), adr) << "and stored trimmed";
    EXPECT_EQ(view.list, (std::vector<std::string>{"Meier, Herrn, 12345 Ort, Weg 1, Tel. : 030 1",
                                                   "Schulz, Frau, 54321 Stadt, Gasse 2", "Firma X, Firma"}));
    EXPECT_EQ(view.text(Control::lblListenkommentar),
              "3 Adressen konvertiert nach " + pool + "/main / AdressenImport:");
    EXPECT_TRUE(view.isEnabled(Control::cmdImport));
    EXPECT_EQ(view.text(Control::cmdStart), "konvertieren");
    EXPECT_EQ(view.progress, 99);
    EXPECT_EQ(view.messages.size(), 97u) << "one message per missing address file";
}

// A server reads a table in whatever order suits it (SQL Server a heap in allocation order, in
// parallel); the list, and the records paired with it, go by the staging ids.
TEST_F(ConversionCommand, ListGoesByTheStagingIdsWhateverOrderTheDatabaseReadsIn) {
    unorderedReadsReversed = true;
    auto window = start();
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    EXPECT_EQ(view.list, (std::vector<std::string>{"Meier, Herrn, 12345 Ort, Weg 1, Tel. : 030 1",
                                                   "Schulz, Frau, 54321 Stadt, Gasse 2", "Firma X, Firma"}));
}

// The window's run pairs its records with the rows as it lists them, as the command line's own
// run does: the table needs no pass of its own (here one that would find no row).
TEST_F(ConversionCommand, RecordsArePairedWithTheRowsAsTheyAreListed) {
    auto window = start();
    view.setText(Control::txtADR, adr);
    review::MigrationRecords records;
    window->mapper().setObserver(&records);
    window->pairListedRows(records.pairWhileListed());
    const app::ConversionOutcome outcome = window->cmdStart_Click();
    ASSERT_TRUE(outcome.listComplete);
    records.listEnded(outcome.listComplete);

    records.settle(window->connection(), "SELECT id, fremdid FROM AdressenImport WHERE 0");
    EXPECT_EQ(records.counts().saved, 3);
    EXPECT_EQ(records.counts().discarded, 0);
    EXPECT_EQ(records.pairingFailure(), "");
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t workFilesIn(const std::filesystem::path& directory) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        count += entry.path().extension() == ".tmp";
    return count;
}

// The window keeps each run's records in a work file of its own: after the run it shows their
// counts, and "Bericht…" writes their report where the user says and opens it.
TEST_F(ConversionCommand, TheWindowShowsTheRunsCountsAndSavesItsReportWhereTheUserSays) {
    const std::filesystem::path work = dir.path() / "temp";
    std::filesystem::create_directories(work);
    auto window = start();
    window->keepRunReports(work);
    EXPECT_FALSE(view.isEnabled(Control::cmdBericht)) << "no run, no report";
    view.setText(Control::txtADR, adr);
    bool heldDuringTheRun = false;
    view.onPump = [&] { heldDuringTheRun = !view.isEnabled(Control::cmdBericht); };
    window->cmdStart_Click();
    window->cmdStart_Click();  // a second run replaces the first one's work file
    EXPECT_TRUE(heldDuringTheRun);
    // The records and their keys wait in files of the run's own, which have no name in the folder
    // while they are used; Windows shows them until they are closed.
#ifdef _WIN32
    EXPECT_EQ(workFilesIn(work), 2u) << "the records and their keys, the first run's gone";
#else
    EXPECT_EQ(workFilesIn(work), 0u);
#endif
    EXPECT_EQ(view.text(Control::lblErgebnis),
              "3 Datensätze gelesen: 3 gespeichert, 0 verworfen; 1 Hinweis; 0 mögliche Dubletten; "
              "97 Adressdateien fehlen oder sind unlesbar.");
    ASSERT_TRUE(view.isEnabled(Control::cmdBericht));

    view.saveChoice = dir.file("Bericht.csv");
    window->cmdBericht_Click();
    EXPECT_EQ(view.savePrompts.at(0).second, "Konvertierungsbericht");
    EXPECT_EQ(view.opened, std::vector<std::string>{view.saveChoice});
    const std::string csv = contentOf(view.saveChoice);
    EXPECT_NE(csv.find("\n01A;9;201;gespeichert;2;;201* ⏎ 2 ⏎ Eva"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n02A;1;302;gespeichert;3;endet mit dem Dateiende"), std::string::npos);
    EXPECT_NE(csv.find("\n99A;;;fehlt;;"), std::string::npos);

    view.saveChoice = dir.file("Bericht.xlsx");
    window->cmdBericht_Click();
    EXPECT_EQ(contentOf(view.saveChoice).substr(0, 2), "PK");

    window.reset();
    EXPECT_EQ(workFilesIn(work), 0u) << "the work file goes with the window";
}

// A report that cannot be saved, or not opened, is said; what stood under its name stays, and
// a failed run leaves no report to offer.
TEST_F(ConversionCommand, AReportThatCannotBeSavedOrOpenedIsSaidAndAFailedRunOffersNone) {
    auto window = start();
    window->keepRunReports(dir.path());
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    view.messages.clear();

    view.saveChoice = "";
    window->cmdBericht_Click();
    EXPECT_TRUE(view.opened.empty()) << "cancelled in the dialog";

    // A folder of that name, with a file in it, cannot be replaced by the report.
    view.saveChoice = dir.file("Bericht.csv");
    std::filesystem::create_directory(view.saveChoice);
    const std::string inside = dir.write("Bericht.csv/vorher.txt", "vorher");
    window->cmdBericht_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(
        view.messages[0].text.rfind("Der Bericht konnte nicht als " + view.saveChoice + " gespeichert werden: ", 0), 0u)
        << view.messages[0].text;
    EXPECT_EQ(contentOf(inside), "vorher");
    EXPECT_TRUE(view.opened.empty());
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_FALSE(entry.path().string().ends_with(".part")) << "no draft is left: " << entry.path();
    }
    std::filesystem::remove_all(view.saveChoice);
    dir.write("Bericht.csv", "vorher");
    // A draft of the same name by another workstation is none of this save's.
    std::filesystem::create_directory(view.saveChoice + ".part");
    const std::string othersDraft = dir.write("Bericht.csv.part/fremd.txt", "fremd");

    view.openError = "Keine Anwendung zugeordnet.";
    window->cmdBericht_Click();
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text, "Der Bericht ist als " + view.saveChoice +
                                         " gespeichert. Windows konnte ihn nicht öffnen: Keine Anwendung zugeordnet.");
    EXPECT_NE(contentOf(view.saveChoice), "vorher");
    EXPECT_EQ(contentOf(othersDraft), "fremd");

    auto other = db::SqliteConnection::open(pool);
    other->beginTransaction();
    window->connection()->execute("PRAGMA busy_timeout = 0");
    view.messages.clear();
    EXPECT_EQ(window->cmdStart_Click().ending, Ending::failed);
    other->rollback();
    EXPECT_EQ(view.text(Control::lblErgebnis), "");
    EXPECT_FALSE(view.isEnabled(Control::cmdBericht));
}

// Without a work file the counts are still shown; the report says why there is none.
TEST_F(ConversionCommand, WithoutAWorkFileTheCountsAreShownAndTheReportSaysWhyThereIsNone) {
    auto window = start();
    window->keepRunReports(dir.path() / "fehlt");
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    EXPECT_EQ(view.text(Control::lblErgebnis).rfind("3 Datensätze gelesen: 3 gespeichert", 0), 0u);
    view.messages.clear();
    view.saveChoice = dir.file("Bericht.csv");
    window->cmdBericht_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("ihre Arbeitsdatei ließ sich nicht anlegen"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(view.saveChoice));
}

TEST_F(ConversionCommand, EmptyDirectoryIsStoredBeforeTheWarning) {
    auto window = start();
    write(kImportKey, "ADR-Pfad", "alt");
    view.setText(Control::txtADR, "   ");
    window->cmdStart_Click();
    EXPECT_EQ(stored("ADR-Pfad"), "");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "ADR-Verzeichnis angeben!");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_EQ(view.messages[0].title, view.caption());
    EXPECT_EQ(view.text(Control::cmdStart), "Konvertieren") << "never started";
}

TEST_F(ConversionCommand, DirectoryWithoutAddressDataTouchesNothing) {
    auto window = start();
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    const auto rowsBefore = testing_support::stagingColumn(pool, "nachname").size();

    view.list = {"bleibt"};
    view.messages.clear();
    view.setText(Control::txtADR, dir.path().string());
    window->cmdStart_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Das ausgewählte Dateiverzeichnis enthält keine Adressdaten");
    EXPECT_EQ(view.list, std::vector<std::string>{"bleibt"});
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname").size(), rowsBefore);
}

// Address files named in small letters ("01a") are the same files where letter cases differ,
// for the directory check of both buttons and for the reading.
TEST_F(ConversionCommand, AddressFilesAreFoundWhateverTheCaseOfTheirNames) {
    const std::filesystem::path directory(adr);
    std::filesystem::rename(directory / "01A", directory / "01a");
    std::filesystem::rename(directory / "02A", directory / "02a");
    auto window = start();
    view.folderChoice = adr;
    window->cmdOpen_Click();
    EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;

    const app::ConversionOutcome outcome = window->cmdStart_Click();
    EXPECT_EQ(outcome.ending, Ending::finished);
    EXPECT_EQ(outcome.recordsStarted, 3);
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname"),
              (std::vector<db::Value>{db::Value("Meier"), db::Value("Schulz"), db::Value("Firma X")}));
}

TEST_F(ConversionCommand, CancelClickedDuringTheRunListsWhatWasSaved) {
    auto window = start();
    view.setText(Control::txtADR, adr);
    int pumps = 0;
    // The click arrives while the second record is read (in the mapper's event handling).
    view.onPump = [&] {
        if (++pumps == 10) window->cmdStart_Click();
    };
    EXPECT_EQ(window->cmdStart_Click().ending, Ending::cancelled);
    EXPECT_EQ(view.text(Control::cmdStart), "konvertieren");
    EXPECT_EQ(view.list, std::vector<std::string>{"Meier, Herrn, 12345 Ort, Weg 1, Tel. : 030 1"})
        << "the record being read when the cancel came is dropped";
    EXPECT_TRUE(view.isEnabled(Control::cmdImport)) << "records had been started";
    EXPECT_EQ(view.progress, 1) << "no further file was read";
    EXPECT_EQ(view.text(Control::lblListenkommentar),
              "1 Adressen konvertiert nach " + pool + "/main / AdressenImport (Konvertierung abgebrochen):");
}

TEST_F(ConversionCommand, ImportAfterACancelledRunSaysWhereTheAddressesComeFrom) {
    constexpr const char* kCancelledRun =
        "Achtung: Diese Adressen stammen aus einer abgebrochenen Konvertierung; die übrigen Adressen des "
        "ADR-Verzeichnisses fehlen.";
    auto window = start();
    view.setText(Control::txtADR, adr);
    int pumps = 0;
    view.onPump = [&] {
        if (++pumps == 10) window->cmdStart_Click();
    };
    ASSERT_EQ(window->cmdStart_Click().ending, Ending::cancelled);
    view.onPump = nullptr;
    // In this session, and in a later one (another start of the program, the command line's import).
    for (int session = 0; session < 2; ++session) {
        if (session == 1) window = start();
        view.messages.clear();
        view.answers = {app::answer::kCancel};
        EXPECT_EQ(window->cmdImport_Click().result, app::Result::cancelled);
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0].kind, app::MessageKind::confirmation);
        EXPECT_EQ(view.messages[0].text,
                  "Hierdurch werden 1 konvertierte Adressen in die Adressverwaltung der Datenbank "
                  "\"Kanzlei\"eingespielt.\r\n\r\n" +
                      std::string(kCancelledRun) +
                      "\r\n\r\nDa dieser Vorgang nicht immer spurenlos rückgängig gemacht werden kann, sollte dies "
                      "erst geschehen, wenn die Daten zweifelsfrei so wie sie sind importiert werden sollen.")
            << "session " << session;
    }

    // A complete run afterwards stages every address: no such sentence, in a later session either.
    ASSERT_EQ(window->cmdStart_Click().ending, Ending::finished);
    window = start();
    view.messages.clear();
    view.answers = {app::answer::kCancel};
    window->cmdImport_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.find(kCancelledRun), std::string::npos) << view.messages[0].text;
}

TEST_F(ConversionCommand, NoRecordStartedKeepsTheImportDisabled) {
    auto window = start();
    dir.write("ADR/01A", "");
    dir.write("ADR/02A", "");
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    EXPECT_TRUE(view.list.empty());
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    EXPECT_EQ(view.text(Control::lblListenkommentar),
              "0 Adressen konvertiert nach " + pool + "/main / AdressenImport:");
}

TEST_F(ConversionCommand, FolderButtonStoresTheChoiceAndWarnsWithoutAddressData) {
    auto window = start();
    view.setText(Control::txtADR, "C:\\alt");
    view.folderChoice = "";
    window->cmdOpen_Click();
    EXPECT_EQ(view.text(Control::txtADR), "C:\\alt") << "cancelled: nothing changes";
    ASSERT_EQ(view.browsed.size(), 1u);
    EXPECT_EQ(view.browsed[0], (std::pair<std::string, std::string>{"ADR-Verzeichnis", "C:\\alt"}));

    view.folderChoice = "D:\\Leer";
    window->cmdOpen_Click();
    EXPECT_EQ(view.text(Control::txtADR), "D:\\Leer");
    EXPECT_EQ(stored("ADR-Pfad"), "D:\\Leer");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Das ausgewählte Dateiverzeichnis enthält keine Adressdaten");

    view.messages.clear();
    view.existingFiles.insert("E:\\RA\\ADR\\01A");
    view.folderChoice = "E:\\RA\\ADR";
    window->cmdOpen_Click();
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ConversionCommand, LockedDatenpoolGivesAMessageAndNoSummary) {
    auto window = std::make_unique<app::MainWindow>(
        view, registry,
        [this](const std::string&) -> std::unique_ptr<db::Connection> {
            auto connection = db::SqliteConnection::open(pool);
            connection->runScript("PRAGMA busy_timeout = 0");
            return connection;
        },
        app::Version{1, 0, 0});
    window->Form_Load("");
    view.messages.clear();
    auto other = db::SqliteConnection::open(pool);
    other->beginTransaction();

    view.setText(Control::txtADR, adr);
    EXPECT_EQ(window->cmdStart_Click().ending, Ending::failed);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("gesperrt"), std::string::npos) << view.messages[0].text;
    EXPECT_EQ(view.text(Control::lblListenkommentar), "");
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    EXPECT_EQ(view.text(Control::cmdStart), "konvertieren");
    other->rollback();
}

TEST_F(ConversionCommand, StagingTableThatCannotBeEmptiedStopsTheRunAndListsNothingOld) {
    auto window = start();
    view.setText(Control::txtADR, adr);
    window->cmdStart_Click();
    // From now on the database refuses to delete staged rows (with a code passed over elsewhere).
    db::SqliteConnection::open(pool)->runScript(
        "CREATE TRIGGER keep BEFORE DELETE ON AdressenImport BEGIN SELECT RAISE(ABORT, 'Löschen verweigert'); END");
    view.messages.clear();

    const app::ConversionOutcome outcome = window->cmdStart_Click();

    EXPECT_EQ(outcome.ending, Ending::failed);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(
        view.messages[0].text.rfind(
            "Die Tabelle AdressenImport ließ sich nicht leeren; es wurde nichts konvertiert. Löschen verweigert", 0),
        0u)
        << view.messages[0].text;
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_TRUE(view.list.empty()) << "the old rows are not the result of this run";
    EXPECT_EQ(view.text(Control::lblListenkommentar), "");
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname").size(), 3u) << "the staging table as it was";
}

TEST_F(ConversionCommand, StagingTableDroppedAfterStartUpStopsTheRunWithTheDatabasesError) {
    auto window = start();
    db::SqliteConnection::open(pool)->runScript("DROP TABLE AdressenImport");
    view.setText(Control::txtADR, adr);

    const app::ConversionOutcome outcome = window->cmdStart_Click();

    EXPECT_EQ(outcome.ending, Ending::failed);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("AdressenImport ließ sich nicht leeren"), std::string::npos)
        << view.messages[0].text;
    EXPECT_EQ(view.text(Control::lblListenkommentar), "") << "no summary of 0 addresses";
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
}

TEST_F(ConversionCommand, ListThatCannotBeReadIsSaidAndTheSummaryCountsTheStagedRows) {
    auto window = start(true);
    view.setText(Control::txtADR, adr);

    const app::ConversionOutcome outcome = window->cmdStart_Click();

    EXPECT_EQ(outcome.ending, Ending::finished);
    EXPECT_FALSE(outcome.listComplete);
    EXPECT_EQ(outcome.staged, 3);
    const auto shown = std::find_if(view.messages.begin(), view.messages.end(), [](const auto& message) {
        return message.text == "Die Liste der konvertierten Adressen ließ sich nicht lesen: Verbindung unterbrochen";
    });
    EXPECT_NE(shown, view.messages.end());
    EXPECT_EQ(view.text(Control::lblListenkommentar),
              "3 Adressen konvertiert nach " + pool + "/main / AdressenImport:");
    EXPECT_TRUE(view.isEnabled(Control::cmdImport));
}

TEST_F(ConversionCommand, DirectoryThatCannotBeStoredIsReportedAndTheConversionGoesOn) {
    // The settings lie in a folder of their own, which then takes no new file.
    std::filesystem::create_directories(dir.path() / "einstellungen");
    settings::FileRegistry own(dir.path() / "einstellungen" / "registry.reg");
    settings::RegValueWrite(own, settings::kCurrentUser, kProfiles, "", "Kanzlei", settings::kRegSz);
    auto window = std::make_unique<app::MainWindow>(
        view, own,
        [this](const std::string&) -> std::unique_ptr<db::Connection> { return db::SqliteConnection::open(pool); },
        app::Version{1, 0, 0});
    window->Form_Load("");
    view.messages.clear();
    const testing_support::ReadOnly readOnly((dir.path() / "einstellungen").string());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the folder read-only";

    view.setText(Control::txtADR, adr);
    const app::ConversionOutcome outcome = window->cmdStart_Click();
    view.folderChoice = adr;
    window->cmdOpen_Click();

    EXPECT_EQ(outcome.ending, Ending::finished) << "the conversion stands";
    EXPECT_EQ(view.list.size(), 3u);
    std::vector<std::string> refusals;
    for (const auto& message : view.messages) {
        if (message.text.rfind("Das ADR-Verzeichnis ließ sich nicht in den Einstellungen speichern (", 0) == 0) {
            refusals.push_back(message.text);
            EXPECT_EQ(message.kind, app::MessageKind::warning);
        }
    }
    EXPECT_EQ(refusals.size(), 2u) << "one for the conversion, one for the folder button";
}

TEST_F(ConversionCommand, WithoutTheSettingsKeyNothingIsWrittenToTheRoot) {
    // Start-up that ends before the key is formed (no connection).
    auto window = std::make_unique<app::MainWindow>(
        view, registry,
        [](const std::string&) -> std::unique_ptr<db::Connection> { throw db::Error(1, "keine Verbindung"); },
        app::Version{1, 0, 0});
    window->Form_Load("");
    EXPECT_TRUE(window->importSchluessel().empty());
    view.setText(Control::txtADR, "");
    window->cmdStart_Click();
    EXPECT_EQ(settings::RegValueRead(registry, settings::kCurrentUser, "", "ADR-Pfad", "<fehlt>"), "<fehlt>");
}

TEST_F(ConversionCommand, SingleAddressModeConvertsOneAndEnds) {
    write(kImportKey, "ADR-Pfad", adr);
    {
        auto window = std::make_unique<app::MainWindow>(
            view, registry,
            [this](const std::string&) -> std::unique_ptr<db::Connection> { return db::SqliteConnection::open(pool); },
            app::Version{1, 0, 0});
        EXPECT_FALSE(window->Form_Load("201"));
        EXPECT_EQ(window->singleAddressExitCode(), 0);
    }
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname"), std::vector<db::Value>{db::Value("Schulz")});
    {
        auto window = std::make_unique<app::MainWindow>(
            view, registry,
            [this](const std::string&) -> std::unique_ptr<db::Connection> { return db::SqliteConnection::open(pool); },
            app::Version{1, 0, 0});
        view.messages.clear();
        EXPECT_FALSE(window->Form_Load("abc"));
        EXPECT_EQ(window->singleAddressExitCode(), 1) << "no address number: nothing converted";
        ASSERT_EQ(view.messages.size(), 1u) << "the caller learns why nothing happened";
        EXPECT_EQ(view.messages[0].text, "\"abc\" ist keine Adressnummer; es wurde nichts konvertiert.");
    }
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname").size(), 1u) << "letters convert nothing";
}

TEST_F(ConversionCommand, SingleAddressModeThatConvertsNothingEndsWithExitCodeOne) {
    write(kImportKey, "ADR-Pfad", adr);
    const auto singleAddress = [&](const std::string& commandLine, const app::ConnectionOpener& opener) {
        view.messages.clear();
        app::MainWindow window(view, registry, opener, app::Version{1, 0, 0});
        EXPECT_FALSE(window.Form_Load(commandLine));
        return window.singleAddressExitCode();
    };
    const app::ConnectionOpener datenpool = [this](const std::string&) -> std::unique_ptr<db::Connection> {
        return db::SqliteConnection::open(pool);
    };

    EXPECT_EQ(singleAddress("901", datenpool), 1) << "no address 901 in \"01A\"";
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Adressnummer 901 nicht gefunden");

    EXPECT_EQ(singleAddress("105", datenpool), 1) << "no file \"05A\"";
    EXPECT_EQ(view.messages.size(), 1u) << "the failure is shown";

    const app::ConnectionOpener unreachable = [](const std::string&) -> std::unique_ptr<db::Connection> {
        throw db::Error(1, "keine Verbindung");
    };
    EXPECT_EQ(singleAddress("201", unreachable), 1) << "no Datenpool";
    ASSERT_EQ(view.messages.size(), 1u) << "no window opens whose target field would tell it";
    EXPECT_EQ(view.messages[0].text, "Keine Verbindung zum Datenpool: keine Verbindung");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_TRUE(testing_support::stagingColumn(pool, "nachname").empty());

    EXPECT_EQ(singleAddress("201", datenpool), 0);
    EXPECT_EQ(testing_support::stagingColumn(pool, "nachname"), std::vector<db::Value>{db::Value("Schulz")});

    // Found, but its row refused by the database: nothing converted, as the command line says too.
    db::SqliteConnection::open(pool)->runScript(
        "DELETE FROM AdressenImport; CREATE TRIGGER gesperrt BEFORE INSERT ON AdressenImport "
        "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END;");
    EXPECT_EQ(singleAddress("201", datenpool), 1) << "a refused row";
    EXPECT_TRUE(testing_support::stagingColumn(pool, "nachname").empty());
}

}  // namespace

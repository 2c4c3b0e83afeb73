// The window's logic against a scripted window, the real embedded Datenpool and the file registry.

#include <gtest/gtest.h>

#include "app/ControlStates.h"
#include "app/MainWindow.h"
#include "app/Texts.h"
#include "db/Backends.h"
#include "db/Error.h"
#include "db/FullPath.h"
#include "db/sqlite/SqliteConnection.h"
#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "support/ReadOnly.h"
#include "support/ScriptedView.h"
#include "support/StagingTable.h"
#include "support/TempDir.h"

namespace {

using app::Control;
using testing_support::ScriptedView;

constexpr const char* kProfiles = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
const std::string kImportKey = std::string(kProfiles) + "\\Kanzlei\\Import";

// The views without a window (the console's, a test's) hold their controls as the window creates them.
TEST(ControlStates, StartWithTheCaptionsAndStatesOfTheWindowsControls) {
    app::ControlStates states;
    EXPECT_EQ(states.text(Control::cmdStart), "Konvertieren");
    EXPECT_EQ(states.text(Control::cmdUndo), "importierte Adressen wieder löschen");
    EXPECT_EQ(states.text(Control::txtADR), "");
    EXPECT_TRUE(states.isEnabled(Control::cmdStart));
    EXPECT_FALSE(states.isEnabled(Control::cmdImport));
    EXPECT_FALSE(states.isEnabled(Control::cmdUndo));
    states.setText(Control::txtIDVon, "7");
    states.setEnabled(Control::cmdUndo, true);
    EXPECT_EQ(states.text(Control::txtIDVon), "7");
    EXPECT_TRUE(states.isEnabled(Control::cmdUndo));
    EXPECT_EQ(states.text(Control::txtIdBis), "") << "each control holds its own text";
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : registry(dir.path() / "registry.reg") {}

    void storeProfile(const std::string& datenpool) {
        write(kProfiles, "", "Kanzlei");
        write(std::string(kProfiles) + "\\Kanzlei\\verbindung", "Provider", "SQLite");
        write(std::string(kProfiles) + "\\Kanzlei\\verbindung", "Data Source", datenpool);
    }
    void write(const std::string& key, const std::string& name, const std::string& value) {
        settings::RegValueWrite(registry, settings::kCurrentUser, key, name, value, settings::kRegSz);
    }
    std::string read(const std::string& key, const std::string& name) {
        return settings::RegValueRead(registry, settings::kCurrentUser, key, name, "<fehlt>");
    }
    std::string newDatenpool() {
        const std::string path = dir.file("pool.db");
        db::SqliteConnection::create(path);
        return path;
    }
    // A directory of address files: name -> ADR bytes.
    std::string adrDirectory(const std::map<std::string, std::string>& files) {
        const auto adr = dir.path() / "ADR";
        std::filesystem::create_directories(adr);
        for (const auto& [name, bytes] : files) dir.write("ADR/" + name, bytes);
        return adr.string();
    }
    std::unique_ptr<app::MainWindow> start(const std::string& commandLine = "", app::Version version = {1, 0, 40}) {
        auto window = std::make_unique<app::MainWindow>(view, registry, opener, version);
        view.onTextChanged = [w = window.get()](Control control) {
            if (control == Control::txtIDVon) w->txtIDVon_Change();
            if (control == Control::txtIdBis) w->txtIdBis_Change();
        };
        shown = window->Form_Load(commandLine);
        return window;
    }

    // Opens "Provider=SQLite; Data Source=…; " strings; everything else fails as a provider would.
    app::ConnectionOpener opener = [](const std::string& connection) -> std::unique_ptr<db::Connection> {
        const std::string key = "Data Source=";
        const auto at = connection.find(key);
        if (connection.find("Provider=SQLite") == std::string::npos || at == std::string::npos) {
            throw db::Error(db::kUnspecifiedFailure,
                            "Der Datenquellenname wurde nicht gefunden, und es wurde kein Standardtreiber angegeben.");
        }
        const auto end = connection.find(';', at);
        return db::SqliteConnection::open(connection.substr(at + key.size(), end - at - key.size()));
    };

    testing_support::TempDir dir;
    settings::FileRegistry registry;
    ScriptedView view;
    bool shown = false;
};

TEST_F(MainWindowTest, CaptionCarriesTheVersionWithTrailingBlank) {
    storeProfile(newDatenpool());
    start("", {1, 0, 40});
    EXPECT_EQ(view.caption(), "Norvel-Kanzleisoftware - Adressimport (1.0.40) ");
}

TEST_F(MainWindowTest, WithoutAnySettingsTheWindowOpensUnconnected) {
    start();
    EXPECT_TRUE(shown);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Es sind keine Verbindungsparamter gespeichert.");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_EQ(view.messages[0].title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(
        view.text(Control::lblDatenpool),
        "Es ist kein Datenbankprofil mit Verbindungsparametern gespeichert (Einstellungen: " + registry.location() +
            "), deshalb keine Verbindung zum Datenpool: Der Datenquellenname wurde nicht gefunden, und es wurde "
            "kein Standardtreiber angegeben.");
    EXPECT_FALSE(view.isEnabled(Control::cmdStart));
    EXPECT_FALSE(view.isEnabled(Control::cmdAdressen));
    EXPECT_EQ(view.text(Control::txtADR), "");
    EXPECT_EQ(view.text(Control::txtIDVon), "");
    EXPECT_EQ(view.text(Control::txtIdBis), "");
}

TEST_F(MainWindowTest, ProfileWithoutParametersIsNamedInTheTargetField) {
    write(kProfiles, "", "Kanzlei");
    start();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Es sind keine Verbindungsparamter gespeichert.");
    EXPECT_EQ(view.text(Control::lblDatenpool),
              "Für das Datenbankprofil \"Kanzlei\" sind keine Verbindungsparameter gespeichert (Einstellungen: " +
                  registry.location() +
                  "), deshalb keine Verbindung zum Datenpool: Der Datenquellenname wurde nicht gefunden, und es wurde "
                  "kein Standardtreiber angegeben.");
    EXPECT_FALSE(view.isEnabled(Control::cmdStart));
}

TEST_F(MainWindowTest, UnreachableDatenpoolIsToldInOneLineAndNothingActsOnIt) {
    storeProfile(newDatenpool());
    write(kImportKey, "AdressNr0", "100");
    write(kImportKey, "AdressNr1", "150");
    opener = [](const std::string&) -> std::unique_ptr<db::Connection> {
        throw db::Error(db::kUnspecifiedFailure, "[Treiber]Login timeout expired\n[Treiber]Server nicht gefunden");
    };
    auto window = start();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.text(Control::lblDatenpool),
              "Keine Verbindung zum Datenpool: [Treiber]Login timeout expired [Treiber]Server nicht gefunden")
        << "every line of the driver's text, in the one line the field shows";
    EXPECT_FALSE(view.isEnabled(Control::cmdStart));
    EXPECT_EQ(window->target(), "") << "no target to name";
    view.setText(Control::txtIDVon, "100");
    view.setText(Control::txtIdBis, "150");
    EXPECT_FALSE(view.isEnabled(Control::cmdUndo)) << "no connection to delete in";
    EXPECT_FALSE(window->undoAvailable());
}

TEST_F(MainWindowTest, FullStartShowsTheTargetAndRestoresTheStoredValues) {
    const std::string pool = newDatenpool();
    storeProfile(pool);
    write(kImportKey, "ADR-Pfad", "/daten/ADR");
    write(kImportKey, "AdressNr0", "100");
    write(kImportKey, "AdressNr1", "150");
    auto window = start();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.text(Control::lblDatenpool), pool + "/main / AdressenImport");
    EXPECT_EQ(view.text(Control::txtADR), "/daten/ADR");
    EXPECT_EQ(view.text(Control::txtIDVon), "100");
    EXPECT_EQ(view.text(Control::txtIdBis), "150");
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo)) << "the change handlers ran";
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    // The same as values, for the front ends.
    EXPECT_EQ(window->target(), pool + "/main / AdressenImport");
    EXPECT_EQ(window->recordedImport(), (app::RecordedImport{"100", "150", ""}));
    EXPECT_TRUE(window->undoAvailable());
    view.setText(Control::txtIdBis, "99");
    EXPECT_FALSE(window->undoAvailable()) << "the range 100 to 99 holds no id";
}

TEST_F(MainWindowTest, AddressListButtonFollowsTheMainApplicationsProgram) {
    storeProfile(newDatenpool());
    write("SOFTWARE\\Norvel-Kanzleisoftware", "Stammverzeichnis", "C:\\Program Files\\Norvel");
    view.existingFiles.insert("C:\\Program Files\\Norvel\\kov.exe");
    auto window = start();
    EXPECT_TRUE(view.isEnabled(Control::cmdAdressen));

    window->cmdAdressen_Click();
    ASSERT_EQ(view.started.size(), 1u);
    EXPECT_EQ(view.started[0], "\"C:\\Program Files\\Norvel\\kov.exe\" Adressliste gesamt");
    EXPECT_TRUE(view.messages.empty());

    view.startError = "Das System kann die angegebene Datei nicht finden.";
    window->cmdAdressen_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Das System kann die angegebene Datei nicht finden.");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
}

TEST_F(MainWindowTest, UndoButtonNeedsTwoOrderedNumbers) {
    storeProfile(newDatenpool());
    auto window = start();
    const auto undoWith = [&](const std::string& from, const std::string& to) {
        view.setText(Control::txtIDVon, from);
        view.setText(Control::txtIdBis, to);
        return view.isEnabled(Control::cmdUndo);
    };
    EXPECT_TRUE(undoWith("100", "150"));
    EXPECT_FALSE(undoWith("150", "150"));
    EXPECT_FALSE(undoWith("", "150"));
    EXPECT_FALSE(undoWith("abc", "150"));
    EXPECT_TRUE(undoWith(" 99.5 ", "1e3"));
    EXPECT_FALSE(undoWith("200", "150"));
}

// Two records in "01A": enough for clicks to arrive while the second one is read.
const std::map<std::string, std::string> kTwoAddresses = {
    {"01A", "101*\r\n1\r\nHans\r\nMeier\r\nWeg 1\r\n12345 Ort\r\n\r\n\r\n201*\r\n2\r\nEva\r\nSchulz\r\n"},
};

// The controls that act on the Datenpool or the directory, which only "abbrechen" may outlast.
const std::vector<Control> kQuietDuringARun = {Control::cmdImport, Control::cmdUndo, Control::cmdOpen, Control::txtADR,
                                               Control::cmdAdressen};

std::vector<bool> enabledStates(const ScriptedView& view) {
    std::vector<bool> states;
    for (const Control control : kQuietDuringARun) states.push_back(view.isEnabled(control));
    return states;
}

TEST_F(MainWindowTest, DuringARunOnlyTheCancelActsAndTheClicksChangeNothing) {
    const std::string pool = newDatenpool();
    storeProfile(pool);
    write(kImportKey, "AdressNr0", "0");
    write(kImportKey, "AdressNr1", "2");
    auto window = start();
    db::SqliteConnection::open(pool)->execute("INSERT INTO Adressen (nachname) VALUES ('a'), ('b')");
    view.setEnabled(Control::cmdAdressen, true);
    view.setEnabled(Control::cmdImport, true);
    view.checkDisk = [](const std::string& path) { return std::filesystem::is_regular_file(path); };
    view.setText(Control::txtADR, adrDirectory(kTwoAddresses));
    view.folderChoice = "C:\anderes";

    std::vector<bool> duringTheRun;
    bool clicked = false;
    view.onPump = [&] {
        if (clicked) return;
        clicked = true;
        duringTheRun = enabledStates(view);
        const std::size_t messagesBefore = view.messages.size();
        EXPECT_TRUE(view.isEnabled(Control::cmdStart)) << "the cancel stays";
        // Clicks that still reach the logic (queued before the controls were disabled) do nothing.
        EXPECT_EQ(window->cmdImport_Click().result, app::Result::refused);
        EXPECT_EQ(window->cmdUndo_Click().result, app::Result::refused);
        window->cmdOpen_Click();
        window->cmdAdressen_Click();
        // A range typed meanwhile does not switch the undo on.
        view.setText(Control::txtIdBis, "1");
        view.setText(Control::txtIdBis, "2");
        EXPECT_FALSE(view.isEnabled(Control::cmdUndo));
        EXPECT_EQ(view.messages.size(), messagesBefore) << view.messages.back().text;
    };
    EXPECT_EQ(window->cmdStart_Click().ending, app::ConversionOutcome::Ending::finished);

    EXPECT_EQ(duringTheRun, std::vector<bool>(kQuietDuringARun.size(), false));
    EXPECT_TRUE(view.browsed.empty());
    EXPECT_TRUE(view.started.empty());
    EXPECT_EQ(db::SqliteConnection::open(pool)->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer(), 2)
        << "nothing imported or deleted";
    EXPECT_EQ(enabledStates(view), std::vector<bool>(kQuietDuringARun.size(), true)) << "all back after the run";
    EXPECT_EQ(view.list.size(), 2u);
}

TEST_F(MainWindowTest, AfterARunTheControlsAreAsTheyWereBefore) {
    storeProfile(newDatenpool());
    auto window = start();
    EXPECT_FALSE(view.isEnabled(Control::cmdAdressen));
    EXPECT_FALSE(view.isEnabled(Control::cmdUndo));
    view.checkDisk = [](const std::string& path) { return std::filesystem::is_regular_file(path); };
    view.setText(Control::txtADR, adrDirectory(kTwoAddresses));
    window->cmdStart_Click();
    EXPECT_FALSE(view.isEnabled(Control::cmdAdressen)) << "no main application, no address list";
    EXPECT_FALSE(view.isEnabled(Control::cmdUndo)) << "no range recorded";
    EXPECT_TRUE(view.isEnabled(Control::cmdOpen));
    EXPECT_TRUE(view.isEnabled(Control::txtADR));
    EXPECT_TRUE(view.isEnabled(Control::cmdImport)) << "the import follows the run";
}

TEST_F(MainWindowTest, WhetherAConversionRunsIsTheWindowsStateNotTheButtonsCaption) {
    storeProfile(newDatenpool());
    auto window = start();
    view.checkDisk = [](const std::string& path) { return std::filesystem::is_regular_file(path); };
    view.setText(Control::txtADR, adrDirectory(kTwoAddresses));
    view.setText(Control::cmdStart, std::string(app::texts::kCancelCaption));
    EXPECT_FALSE(window->converting());
    window->cancelConversion();  // none runs: nothing to cancel, now or in the next run

    bool convertingDuringTheRun = false;
    view.onPump = [&] { convertingDuringTheRun = window->converting(); };
    EXPECT_EQ(window->cmdStart_Click().ending, app::ConversionOutcome::Ending::finished)
        << "a click when no conversion runs starts one, whatever the button reads";
    EXPECT_TRUE(convertingDuringTheRun);
    EXPECT_FALSE(window->converting());

    view.onPump = [&] { window->cancelConversion(); };
    EXPECT_EQ(window->cmdStart_Click().ending, app::ConversionOutcome::Ending::cancelled);
    EXPECT_FALSE(window->converting());
}

// Start-up against a Datenpool that cannot take a conversion, reached through either backend with
// the keywords an office stores.
class StartupCheck : public MainWindowTest, public ::testing::WithParamInterface<db_tests::Backend> {
protected:
    StartupCheck() { opener = db::openConnection; }

    // A Datenpool from the database script in its own folder, named by the current profile.
    std::string datenpoolInFolder() {
        std::filesystem::create_directories(dir.path() / "daten");
        const std::string file = dir.file("daten/pool.db");
        db::SqliteConnection::create(file);
        write(kProfiles, "", "Kanzlei");
        for (const auto& [keyword, setting] : db_tests::connectionKeywordsFor(GetParam(), file)) {
            write(std::string(kProfiles) + "\\Kanzlei\\verbindung", keyword, setting);
        }
        return file;
    }
    void storeRecordedImport() {
        write(kImportKey, "ADR-Pfad", "/daten/ADR");
        write(kImportKey, "AdressNr0", "100");
        write(kImportKey, "AdressNr1", "150");
    }
    std::string readOnlyText(const app::MainWindow& window, const std::string& why) {
        return "Der Datenpool \"" + window.connection()->identity() + "\" ist schreibgeschützt: " + why +
               ". Konvertieren, Importieren und Löschen sind so nicht möglich.";
    }
    // Read-only: nothing that writes is enabled, the settings are read all the same.
    void expectNothingWrites(app::MainWindow& window) {
        EXPECT_FALSE(view.isEnabled(Control::cmdStart));
        EXPECT_FALSE(view.isEnabled(Control::cmdUndo)) << "a recorded range that cannot be deleted here";
        EXPECT_FALSE(view.isEnabled(Control::cmdImport));
        EXPECT_EQ(view.text(Control::txtIDVon), "100");
        EXPECT_EQ(view.text(Control::txtADR), "/daten/ADR");
        EXPECT_EQ(window.cmdStart_Click().ending, app::ConversionOutcome::Ending::notStarted);
    }
};

TEST_P(StartupCheck, MissingStagingTableIsNamedWithTheScriptAndNothingIsConverted) {
    const std::string file = datenpoolInFolder();
    db::SqliteConnection::open(file)->runScript("DROP TABLE AdressenImport");
    storeRecordedImport();
    auto window = start();

    const std::string cause = "Im Datenpool \"" + window->connection()->identity() +
                              "\" fehlt die Tabelle AdressenImport; ohne sie lässt sich nichts konvertieren.";
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, cause + "\r\n\r\nFühren Sie das aktuelle Datenbankskript aus.");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_EQ(view.messages[0].title, "Anschriftenwandler");
    EXPECT_EQ(view.text(Control::lblDatenpool), cause + " Führen Sie das aktuelle Datenbankskript aus.");
    EXPECT_FALSE(view.isEnabled(Control::cmdStart));
    EXPECT_EQ(view.text(Control::txtADR), "") << "settings are not read without the staging table";
    EXPECT_EQ(window->cmdStart_Click().ending, app::ConversionOutcome::Ending::notStarted);
}

TEST_P(StartupCheck, ReadOnlyFileIsNamedAndNothingThatWritesIsEnabled) {
    const std::string file = datenpoolInFolder();
    storeRecordedImport();
    const testing_support::ReadOnly readOnly(file);
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
    auto window = start();

    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.text(Control::lblDatenpool), readOnlyText(*window, "die Datei lässt sich nicht beschreiben"));
    expectNothingWrites(*window);
}

TEST_P(StartupCheck, ReadOnlyFolderIsNamedAndNothingThatWritesIsEnabled) {
    datenpoolInFolder();
    storeRecordedImport();
    const testing_support::ReadOnly readOnly(dir.file("daten"));
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the folder read-only";
    auto window = start();

    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(
        view.text(Control::lblDatenpool),
        readOnlyText(*window, "im Ordner \"" + dir.file("daten") +
                                  "\" lässt sich keine Datei anlegen; dort legt der Datenpool beim Schreiben sein "
                                  "Journal an"));
    expectNothingWrites(*window);
}

TEST_P(StartupCheck, StagingTableIsLookedUpInTheCatalogNotRead) {
    // Rows that cannot be read at start (here: a view whose table is gone; on SQL Server, a table
    // behind another session's TRUNCATE) do not keep the window from starting.
    const std::string file = datenpoolInFolder();
    db::SqliteConnection::open(file)->runScript(
        "DROP TABLE AdressenImport; CREATE TABLE Weg (nachname TEXT); "
        "CREATE VIEW AdressenImport AS SELECT nachname FROM Weg; DROP TABLE Weg;");
    auto window = start();
    EXPECT_TRUE(view.messages.empty()) << view.messages.front().text;
    EXPECT_TRUE(view.isEnabled(Control::cmdStart));
    EXPECT_EQ(view.text(Control::lblDatenpool), app::datenpoolCaption(*window->connection()));
}

INSTANTIATE_FOR_BOTH_BACKENDS(StartupCheck);

}  // namespace

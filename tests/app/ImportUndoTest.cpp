// "importieren" and "importierte Adressen wieder löschen" against a real Datenpool, which the
// window reaches as the profile says: embedded, or through ODBC with the SQLite3 driver.

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "db/Backends.h"
#include "db/FullPath.h"
#include "db/OpenConnection.h"
#include "db/sqlite/SqliteConnection.h"
#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "support/FailingConnection.h"
#include "support/RefusingRegistry.h"
#include "support/ScriptedView.h"
#include "support/TempDir.h"

namespace {

using app::Control;

constexpr const char* kProfiles = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
constexpr const char* kUndoCaption = "importierte Adressen wieder löschen";

class ImportUndo : public ::testing::TestWithParam<db_tests::Backend> {
protected:
    ImportUndo() : registry(dir.path() / "registry.reg") {
        pool = dir.file("pool.db");
        cnn = db::SqliteConnection::create(pool);
        useProfile("Kanzlei");
    }
    void useProfile(const std::string& name) {
        write(kProfiles, "", name);
        const std::string keywords = std::string(kProfiles) + "\\" + name + "\\verbindung";
        for (const auto& [keyword, setting] : db_tests::connectionKeywordsFor(GetParam(), pool)) {
            write(keywords, keyword, setting);
        }
        importKey = std::string(kProfiles) + "\\" + name + "\\Import";
    }
    void write(const std::string& key, const std::string& name, const std::string& value) {
        settings::RegValueWrite(registry, settings::kCurrentUser, key, name, value, settings::kRegSz);
    }
    std::string stored(const std::string& name) {
        return settings::RegValueRead(registry, settings::kCurrentUser, importKey, name, "<fehlt>");
    }
    // Staged addresses, listed as the conversion lists them.
    void stage(int count) {
        for (int i = 0; i < count; ++i) view.addListLine("Name");
        auto rows = cnn->openForWriting("AdressenImport");
        for (int i = 1; i <= count; ++i) {
            rows->addNew();
            rows->set("fremdid", static_cast<double>(i));
            rows->set("nachname", "Name " + std::to_string(i));
            rows->update();
        }
    }
    // Addresses already in Adressen before the import, with ids 1 to count.
    void existing(int count) {
        for (int i = 1; i <= count; ++i)
            cnn->execute("INSERT INTO Adressen (nachname) VALUES ('alt " + std::to_string(i) + "')");
    }
    // The Datenpool as the profile's connection names it. (Under Wine the ODBC driver is the
    // host's, which names the file by its host path.)
    std::string identity() {
        if (GetParam() == db_tests::Backend::Embedded) return db::fullPath(pool);
        return db::openConnection(db_tests::odbcConnectionStringFor(pool))->identity();
    }
    // A range recorded by an import into this Datenpool.
    void record(const std::string& from, const std::string& to) {
        write(importKey, "AdressNr0", from);
        write(importKey, "AdressNr1", to);
        write(importKey, "AdressNrDatenpool", identity());
    }
    // Five addresses, the last three from a previous import recorded as 2 to 5.
    void previousImport() {
        existing(5);
        record("2", "5");
    }
    // A previous import and two staged addresses, whose import routine adds its rows and then
    // fails: the rows it added are taken back with the rest.
    void importFailingAfterItsRows() {
        previousImport();
        stage(2);
        cnn->runScript(
            "UPDATE Routinen SET Rumpf = 'INSERT INTO Adressen (nachname) SELECT nachname FROM AdressenImport;"
            "INSERT INTO GibtsNicht VALUES (1);' WHERE Name = 'AdressImport'");
    }
    // Addresses a previous import brought, with those RA-MICRO numbers (the staged ones are 1 to n).
    void importedBefore(std::initializer_list<int> numbers) {
        for (const int number : numbers) {
            cnn->execute("INSERT INTO Adressen (fremdid, nachname) VALUES (" + std::to_string(number) + ", 'alt')");
        }
    }
    // The staging table's rows as "id:fremdid", in id order.
    std::vector<std::string> stagedRows() {
        std::vector<std::string> rows;
        for (auto row = cnn->execute("SELECT id, fremdid FROM AdressenImport ORDER BY id"); !row->atEnd();
             row->moveNext()) {
            rows.push_back(row->value(0).toText() + ":" + row->value(1).toText());
        }
        return rows;
    }
    // The RA-MICRO numbers in Adressen, in id order (empty for none).
    std::vector<std::string> numbersInAdressen() {
        std::vector<std::string> numbers;
        for (auto row = cnn->execute("SELECT fremdid FROM Adressen ORDER BY id"); !row->atEnd(); row->moveNext()) {
            numbers.push_back(row->value(0).toText());
        }
        return numbers;
    }
    // Nothing imported, and the previous import can still be undone.
    void expectPreviousImportKept() {
        EXPECT_EQ(ids().size(), 5u);
        EXPECT_EQ(stored("AdressNr0"), "2");
        EXPECT_EQ(stored("AdressNr1"), "5");
    }
    std::vector<std::int64_t> ids() {
        std::vector<std::int64_t> result;
        for (auto rows = cnn->execute("SELECT id FROM Adressen ORDER BY id"); !rows->atEnd(); rows->moveNext()) {
            result.push_back(rows->value(0).integer());
        }
        return result;
    }
    std::unique_ptr<app::MainWindow> start() {
        auto window = std::make_unique<app::MainWindow>(
            view, refusing,
            [this](const std::string& connectionString) -> std::unique_ptr<db::Connection> {
                auto connection = db::openConnection(connectionString);
                if (!refusesReseed) return connection;
                return std::make_unique<testing_support::FailingConnection>(
                    std::move(connection), [](std::string_view text) { return text.starts_with("DBCC CHECKIDENT"); },
                    "Benutzer hat keine Berechtigung für DBCC CHECKIDENT.");
            },
            app::Version{1, 0, 0});
        view.onTextChanged = [w = window.get()](Control control) {
            if (control == Control::txtIDVon) w->txtIDVon_Change();
            if (control == Control::txtIdBis) w->txtIdBis_Change();
        };
        window->Form_Load("");
        view.setEnabled(Control::cmdImport, true);
        view.messages.clear();
        return window;
    }

    testing_support::TempDir dir;
    settings::FileRegistry registry;
    testing_support::RefusingRegistry refusing{registry};
    bool refusesReseed = false;
    testing_support::ScriptedView view;
    std::string pool;
    std::string importKey;
    std::unique_ptr<db::SqliteConnection> cnn;
};

TEST_P(ImportUndo, FirstImportAsksOnlyForConfirmationAndRecordsTheRange) {
    existing(4);
    stage(3);
    auto window = start();
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::done);
    EXPECT_EQ(outcome.range, (app::IdRange{4, 7}));

    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(
        view.messages[0].text,
        "Hierdurch werden 3 konvertierte Adressen in die Adressverwaltung der Datenbank \"Kanzlei\"eingespielt.\r\n\r\n"
        "Da dieser Vorgang nicht immer spurenlos rückgängig gemacht werden kann, sollte dies erst geschehen, wenn die "
        "Daten zweifelsfrei so wie sie sind importiert werden sollen.");
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::confirmation);
    EXPECT_EQ(view.messages[0].title, view.caption());
    EXPECT_EQ(view.messages[1].text, "3 Adressen mit IDs 5 bis 7 wurden in die Adressverwaltung importiert.");
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::information);
    EXPECT_EQ(view.messages[1].title, "Norvel-Kanzleisoftware");

    EXPECT_EQ(ids(), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(view.text(Control::txtIDVon), "4");
    EXPECT_EQ(view.text(Control::txtIdBis), "7");
    EXPECT_EQ(stored("AdressNr0"), "4");
    EXPECT_EQ(stored("AdressNr1"), "7");
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo));
    EXPECT_EQ(view.busyChanges, (std::vector<bool>{true, false}));
}

TEST_P(ImportUndo, CancelledConfirmationChangesNothing) {
    stage(2);
    auto window = start();
    view.answers = {app::answer::kCancel};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::cancelled);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_TRUE(ids().empty());
    EXPECT_EQ(stored("AdressNr1"), "<fehlt>") << "no range recorded";
    EXPECT_TRUE(view.isEnabled(Control::cmdImport));
}

TEST_P(ImportUndo, PreviousImportIsRemovedFirstOnYes) {
    existing(100);
    cnn->execute("INSERT INTO Adressen (nachname) SELECT nachname FROM Adressen WHERE id <= 50");  // 101..150
    stage(2);
    record("100", "150");
    auto window = start();
    view.answers = {app::answer::kOk, app::answer::kYes};
    window->cmdImport_Click();

    ASSERT_GE(view.messages.size(), 3u);
    EXPECT_EQ(view.messages[1].text,
              "Zuletzt importierte Adressen 101 bis 150 zuvor löschen?\r\n\r\nAnderenfalls könnte es zu einer "
              "Duplizierung kommen.");
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::question);
    EXPECT_EQ(view.messages[1].title, "Norvel-Kanzleisoftware");
    EXPECT_EQ(view.messages[2].text, "Die importierten Adressen 100 bis 150 wurden wieder wieder gelöscht.");
    EXPECT_EQ(view.messages[2].title, kUndoCaption);
    // The new import starts right after the shortened table.
    const auto now = ids();
    ASSERT_EQ(now.size(), 102u);
    EXPECT_EQ(now[100], 101);
    EXPECT_EQ(now[101], 102);
    EXPECT_EQ(stored("AdressNr0"), "100");
    EXPECT_EQ(stored("AdressNr1"), "102");
    for (const auto& message : view.messages) {
        EXPECT_NE(message.kind, app::MessageKind::yesNoQuestion) << "asked a second time: " << message.text;
    }
}

TEST_P(ImportUndo, NoQuestionWhenThePreviousImportAddedNothing) {
    stage(2);
    record("150", "150");
    auto window = start();
    window->cmdImport_Click();
    for (const auto& message : view.messages) EXPECT_NE(message.kind, app::MessageKind::question) << message.text;
}

TEST_P(ImportUndo, OneAddressIsRecordedWithoutMaintenanceOrResult) {
    cnn->runScript(
        "CREATE TABLE Protokoll (eintrag TEXT);"
        "UPDATE Routinen SET Rumpf = 'INSERT INTO Protokoll VALUES (''gepflegt'');' WHERE Name = 'Datenpflege';");
    stage(1);
    auto window = start();
    window->cmdImport_Click();
    EXPECT_EQ(view.messages.size(), 1u) << "only the confirmation";
    EXPECT_EQ(stored("AdressNr0"), "0");
    EXPECT_EQ(stored("AdressNr1"), "1");
    EXPECT_FALSE(view.isEnabled(Control::cmdImport));
    EXPECT_TRUE(cnn->execute("Protokoll")->atEnd()) << "Datenpflege ran";

    stage(2);
    view.setEnabled(Control::cmdImport, true);
    view.answers = {app::answer::kNo, app::answer::kNo};  // all of them, the previous import kept
    window->cmdImport_Click();
    EXPECT_FALSE(cnn->execute("Protokoll")->atEnd()) << "Datenpflege did not run after two new addresses";
}

TEST_P(ImportUndo, FailingTransferImportsNothingAndKeepsThePreviousRange) {
    importFailingAfterItsRows();
    auto window = start();
    view.answers = {app::answer::kOk, app::answer::kNo};
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::failed);
    EXPECT_FALSE(outcome.range);
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_NE(view.messages[2].text.find("GibtsNicht"), std::string::npos) << view.messages[2].text;
    EXPECT_NE(view.messages[2].text.find("Es wurde nichts importiert; der zuvor verzeichnete Import bleibt."),
              std::string::npos);
    EXPECT_EQ(view.messages[2].kind, app::MessageKind::warning);
    expectPreviousImportKept();
    EXPECT_EQ(view.text(Control::txtIDVon), "2");
    EXPECT_EQ(view.text(Control::txtIdBis), "5");
    EXPECT_TRUE(view.isEnabled(Control::cmdImport)) << "a failed import leaves the button enabled";
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo));
}

TEST_P(ImportUndo, FailingLookupBeforeTheTransferStopsWithoutRange) {
    stage(2);
    record("7", "9");
    auto window = start();
    cnn->runScript("ALTER TABLE Adressen RENAME TO AdressenWeg");
    view.answers = {app::answer::kOk, app::answer::kNo};
    window->cmdImport_Click();
    ASSERT_EQ(view.messages.size(), 1u) << "stopped before any question";
    EXPECT_NE(view.messages[0].text.find("Adressen"), std::string::npos);
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
    EXPECT_EQ(stored("AdressNr0"), "7") << "no range starting at 0 recorded";
    EXPECT_EQ(stored("AdressNr1"), "9");
    EXPECT_EQ(view.text(Control::txtIDVon), "7");
}

TEST_P(ImportUndo, UndoDeletesExactlyTheRangeAndReseeds) {
    existing(150);
    record("100", "150");
    auto window = start();
    view.answers = {app::answer::kYes};
    const app::Outcome outcome = window->cmdUndo_Click();
    EXPECT_EQ(outcome.result, app::Result::done);
    EXPECT_EQ(outcome.range, (app::IdRange{100, 150}));
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text, "Die importierten Adressen 100 bis 150 wurden wieder wieder gelöscht.");
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::information);
    EXPECT_EQ(view.messages[1].title, kUndoCaption);
    EXPECT_EQ(ids().size(), 100u);
    EXPECT_EQ(ids().back(), 100);
    cnn->execute("INSERT INTO Adressen (nachname) VALUES ('neu')");
    EXPECT_EQ(ids().back(), 101) << "the next address follows the highest one left";
    EXPECT_EQ(stored("AdressNr0"), "");
    EXPECT_EQ(stored("AdressNr1"), "");
    EXPECT_EQ(view.text(Control::txtIDVon), "");
    EXPECT_EQ(view.text(Control::txtIdBis), "");
    EXPECT_FALSE(view.isEnabled(Control::cmdUndo));
}

TEST_P(ImportUndo, RefusedReseedUndoesNothingAndKeepsTheRange) {
    existing(150);
    record("100", "150");
    refusesReseed = true;
    auto window = start();
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::failed);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text,
              "Die Adressen ließen sich nicht löschen: Benutzer hat keine Berechtigung für DBCC CHECKIDENT.\r\n\r\nEs "
              "wurden keine Adressen gelöscht.");
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::warning);
    EXPECT_EQ(ids().size(), 150u) << "the deletion is taken back with the refused reseed";
    EXPECT_EQ(stored("AdressNr0"), "100");
    EXPECT_EQ(stored("AdressNr1"), "150");
    EXPECT_EQ(view.text(Control::txtIDVon), "100");
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo)) << "the undo can be tried again";
}

TEST_P(ImportUndo, UndoOfEverythingReseedsToZero) {
    existing(5);
    record("0", "5");
    auto window = start();
    view.answers = {app::answer::kYes};
    window->cmdUndo_Click();
    EXPECT_TRUE(ids().empty());
    cnn->execute("INSERT INTO Adressen (nachname) VALUES ('neu')");
    EXPECT_EQ(ids(), std::vector<std::int64_t>{1});
}

TEST_P(ImportUndo, UndoRefusesRangesThatAreNoWholeNumbers) {
    existing(5);
    auto window = start();
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"1.5", "5"}, {"1", "5 OR 1=1"}, {"1e400", "5"}}) {
        view.messages.clear();
        view.setText(Control::txtIDVon, from);
        view.setText(Control::txtIdBis, to);
        window->cmdUndo_Click();
        ASSERT_EQ(view.messages.size(), 1u) << from << " / " << to;
        EXPECT_EQ(view.messages[0].kind, app::MessageKind::warning);
        EXPECT_NE(view.messages[0].text.find("keine ganzen Zahlen"), std::string::npos);
        EXPECT_EQ(ids().size(), 5u) << "nothing deleted for " << from << " / " << to;
    }
}

TEST_P(ImportUndo, ProtectedDatabaseIsRefusedByBoth) {
    useProfile("NORVEL-SERVER/Norvel");
    stage(1);
    existing(2);
    record("0", "2");
    auto window = start();
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::refused);
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::refused);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].text, "In die Datenbank \"NORVEL-SERVER/Norvel\" kann nicht exportiert werden.");
    EXPECT_EQ(view.messages[0].title, "Anschriftenwandler");
    EXPECT_EQ(view.messages[1].text,
              "In der Datenbank \"NORVEL-SERVER/Norvel\" kann diese Funktion nicht ausgeführt werden.");
    EXPECT_EQ(view.messages[1].title, kUndoCaption);
    EXPECT_EQ(ids().size(), 2u);
}

TEST_P(ImportUndo, SecondImportAsksAboutAFirstImportIntoAnEmptyTable) {
    stage(2);
    auto window = start();
    ASSERT_EQ(window->cmdImport_Click().range, (app::IdRange{0, 2}));
    view.messages.clear();
    view.setEnabled(Control::cmdImport, true);
    view.answers = {app::answer::kNo, app::answer::kCancel};  // all of them, asked about the first
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::cancelled);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text,
              "Zuletzt importierte Adressen 1 bis 2 zuvor löschen?\r\n\r\nAnderenfalls könnte es zu einer Duplizierung "
              "kommen.");
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::question);
    EXPECT_EQ(ids().size(), 2u) << "nothing duplicated";
}

TEST_P(ImportUndo, QuestionFollowsTheUndoButtonsRule) {
    existing(3);
    stage(1);
    auto window = start();
    for (const auto& [from, to, asked] : std::vector<std::tuple<std::string, std::string, bool>>{{"0", "3", true},
                                                                                                 {"-1", "3", true},
                                                                                                 {"2.5", "3", true},
                                                                                                 {"3", "3", false},
                                                                                                 {"", "3", false},
                                                                                                 {"abc", "3", false}}) {
        view.messages.clear();
        view.setText(Control::txtIDVon, from);
        view.setText(Control::txtIdBis, to);
        const bool undoable = view.isEnabled(Control::cmdUndo);
        view.answers = {app::answer::kOk, app::answer::kCancel};
        window->cmdImport_Click();
        const bool questioned = view.messages.size() >= 2 && view.messages[1].kind == app::MessageKind::question;
        EXPECT_EQ(questioned, asked) << from << " / " << to;
        EXPECT_EQ(questioned, undoable) << from << " / " << to;
        view.answers = {app::answer::kYes};
        if (!asked) window->cmdUndo_Click();  // nothing imported that the loop would see again
        cnn->execute("DELETE FROM Adressen WHERE id > 3");
    }
}

TEST_P(ImportUndo, FailedUndoBeforeTheImportStopsIt) {
    previousImport();
    stage(2);
    auto window = start();
    cnn->runScript("CREATE TRIGGER keinLoeschen BEFORE DELETE ON Adressen BEGIN SELECT RAISE(ABORT, 'gesperrt'); END;");
    view.answers = {app::answer::kOk, app::answer::kYes};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::failed);
    expectPreviousImportKept();
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().text,
              "Die zuletzt importierten Adressen wurden nicht gelöscht; deshalb wurde nichts importiert.");
}

TEST_P(ImportUndo, ImportThatAddsNothingKeepsThePreviousRange) {
    previousImport();
    stage(2);
    cnn->runScript("UPDATE Routinen SET Rumpf = 'SELECT 1;' WHERE Name = 'AdressImport'");
    auto window = start();
    view.answers = {app::answer::kOk, app::answer::kNo};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::nothingToDo);
    expectPreviousImportKept();
    EXPECT_EQ(view.text(Control::txtIDVon), "2");
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo));
}

TEST_P(ImportUndo, RefusedSettingsStopTheImportBeforeAnythingIsCopied) {
    previousImport();
    stage(2);
    auto window = start();
    refusing.refuses = [](const std::string&, const std::string&) { return true; };
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::failed);
    ASSERT_EQ(view.messages.size(), 2u) << "stopped before the question about the previous import";
    EXPECT_NE(view.messages[1].text.find("Zugriff verweigert (Fehler 5)"), std::string::npos) << view.messages[1].text;
    EXPECT_NE(view.messages[1].text.find("registry.reg"), std::string::npos) << "names the settings store";
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::warning);
    expectPreviousImportKept();
    EXPECT_TRUE(view.isEnabled(Control::cmdImport));
}

TEST_P(ImportUndo, UnrecordableUpperBoundTakesTheCopyBack) {
    previousImport();
    stage(3);
    auto window = start();
    refusing.refuses = [](const std::string& name, const std::string&) { return name == "AdressNr1"; };
    view.answers = {app::answer::kOk, app::answer::kNo};
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::failed);
    EXPECT_FALSE(outcome.range);
    expectPreviousImportKept();
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_NE(view.messages[2].text.find("Zugriff verweigert"), std::string::npos) << view.messages[2].text;
    EXPECT_NE(view.messages[2].text.find("Es wurde nichts importiert"), std::string::npos) << view.messages[2].text;
    EXPECT_EQ(view.text(Control::txtIDVon), "2");
    EXPECT_EQ(view.text(Control::txtIdBis), "5");
    cnn->execute("INSERT INTO Adressen (nachname) VALUES ('neu')");
    EXPECT_EQ(ids().back(), 6) << "the identity counter went back with the copy";
}

TEST_P(ImportUndo, RangeIsRecordedBeforeTheCopyCommits) {
    existing(2);
    stage(3);
    auto window = start();
    std::int64_t visibleWhenRecorded = -1;
    refusing.refuses = [&](const std::string& name, const std::string&) {
        if (name == "AdressNr1") {
            visibleWhenRecorded =
                db::SqliteConnection::open(pool)->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer();
        }
        return false;
    };
    EXPECT_EQ(window->cmdImport_Click().range, (app::IdRange{2, 5}));
    EXPECT_EQ(visibleWhenRecorded, 2) << "a crash before the range was recorded would have left the copy in place";
    EXPECT_EQ(ids().size(), 5u);
}

TEST_P(ImportUndo, ChangedStagingTableImportsNothing) {
    existing(1);
    stage(8);
    auto window = start();
    // Another workstation converts after this one listed its eight addresses.
    cnn->execute("INSERT INTO AdressenImport (nachname) SELECT nachname FROM AdressenImport");
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::failed);
    EXPECT_EQ(ids().size(), 1u);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(
        view.messages[1].text.rfind("Die Tabelle AdressenImport enthält jetzt 16 Adressen, bestätigt wurden 8.", 0), 0u)
        << view.messages[1].text;
    EXPECT_EQ(stored("AdressNr1"), "<fehlt>") << "no range recorded";
    EXPECT_TRUE(view.isEnabled(Control::cmdImport));
}

TEST_P(ImportUndo, UndoRefusesWhenTheSettingsCannotBeCleared) {
    existing(8);
    record("5", "8");
    auto window = start();
    refusing.refuses = [](const std::string&, const std::string&) { return true; };
    const app::Outcome outcome = window->cmdUndo_Click();
    EXPECT_EQ(outcome.result, app::Result::failed);
    EXPECT_EQ(ids().size(), 8u) << "nothing deleted";
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("Es wurden keine Adressen gelöscht."), std::string::npos)
        << view.messages[0].text;
    EXPECT_NE(view.messages[0].text.find("Zugriff verweigert"), std::string::npos);
    EXPECT_EQ(view.text(Control::txtIDVon), "5");
}

TEST_P(ImportUndo, UndoThatCannotClearTheRangeDeletesNothing) {
    existing(8);
    record("5", "8");
    auto window = start();
    // The store takes the value as it stands but not its clearing: the deletion is taken back,
    // since a range left recorded after its rows are gone would let the next undo delete the new
    // addresses that take those ids.
    refusing.refuses = [](const std::string&, const std::string& text) { return text.empty(); };
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::failed);
    EXPECT_EQ(ids().size(), 8u);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].kind, app::MessageKind::warning);
    EXPECT_EQ(view.messages[1].text.rfind("Der Bereich ließ sich nicht aus den Einstellungen löschen; deshalb wurden "
                                          "keine Adressen gelöscht. Der Import bleibt verzeichnet.",
                                          0),
              0u)
        << view.messages[1].text;
    EXPECT_NE(view.messages[1].text.find("Zugriff verweigert"), std::string::npos);
    EXPECT_EQ(stored("AdressNr0"), "5");
    EXPECT_EQ(stored("AdressNr1"), "8");
    EXPECT_EQ(view.text(Control::txtIDVon), "5");
    EXPECT_TRUE(view.isEnabled(Control::cmdUndo)) << "the undo can be tried again";

    // The first value cleared, the second refused, and the first not to be restored: the
    // message names the range, since the settings no longer hold it whole.
    view.messages.clear();
    int writesOfTheLowerBound = 0;  // the trial before the undo passes, the restoring after it not
    refusing.refuses = [&](const std::string& name, const std::string& text) {
        if (name == "AdressNr0" && !text.empty()) return ++writesOfTheLowerBound > 1;
        return name == "AdressNr1";
    };
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::failed);
    EXPECT_EQ(ids().size(), 8u);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_NE(view.messages[1].text.find("nur noch zur Hälfte eingetragen (IDs \"5\" bis \"8\")"), std::string::npos)
        << view.messages[1].text;
    EXPECT_FALSE(view.isEnabled(Control::cmdUndo)) << "the screen shows what the settings hold";
}

TEST_P(ImportUndo, UndoClickedDirectlyAsksFirstNamingHowManyAndWhich) {
    existing(150);
    record("100", "150");
    auto window = start();
    // No, and any other way of closing the question, deletes nothing.
    for (const int answer : {app::answer::kNo, app::answer::kCancel, app::answer::kOk}) {
        view.messages.clear();
        view.answers = {answer};
        EXPECT_EQ(window->cmdUndo_Click().result, app::Result::cancelled) << answer;
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0].text,
                  "Hierdurch werden 50 Adressen mit IDs 101 bis 150 aus der Adressverwaltung der Datenbank \"Kanzlei\" "
                  "gelöscht.\r\n\r\nWirklich löschen?");
        EXPECT_EQ(view.messages[0].kind, app::MessageKind::yesNoQuestion);
        EXPECT_EQ(view.messages[0].title, kUndoCaption);
        EXPECT_EQ(ids().size(), 150u);
        EXPECT_EQ(stored("AdressNr1"), "150");
        EXPECT_EQ(view.text(Control::txtIdBis), "150");
    }
}

TEST_P(ImportUndo, UndoOfATypedRangeSaysThatItIsNotTheRecordedImport) {
    previousImport();
    auto window = start();
    view.setText(Control::txtIDVon, "0");
    view.answers = {app::answer::kNo};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::cancelled);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "Hierdurch werden 5 Adressen mit IDs 1 bis 5 aus der Adressverwaltung der Datenbank \"Kanzlei\" gelöscht."
              "\r\n\r\nAchtung: Das ist nicht der Bereich des letzten Imports (IDs 3 bis 5).\r\n\r\nWirklich löschen?");
    expectPreviousImportKept();

    // Nothing recorded at all: the office's own addresses 3 to 5 would go.
    record("", "");
    window = start();
    view.setText(Control::txtIDVon, "2");
    view.setText(Control::txtIdBis, "5");
    view.messages.clear();
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::done);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].text,
              "Hierdurch werden 3 Adressen mit IDs 3 bis 5 aus der Adressverwaltung der Datenbank \"Kanzlei\" gelöscht."
              "\r\n\r\nAchtung: Es ist kein Import verzeichnet; diese IDs stammen nicht aus einem Import."
              "\r\n\r\nWirklich löschen?");
    EXPECT_EQ(ids(), (std::vector<std::int64_t>{1, 2})) << "deleted as confirmed";
}

TEST_P(ImportUndo, RecordedRangeBelongsToItsDatenpool) {
    existing(5);
    stage(2);
    auto window = start();
    ASSERT_EQ(window->cmdImport_Click().range, (app::IdRange{5, 7}));
    EXPECT_EQ(stored("AdressNrDatenpool"), identity()) << "the import names the Datenpool it went to";

    // The same range recorded for another Datenpool: neither the undo nor the import's removal
    // deletes here what that range never wrote.
    const std::string other = (dir.path() / "anderer.db").string();
    write(importKey, "AdressNrDatenpool", other);
    window = start();
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::refused);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Der verzeichnete Import (IDs 6 bis 7) ging in den Datenpool \"" + other +
                                         "\", geöffnet ist der Datenpool \"" + identity() +
                                         "\". Er lässt sich nur dort löschen; es wurden keine Adressen gelöscht.");
    EXPECT_EQ(ids().size(), 7u);

    view.messages.clear();
    view.answers = {app::answer::kNo, app::answer::kYes};  // all of them, the previous one removed
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::refused);
    ASSERT_EQ(view.messages.size(), 3u);
    EXPECT_NE(view.messages[1].text.find("Achtung: Dieser Import ging in den Datenpool \"" + other + "\""),
              std::string::npos)
        << view.messages[1].text;
    EXPECT_NE(view.messages[2].text.find("deshalb wurde nichts importiert"), std::string::npos)
        << view.messages[2].text;
    EXPECT_EQ(ids().size(), 7u) << "nothing deleted, nothing imported";
    EXPECT_EQ(stored("AdressNrDatenpool"), other);

    // Keeping the other Datenpool's import, this one imports and records its own range.
    view.answers = {app::answer::kNo, app::answer::kNo};
    EXPECT_EQ(window->cmdImport_Click().range, (app::IdRange{7, 9}));
    EXPECT_EQ(stored("AdressNrDatenpool"), identity());
}

TEST_P(ImportUndo, RangeWithoutItsDatenpoolIsDeletedOnlyAfterAQuestionNamingTheOpenOne) {
    previousImport();
    write(importKey, "AdressNrDatenpool", "");  // as an earlier version recorded it
    stage(2);
    auto window = start();
    const std::string note = "Achtung: Für diesen Import ist nicht verzeichnet, in welchen Datenpool er ging; gelöscht";
    view.answers = {app::answer::kNo};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::cancelled);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find(note + " wird im Datenpool \"" + identity() + "\"."), std::string::npos)
        << view.messages[0].text;
    expectPreviousImportKept();

    view.messages.clear();
    view.answers = {app::answer::kOk, app::answer::kCancel};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::cancelled);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_NE(view.messages[1].text.find(note + " würde im Datenpool \"" + identity() + "\"."), std::string::npos)
        << view.messages[1].text;
    expectPreviousImportKept();
}

TEST_P(ImportUndo, FailedImportAfterTheRemovalKeepsThePreviousImport) {
    importFailingAfterItsRows();
    auto window = start();
    view.answers = {app::answer::kOk, app::answer::kYes};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::failed);
    expectPreviousImportKept();
    EXPECT_EQ(ids(), (std::vector<std::int64_t>{1, 2, 3, 4, 5})) << "the removed addresses are back";
    ASSERT_EQ(view.messages.size(), 3u) << "no message that the previous import was deleted";
    EXPECT_NE(view.messages[2].text.find("Es wurde nichts importiert, und die zuletzt importierten Adressen 3 bis 5 "
                                         "wurden nicht gelöscht; der zuvor verzeichnete Import bleibt."),
              std::string::npos)
        << view.messages[2].text;
    EXPECT_EQ(view.text(Control::txtIDVon), "2");
    cnn->execute("INSERT INTO Adressen (nachname) VALUES ('neu')");
    EXPECT_EQ(ids().back(), 6) << "the identity counter went back with the removal";
}

TEST_P(ImportUndo, UndoQuestionCountsTheAddressesThatAreThere) {
    existing(11);
    cnn->execute("DELETE FROM Adressen WHERE id <= 3 OR id = 7");
    record("0", "11");
    auto window = start();
    view.answers = {app::answer::kNo};
    window->cmdUndo_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.rfind("Hierdurch werden 7 Adressen mit IDs 4 bis 11 aus der Adressverwaltung", 0),
              0u)
        << view.messages[0].text;

    cnn->execute("DELETE FROM Adressen WHERE id <> 5");
    view.messages.clear();
    view.answers = {app::answer::kNo};
    window->cmdUndo_Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text.rfind("Hierdurch werden 1 Adresse mit ID 5 aus", 0), 0u) << view.messages[0].text;

    // The addresses are gone already: the question says so and the range can still be cleared.
    cnn->execute("DELETE FROM Adressen");
    view.messages.clear();
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::done);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].text,
              "Im Bereich der IDs 1 bis 11 gibt es in der Adressverwaltung der Datenbank \"Kanzlei\" keine Adressen "
              "mehr; es wird keine gelöscht, nur der ID-Zähler zurückgesetzt und der Bereich ausgetragen."
              "\r\n\r\nFortfahren?");
    EXPECT_EQ(stored("AdressNr1"), "");
}

TEST_P(ImportUndo, ImportAndUndoGoByTheRecordAnotherProgramMadeMeanwhile) {
    previousImport();
    stage(2);
    auto window = start();
    // Another program imports two addresses and records them after this window read the settings.
    existing(2);
    record("5", "7");

    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::refused);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text,
              "Inzwischen wurde ein anderer Import verzeichnet (IDs \"5\" bis \"7\"); die Felder zeigen ihn jetzt. Es "
              "wurden keine Adressen gelöscht; bitte prüfen und erneut wählen.");
    EXPECT_EQ(ids().size(), 7u) << "the addresses this window showed are not deleted behind the new record";
    EXPECT_EQ(view.text(Control::txtIDVon), "5");
    EXPECT_EQ(stored("AdressNr1"), "7");

    // The import asks about the import recorded now.
    record("0", "7");
    view.messages.clear();
    view.answers = {app::answer::kOk, app::answer::kCancel};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::cancelled);
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text.rfind("Zuletzt importierte Adressen 1 bis 7 zuvor löschen?", 0), 0u)
        << view.messages[1].text;
}

TEST_P(ImportUndo, QuestionNamesTheAddressesImportedBeforeAndOnlyTheNewOnesCome) {
    importedBefore({2, 4});
    stage(5);
    const std::vector<std::string> staged = stagedRows();
    auto window = start();
    view.answers = {app::answer::kYes};
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.result, app::Result::done);
    EXPECT_EQ(outcome.range, (app::IdRange{2, 5}));
    EXPECT_EQ(outcome.leftOut, 2);

    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::onlyNewChoice);
    EXPECT_EQ(view.messages[0].title, view.caption());
    EXPECT_EQ(view.messages[0].text.rfind("Hierdurch werden 5 konvertierte Adressen", 0), 0u) << view.messages[0].text;
    EXPECT_NE(view.messages[0].text.find("Davon sind 2 Adressen bereits in der Adressverwaltung (aus einem früheren "
                                         "Import); neu sind 3 Adressen. Nur die neuen Adressen importieren?"),
              std::string::npos)
        << view.messages[0].text;
    EXPECT_EQ(view.messages[1].text,
              "3 Adressen mit IDs 3 bis 5 wurden in die Adressverwaltung importiert. 2 bereits früher importierte "
              "Adressen wurden ausgelassen.");

    EXPECT_EQ(numbersInAdressen(), (std::vector<std::string>{"2", "4", "1", "3", "5"}));
    EXPECT_EQ(stagedRows(), staged) << "the staging table holds every address again, with its id";
    EXPECT_EQ(stored("AdressNr0"), "2");
    EXPECT_EQ(stored("AdressNr1"), "5");

    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdUndo_Click().result, app::Result::done);
    EXPECT_EQ(numbersInAdressen(), (std::vector<std::string>{"2", "4"})) << "the undo removes exactly the new ones";
}

TEST_P(ImportUndo, NoBringsEveryStagedAddressAgain) {
    importedBefore({1});
    stage(2);
    auto window = start();
    view.answers = {app::answer::kNo};
    const app::Outcome outcome = window->cmdImport_Click();
    EXPECT_EQ(outcome.range, (app::IdRange{1, 3}));
    EXPECT_EQ(outcome.leftOut, 0);
    EXPECT_NE(view.messages[0].text.find("Davon ist 1 Adresse bereits in der Adressverwaltung (aus einem früheren "
                                         "Import); neu ist 1 Adresse."),
              std::string::npos)
        << view.messages[0].text;
    EXPECT_EQ(view.messages.back().text, "2 Adressen mit IDs 2 bis 3 wurden in die Adressverwaltung importiert.");
    EXPECT_EQ(numbersInAdressen(), (std::vector<std::string>{"1", "1", "2"}));
}

TEST_P(ImportUndo, CancelledChoiceImportsNothing) {
    importedBefore({1, 2});
    stage(2);
    auto window = start();
    view.answers = {app::answer::kCancel};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::cancelled);
    EXPECT_NE(view.messages[0].text.find("neue sind nicht darunter"), std::string::npos) << view.messages[0].text;
    EXPECT_EQ(ids().size(), 2u);
    EXPECT_EQ(stored("AdressNr1"), "<fehlt>");
}

TEST_P(ImportUndo, AddressTableWithoutRaMicroNumbersCannotTellAndImportsAsBefore) {
    cnn->runScript(
        "DROP TABLE Adressen; CREATE TABLE Adressen (id INTEGER PRIMARY KEY AUTOINCREMENT, nachname VARCHAR(255));"
        "UPDATE Routinen SET Rumpf = 'INSERT INTO Adressen (nachname) SELECT nachname FROM AdressenImport ORDER BY id;'"
        " WHERE Name = 'AdressImport';");
    stage(2);
    auto window = start();
    EXPECT_EQ(window->cmdImport_Click().range, (app::IdRange{0, 2}));
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].kind, app::MessageKind::confirmation);
    const std::string& question = view.messages[0].text;
    EXPECT_EQ(question.substr(question.rfind("\r\n\r\n")),
              "\r\n\r\nOb einige dieser Adressen bereits früher importiert wurden, lässt sich nicht feststellen: Die "
              "Tabelle Adressen hat keine Spalte fremdid.");
}

TEST_P(ImportUndo, FailingRoutineWithOnlyTheNewOnesLeavesTheStagingTableAsItWas) {
    importedBefore({1, 3});
    stage(4);
    const std::vector<std::string> staged = stagedRows();
    cnn->runScript(
        "UPDATE Routinen SET Rumpf = 'INSERT INTO Adressen (fremdid) SELECT fremdid FROM AdressenImport;"
        "INSERT INTO GibtsNicht VALUES (1);' WHERE Name = 'AdressImport'");
    auto window = start();
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdImport_Click().result, app::Result::failed);
    EXPECT_NE(view.messages.back().text.find("GibtsNicht"), std::string::npos) << view.messages.back().text;
    EXPECT_EQ(stagedRows(), staged);
    EXPECT_EQ(numbersInAdressen(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(stored("AdressNr1"), "<fehlt>");

    // Nothing of the failed attempt stands in the way of the next one.
    cnn->runScript(
        "UPDATE Routinen SET Rumpf = 'INSERT INTO Adressen (fremdid) SELECT fremdid FROM AdressenImport ORDER BY id;'"
        " WHERE Name = 'AdressImport'");
    view.answers = {app::answer::kYes};
    EXPECT_EQ(window->cmdImport_Click().range, (app::IdRange{2, 4}));
    EXPECT_EQ(numbersInAdressen(), (std::vector<std::string>{"1", "3", "2", "4"}));
    EXPECT_EQ(stagedRows(), staged);
}

INSTANTIATE_FOR_BOTH_BACKENDS(ImportUndo);

}  // namespace

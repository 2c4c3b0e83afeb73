#pragma once
// frmRam2Kov, the window's logic: the state its commands share and every command, written
// against the View port so that it runs the same in the Win32 window and in tests.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "app/CommandOutcome.h"
#include "app/Conversion.h"
#include "app/RecordedImport.h"
#include "app/RunReport.h"
#include "app/StartupCheck.h"
#include "app/View.h"
#include "db/Connection.h"

#include "settings/RegistryApi.h"

namespace transfer {
class ImportTransaction;
}

namespace app {

// Opens a connection string; throws db::Error with the provider's text when it cannot.
using ConnectionOpener = std::function<std::unique_ptr<db::Connection>(const std::string& connectionString)>;

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

class MainWindow : private adr::ConversionEvents {
public:
    MainWindow(View& view, settings::RegistryApi& registry, ConnectionOpener openConnection, Version version);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Start-up. commandLine: empty for the window; otherwise the single-address mode runs and
    // the answer is false (end the program without showing the window).
    bool Form_Load(const std::string& commandLine);
    // Before start-up: opens this Datenpool (a file or a connection string, handed to the
    // opener as it is) in place of the stored connection keywords, and names it where the
    // messages name the database.
    void useDatenpool(std::string target) { givenDatenpool_ = std::move(target); }
    // The program's exit code after single-address mode: 0 when the address was converted, 1
    // when nothing was (no number, not found, no connection, its row refused or discarded, a
    // failure).
    int singleAddressExitCode() const { return singleAddressExitCode_; }

    // Keeps the records of each conversion in a work file in workDirectory, for the counts the
    // window shows after it and for the report of "Bericht…".
    void keepRunReports(std::filesystem::path workDirectory) { reportDirectory_ = std::move(workDirectory); }
    // Saves the report of the last conversion where the user says, and opens it.
    void cmdBericht_Click();

    void cmdAdressen_Click();
    void cmdOpen_Click();
    // Starts a conversion, or cancels the running one; answers what the conversion did.
    ConversionOutcome cmdStart_Click();
    // Escape, closing the window, Ctrl+C: cancels a running conversion as a click on its button
    // does; nothing when none runs.
    void cancelConversion();
    Outcome cmdImport_Click();
    // Asks first, naming the addresses it would delete; deletes only on Yes.
    Outcome cmdUndo_Click();
    void txtIDVon_Change();
    void txtIdBis_Change();

    const std::string& importSchluessel() const { return importSchluessel_; }
    const std::string& datenbank() const { return datenbank_; }
    // The open connection; none when start-up could not open it.
    db::Connection* connection() const { return cnn_.get(); }
    // What start-up found of the Datenpool.
    const DatenpoolCheck& datenpoolCheck() const { return check_; }
    // The target as start-up showed it ("<server>/<database> / AdressenImport"); empty when it
    // could not tell.
    const std::string& target() const { return target_; }
    // A conversion is running: its button cancels it, and nothing else acts.
    bool converting() const { return converting_; }
    // The import the settings record, as this window last read or wrote it.
    const RecordedImport& recordedImport() const { return knownRecord_; }
    // The undo can run: no conversion runs, the Datenpool takes deletions, and the id fields hold
    // a range (the undo button's rule).
    bool undoAvailable() const;
    // The field mapper of the conversions, to observe their records.
    adr::FieldMapper& mapper() { return mapper_; }
    // Each row the conversions list goes to rowListed as well, so that their records are paired
    // with their rows while the list is read.
    void pairListedRows(ListedRowSink rowListed) { rowListed_ = std::move(rowListed); }

private:
    // What the reader and the mapper tell the window.
    void showMessage(const std::string& text) override;
    void pumpEvents() override;
    void listCleared() override;
    void fileStarted(int number) override;
    void recordsCounted(std::int32_t count) override;
    bool cancelRequested() override { return abbruch_; }

    // Writes one of the tool's own settings values; answers the registry's status. Before
    // start-up formed ImportSchluessel nothing is written (kErrorBadPathname).
    settings::Status writeSetting(const std::string& name, const std::string& value);
    std::string readSetting(const std::string& name);
    // Writes AdressNr0 again as it stands: proves that the settings take writes now, before an
    // import or an undo changes the database, without touching the recorded range.
    settings::Status settingsWritable();
    // Why a range could not be recorded or cleared, naming the settings store.
    std::string settingsFailure(settings::Status status) const;
    RecordedImport readRecordedImport();
    // Writes the three values in their order; answers the status of the first that fails.
    settings::Status writeRecordedImport(const RecordedImport& record);
    // Under the import lock: takes what the settings record now, which another program may have
    // changed since this window read it, onto the id fields; answers whether it had changed.
    bool adoptRecordedImport();
    // The Datenpool a recorded range belongs to, when the id fields show that range and it is
    // not the open one; empty otherwise.
    std::string foreignDatenpool() const;
    // "The recorded import went to Datenpool A, the open one is B": why it is not deleted here.
    std::string foreignRecordRefusal(const std::string& foreign) const;
    // The id fields show the recorded range, and the record does not say which Datenpool it is of.
    bool recordWithoutDatenpool() const;
    // The copy, the lookups and the recording of the range, committed together with what `work`
    // did before (the removal of the previous import). startHighest: the highest id of Adressen
    // when the transaction began. onlyNew: the staged addresses already in Adressen are set aside
    // for the copy and put back after it.
    Outcome importInOneTransaction(transfer::ImportTransaction& work, long long confirmed, std::int32_t startHighest,
                                   const std::optional<IdRange>& removed, bool onlyNew);
    // The import's question, with the choice of only the new addresses when some are imported
    // already: none when the user cancels, else whether only the new ones are to come. Throws
    // db::Error when the count fails.
    std::optional<bool> askBeforeImport(long long confirmed);
    // After a failed import: records what Adressen now holds above `startHighest`, or keeps the
    // previous range when nothing came. Answers the text to add to the failure's message.
    std::string settleFailedImport(std::int32_t startHighest, bool settingsTouched, const RecordedImport& previous,
                                   const std::optional<IdRange>& removed, Outcome& outcome);
    // The import's removal of the previous import, inside its transaction: none when it was
    // deleted, otherwise what the import ends with (a message said why).
    std::optional<Outcome> removePreviousImport(IdRange& removed);
    // The question before a direct undo: none when confirmed, otherwise what the undo ends with.
    std::optional<Outcome> askBeforeUndo(const IdRange& range, const std::string& title);
    // Clears the recorded range before the undo commits; none when cleared, otherwise what the
    // undo ends with, everything taken back.
    std::optional<Outcome> clearRecordBeforeCommit(transfer::ImportTransaction& work, const std::string& title);
    // Both id fields numeric, the lower smaller than the upper.
    bool undoAccepts() const;
    // Writes "ADR-Pfad"; a write that fails is reported, and the command goes on.
    void storeAdrPfad(const std::string& directory);
    // The main application's program "kov.exe" in its root directory "Stammverzeichnis".
    std::string mainProgram() const;
    void updateUndoButton();
    // Begins the records of a run for its report, when the window keeps them; answers where its
    // listed rows go.
    ListedRowSink beginRunReport();
    // After a run: its counts and the report button, or neither when the run kept nothing.
    void showRunResult(const ConversionOutcome& outcome);
    // Keeps in the settings whether the staging table holds what a cancelled conversion left, so
    // that an import in a later session still warns; and reads it back for the staging table as
    // it is now.
    void rememberStagedRun(bool cancelled);
    bool stagedFromCancelledRun();

    View& view_;
    settings::RegistryApi& registry_;
    ConnectionOpener openConnection_;
    Version version_;

    std::unique_ptr<db::Connection> cnn_;
    DatenpoolCheck check_;
    std::string target_;
    std::string datenpoolName_;
    std::string datenbank_;
    std::optional<std::string> givenDatenpool_;
    std::string importSchluessel_;
    bool abbruch_ = false;
    // A conversion fills the staging table: only its cancel acts.
    bool converting_ = false;
    // The range and Datenpool of the recorded import as this window last read or wrote them.
    RecordedImport knownRecord_;
    // The staging table holds what a cancelled run left, not the whole directory.
    bool stagedFromCancelledRun_ = false;
    int singleAddressExitCode_ = 0;
    std::int32_t adressZaehler_ = 0;
    adr::FieldMapper mapper_{*this};
    ListedRowSink rowListed_;
    std::optional<std::filesystem::path> reportDirectory_;
    std::unique_ptr<RunReport> lastRun_;
};

}  // namespace app

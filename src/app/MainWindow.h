#pragma once
// frmRam2Kov, the window's logic: the state its commands share and every command, written
// against the View port so that it runs the same in the Win32 window and in tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
#include "app/CommandOutcome.h"
#include "app/Conversion.h"
#include "app/View.h"
#include "db/Connection.h"

#include "settings/RegistryApi.h"

namespace app {

// Opens a connection string; throws db::Error with the provider's text when it cannot.
using ConnectionOpener = std::function<std::unique_ptr<db::Connection>(const std::string& connectionString)>;

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

inline constexpr const char* kDesignCaption = "Norvel-Kanzleisoftware - Adressimport";

class MainWindow : private adr::ConversionEvents {
public:
    MainWindow(View& view, settings::RegistryApi& registry, ConnectionOpener openConnection, Version version);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Start-up. commandLine: empty for the window; otherwise the single-address mode runs and
    // the answer is false (end the program without showing the window).
    bool Form_Load(const std::string& commandLine);
    // The program's exit code after single-address mode: 0 when the address was converted, 1
    // when nothing was (no number, not found, no connection, a failure).
    int singleAddressExitCode() const { return singleAddressExitCode_; }

    void cmdAdressen_Click();
    void cmdOpen_Click();
    // Starts a conversion, or cancels the running one; answers what the conversion did.
    ConversionOutcome cmdStart_Click();
    Outcome cmdImport_Click();
    // Asks first, naming the addresses it would delete; deletes only on Yes.
    Outcome cmdUndo_Click();
    void txtIDVon_Change();
    void txtIdBis_Change();

    const std::string& importSchluessel() const { return importSchluessel_; }
    const std::string& datenbank() const { return datenbank_; }
    // The open connection; none when start-up could not open it.
    db::Connection* connection() const { return cnn_.get(); }
    // The field mapper of the conversions, to observe their records.
    adr::FieldMapper& mapper() { return mapper_; }

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
    // The copy, the lookups and the recording of the range, committed together.
    Outcome importInOneTransaction(long long confirmed);
    // After a failed import: records what Adressen now holds above `before`, or keeps the
    // previous range when nothing came. Answers the text to add to the failure's message.
    std::string settleFailedImport(std::int32_t before, bool settingsTouched, const std::string& previousFrom,
                                   const std::string& previousTo, Outcome& outcome);
    // The undo: the range of the id fields deleted; askFirst: the question of a direct click.
    Outcome undoImport(bool askFirst);
    // The question before a direct undo: none when confirmed, otherwise what the undo ends with.
    std::optional<Outcome> askBeforeUndo(const IdRange& range, const std::string& title);
    // The undo button's rule: both id fields numeric, the lower smaller than the upper.
    bool undoAccepts() const;
    // Writes "ADR-Pfad"; a write that fails is reported, and the command goes on.
    void storeAdrPfad(const std::string& directory);
    std::string stammverzeichnis() const;
    void updateUndoButton();

    View& view_;
    settings::RegistryApi& registry_;
    ConnectionOpener openConnection_;
    Version version_;

    std::unique_ptr<db::Connection> cnn_;
    std::string datenbank_;
    std::string importSchluessel_;
    bool abbruch_ = false;
    // A conversion fills the staging table: only its cancel acts.
    bool converting_ = false;
    // The staging table holds what a cancelled run left, not the whole directory.
    bool stagedFromCancelledRun_ = false;
    int singleAddressExitCode_ = 0;
    std::int32_t adressZaehler_ = 0;
    adr::FieldMapper mapper_{*this};
};

}  // namespace app

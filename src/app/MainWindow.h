#pragma once
// frmRam2Kov, the window's logic: the state its commands share and every command, written
// against the View port so that it runs the same in the Win32 window and in tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "adr/ConversionEvents.h"
#include "adr/FieldMapper.h"
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
    void cmdStart_Click();
    void cmdImport_Click();
    void cmdUndo_Click();
    void txtIDVon_Change();
    void txtIdBis_Change();

    const std::string& importSchluessel() const { return importSchluessel_; }
    const std::string& datenbank() const { return datenbank_; }
    // The open connection; none when start-up could not open it.
    db::Connection* connection() const { return cnn_.get(); }

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
    int singleAddressExitCode_ = 0;
    std::int32_t adressZaehler_ = 0;
    adr::FieldMapper mapper_{*this};
};

}  // namespace app

#include "app/MainWindow.h"

#include "adr/AddressFiles.h"
#include "adr/SingleAddressReader.h"
#include "app/Conversion.h"
#include "app/NumberText.h"
#include "db/CnnString.h"
#include "db/Error.h"
#include "db/GoOn.h"
#include "settings/RegistryOperations.h"
#include "text/Characters.h"
#include "text/Numbers.h"

namespace app {

namespace {

constexpr const char* kNoAddressData = "Das ausgewählte Dateiverzeichnis enthält keine Adressdaten";

}  // namespace

MainWindow::MainWindow(View& view, settings::RegistryApi& registry, ConnectionOpener openConnection, Version version)
    : view_(view), registry_(registry), openConnection_(std::move(openConnection)), version_(version) {}

MainWindow::~MainWindow() = default;

std::string MainWindow::stammverzeichnis() const { return settings::Stammverzeichnis(registry_); }

bool MainWindow::Form_Load(const std::string& commandLine) {
    view_.setCaption(std::string(kDesignCaption) + " (" + std::to_string(version_.major) + "." +
                     std::to_string(version_.minor) + "." + std::to_string(version_.revision) + ") ");
    view_.setEnabled(Control::cmdAdressen, view_.fileExists(stammverzeichnis() + "/kov.exe"));

    // From here on a failing step is left undone and start-up goes on with the next one.
    const db::Report show = [&](const std::string& description) {
        view_.messageBox(description, style::kPlain, kApplicationTitle);
    };
    bool connected = false;
    try {
        const std::string connectionString = db::cnnString(registry_, datenbank_, [&](const std::string& text) {
            view_.messageBox(text, style::kExclamation, "Norvel-Kanzleisoftware");
        });
        cnn_ = openConnection_(connectionString);
        connected = true;
    } catch (const db::Error& error) {
        view_.setText(Control::lblDatenpool, error.description());
        view_.setEnabled(Control::cmdStart, false);
    }

    if (connected) {
        bool probed = false;
        try {
            cnn_->execute("AdressenImport");
            probed = true;
        } catch (const db::Error& error) {
            view_.messageBox(std::string(error.description()) + "\r\n\r\nFühren Sie das aktuelle Datenbankskript aus.",
                             style::kExclamation, kApplicationTitle);
        }
        if (probed) {
            db::goOn(show, [&] { view_.setText(Control::lblDatenpool, datenpoolCaption(*cnn_)); });
            importSchluessel_ = std::string(settings::kSettingsRoot) + "\\datenbanken\\" + datenbank_ + "\\Import";
            view_.setText(Control::txtADR, settings::RegValueRead(registry_, settings::kCurrentUser, importSchluessel_, "ADR-Pfad", ""));
            view_.setText(Control::txtIDVon, settings::RegValueRead(registry_, settings::kCurrentUser, importSchluessel_, "AdressNr0", ""));
            view_.setText(Control::txtIdBis, settings::RegValueRead(registry_, settings::kCurrentUser, importSchluessel_, "AdressNr1", ""));
        }
    }

    if (commandLine.empty()) return true;
    // Single-address mode: convert the one address and end; a command line that is no whole
    // number (or any failure) ends the program all the same, with an exit code that says whether
    // anything was converted.
    const auto number = text::toInt32(commandLine);
    bool converted = false;
    if (number && cnn_) {
        db::goOn(show, [&] {
            converted = adr::readSingleAddress(*cnn_, mapper_, *this, view_.text(Control::txtADR), *number);
        });
    }
    singleAddressExitCode_ = converted ? 0 : 1;
    return false;
}

void MainWindow::cmdAdressen_Click() {
    // The program path is quoted so that a root directory with blanks names the program.
    const std::string error = view_.startProgram('"' + stammverzeichnis() + "/kov.exe\" Adressliste gesamt");
    if (!error.empty()) view_.messageBox(error, style::kExclamation, kApplicationTitle);
}

settings::Status MainWindow::writeSetting(const std::string& name, const std::string& value) {
    // Before start-up formed the key, a write would land directly under HKEY_CURRENT_USER.
    if (importSchluessel_.empty()) return settings::kErrorBadPathname;
    return settings::RegValueWrite(registry_, settings::kCurrentUser, importSchluessel_, name, value, settings::kRegSz);
}

void MainWindow::cmdOpen_Click() {
    const std::string chosen = view_.browseForFolder("ADR-Verzeichnis", view_.text(Control::txtADR));
    if (chosen.empty()) return;
    view_.setText(Control::txtADR, chosen);
    writeSetting("ADR-Pfad", chosen);
    if (!view_.fileExists(chosen + "\\01A")) view_.messageBox(kNoAddressData, style::kExclamation, view_.caption());
}

void MainWindow::cmdStart_Click() {
    if (view_.text(Control::cmdStart) == "abbrechen") {
        abbruch_ = true;
        return;
    }
    if (!cnn_) return;  // the button is disabled without a connection
    abbruch_ = false;
    const std::string directory = text::trimSpaces(view_.text(Control::txtADR));
    view_.setText(Control::txtADR, directory);
    writeSetting("ADR-Pfad", directory);
    if (directory.empty()) {
        view_.messageBox("ADR-Verzeichnis angeben!", style::kExclamation, view_.caption());
        return;
    }
    if (!view_.fileExists(directory + "/01A")) {
        view_.messageBox(kNoAddressData, style::kExclamation, view_.caption());
        return;
    }
    view_.setText(Control::cmdStart, "abbrechen");

    try {
        const ConversionOutcome outcome =
            convertDirectory(*cnn_, mapper_, *this, directory, [&](const std::string& line) { view_.addListLine(line); });
        adressZaehler_ = outcome.recordsStarted;
        view_.setText(Control::lblListenkommentar,
                      conversionSummary(view_.listCount(), view_.groupSeparator(), view_.text(Control::lblDatenpool)));
        view_.setEnabled(Control::cmdImport, adressZaehler_ != 0);
    } catch (const db::Error& error) {
        // The Datenpool took nothing of the run (locked, or the run could not be kept): no
        // summary that would read as success, and nothing to import.
        view_.setText(Control::lblListenkommentar, "");
        view_.setEnabled(Control::cmdImport, false);
        view_.messageBox(error.description(), style::kExclamation, view_.caption());
    }
    view_.setText(Control::cmdStart, "konvertieren");
    adressZaehler_ = 0;
}

void MainWindow::txtIDVon_Change() { updateUndoButton(); }
void MainWindow::txtIdBis_Change() { updateUndoButton(); }

void MainWindow::updateUndoButton() {
    const auto from = text::numericValue(view_.text(Control::txtIDVon));
    const auto to = text::numericValue(view_.text(Control::txtIdBis));
    view_.setEnabled(Control::cmdUndo, from && to && *from < *to);
}

void MainWindow::showMessage(const std::string& text) { view_.messageBox(text, style::kPlain, kApplicationTitle); }
void MainWindow::pumpEvents() { view_.pumpEvents(); }
void MainWindow::listCleared() { view_.clearList(); }
void MainWindow::fileStarted(int number) { view_.setProgress(number); }

void MainWindow::recordsCounted(std::int32_t count) {
    view_.setText(Control::lblListenkommentar, groupDigits(count, view_.groupSeparator()));
    view_.repaint(Control::lblListenkommentar);
}

}  // namespace app

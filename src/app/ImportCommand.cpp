// "importieren": the staged addresses go into Adressen through the database routine; the id
// range the import adds is recorded on screen and in the settings for the undo.

#include <cmath>

#include "app/MainWindow.h"
#include "db/Error.h"

#include "text/LeadingNumber.h"
#include "transfer/AddressTable.h"

namespace app {

namespace {

constexpr const char* kNorvel = "Norvel-Kanzleisoftware";

// The leading number of an id field, rounded to a 32-bit whole number (0 when it does not fit).
std::int32_t recordedId(const std::string& text) {
    try {
        const double value = std::nearbyint(text::leadingNumber(text));
        return value >= -2147483648.0 && value <= 2147483647.0 ? static_cast<std::int32_t>(value) : 0;
    } catch (const text::NumberOverflow&) {
        return 0;
    }
}

}  // namespace

void MainWindow::cmdImport_Click() {
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(std::string("In die Datenbank \"") + transfer::kProtectedDatabase + "\" kann nicht exportiert werden.",
                         style::kExclamation, kApplicationTitle);
        return;
    }
    const std::string question =
        "Hierdurch werden " + std::to_string(view_.listCount()) +
        " konvertierte Adressen in die Adressverwaltung der Datenbank \"" + datenbank_ +
        "\"eingespielt.\r\n\r\nDa dieser Vorgang nicht immer spurenlos rückgängig gemacht werden kann, sollte dies erst "
        "geschehen, wenn die Daten zweifelsfrei so wie sie sind importiert werden sollen.";
    if (view_.messageBox(question, style::kStopOkCancelDefault2, view_.caption()) != answer::kOk) return;

    std::int32_t before = recordedId(view_.text(Control::txtIDVon));
    const std::int32_t last = recordedId(view_.text(Control::txtIdBis));
    if (before > 0 && last > before) {
        const int choice = view_.messageBox("Zuletzt importierte Adressen " + std::to_string(std::int64_t{before} + 1) + " bis " +
                                                std::to_string(last) + " zuvor löschen?\r\n\r\nAnderenfalls könnte es zu einer Duplizierung kommen.",
                                            style::kQuestionYesNoCancel, kNorvel);
        if (choice == answer::kCancel) return;
        if (choice == answer::kYes) cmdUndo_Click();
    }

    // Without the highest id before the transfer no range can be recorded: a range starting
    // at 0 would let a later undo delete every address.
    try {
        before = transfer::highestId(*cnn_);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), style::kExclamation, kApplicationTitle);
        return;
    }
    view_.setText(Control::txtIDVon, std::to_string(before));
    writeSetting("AdressNr0", std::to_string(before));

    view_.setBusyPointer(true);
    std::string failure;
    try {
        transfer::runAddressImport(*cnn_);
    } catch (const db::Error& error) {
        failure = error.description();
    }
    view_.setBusyPointer(false);
    if (!failure.empty()) {
        view_.messageBox(failure, style::kExclamation, kApplicationTitle);
    } else {
        view_.setEnabled(Control::cmdImport, false);
    }

    std::int32_t after = 0;
    try {
        after = transfer::highestId(*cnn_);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), style::kPlain, kApplicationTitle);
    }
    view_.setText(Control::txtIdBis, std::to_string(after));
    writeSetting("AdressNr1", std::to_string(after));

    if (std::int64_t{after} > std::int64_t{before} + 1) {
        try {
            transfer::runMaintenance(*cnn_);
        } catch (const db::Error& error) {
            view_.messageBox(error.description(), style::kExclamation, kApplicationTitle);
        }
        view_.messageBox(std::to_string(view_.listCount()) + " Adressen mit IDs " + std::to_string(std::int64_t{before} + 1) +
                             " bis " + std::to_string(after) + " wurden in die Adressverwaltung importiert.",
                         style::kInformation, kNorvel);
    }
}

}  // namespace app

// "importieren": the staged addresses go into Adressen through the database routine; the id
// range the import adds is recorded on screen and in the settings for the undo.
//
// The copy, the lookups of the highest id before and after it and the recording of the range
// in the settings run inside one database transaction, which commits last. A crash at any
// moment therefore leaves either no import or an import whose range is recorded. The previous
// range is overwritten only after the copy, just before the commit: until then a crash or a
// failure leaves the previous import undoable.

#include <cmath>

#include "app/MainWindow.h"
#include "db/Error.h"
#include "db/GoOn.h"
#include "text/LeadingNumber.h"
#include "transfer/AddressTable.h"

namespace app {

namespace {

constexpr const char* kNorvel = "Norvel-Kanzleisoftware";
constexpr const char* kNothingImported = "Es wurde nichts importiert; der zuvor verzeichnete Import bleibt.";

// The leading number of an id field, rounded to a 32-bit whole number (0 when it does not fit).
std::int32_t recordedId(const std::string& text) {
    try {
        const double value = std::nearbyint(text::leadingNumber(text));
        return value >= -2147483648.0 && value <= 2147483647.0 ? static_cast<std::int32_t>(value) : 0;
    } catch (const text::NumberOverflow&) {
        return 0;
    }
}

std::string next(std::int32_t id) { return std::to_string(std::int64_t{id} + 1); }

}  // namespace

Outcome MainWindow::cmdImport_Click() {
    if (converting_) return {Result::refused};  // a click queued before the run disabled the button
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(
            std::string("In die Datenbank \"") + transfer::kProtectedDatabase + "\" kann nicht exportiert werden.",
            MessageKind::warning, kApplicationTitle);
        return {Result::refused};
    }
    if (!cnn_) return {Result::failed};  // the button is disabled without a connection
    const long long confirmed = view_.listCount();
    const std::string question =
        "Hierdurch werden " + std::to_string(confirmed) +
        " konvertierte Adressen in die Adressverwaltung der Datenbank \"" + datenbank_ + "\"eingespielt.\r\n\r\n" +
        (stagedFromCancelledRun_ ? "Achtung: Diese Adressen stammen aus einer abgebrochenen Konvertierung; die übrigen "
                                   "Adressen des ADR-Verzeichnisses fehlen.\r\n\r\n"
                                 : "") +
        "Da dieser Vorgang nicht immer spurenlos rückgängig gemacht werden kann, sollte dies erst "
        "geschehen, wenn die Daten zweifelsfrei so wie sie sind importiert werden sollen.";
    if (view_.messageBox(question, MessageKind::confirmation, view_.caption()) != answer::kOk)
        return {Result::cancelled};

    // Whatever range the undo would accept is a previous import that a new one would duplicate.
    if (undoAccepts()) {
        const std::int32_t before = recordedId(view_.text(Control::txtIDVon));
        const std::int32_t last = recordedId(view_.text(Control::txtIdBis));
        const int choice =
            view_.messageBox("Zuletzt importierte Adressen " + next(before) + " bis " + std::to_string(last) +
                                 " zuvor löschen?\r\n\r\nAnderenfalls könnte es zu einer Duplizierung kommen.",
                             MessageKind::question, kNorvel);
        if (choice == answer::kCancel) return {Result::cancelled};
        // Importing after a failed deletion would duplicate the addresses and lose their range.
        // Its own question was this one: the undo asks no second time.
        if (choice == answer::kYes && undoImport(false).result != Result::done) {
            view_.messageBox(
                "Die zuletzt importierten Adressen wurden nicht gelöscht; deshalb wurde nichts importiert.",
                MessageKind::warning, kApplicationTitle);
            return {Result::failed};
        }
    }

    if (const settings::Status status = settingsWritable(); status != settings::kErrorSuccess) {
        view_.messageBox(
            "Der Bereich der importierten IDs ließe sich nicht speichern, und ohne ihn ließe sich der Import "
            "nicht rückgängig machen. " +
                std::string(kNothingImported) + "\r\n\r\n" + settingsFailure(status),
            MessageKind::warning, kApplicationTitle);
        return {Result::failed};
    }

    view_.setBusyPointer(true);
    const Outcome outcome = importInOneTransaction(confirmed);
    view_.setBusyPointer(false);
    if (outcome.result == Result::done || outcome.result == Result::nothingToDo)
        view_.setEnabled(Control::cmdImport, false);
    if (outcome.result != Result::done) return outcome;

    const auto [before, after] = *outcome.range;
    view_.setText(Control::txtIDVon, std::to_string(before));
    view_.setText(Control::txtIdBis, std::to_string(after));
    if (std::int64_t{after} > std::int64_t{before} + 1) {
        try {
            transfer::runMaintenance(*cnn_);
        } catch (const db::Error& error) {
            view_.messageBox(error.description(), MessageKind::warning, kApplicationTitle);
        }
        view_.messageBox(std::to_string(confirmed) + " Adressen mit IDs " + next(before) + " bis " +
                             std::to_string(after) + " wurden in die Adressverwaltung importiert.",
                         MessageKind::information, kNorvel);
    }
    return outcome;
}

Outcome MainWindow::importInOneTransaction(long long confirmed) {
    const std::string previousFrom = readSetting("AdressNr0");
    const std::string previousTo = readSetting("AdressNr1");
    const auto fail = [&](const std::string& text) {
        view_.messageBox(text, MessageKind::warning, kApplicationTitle);
        return Outcome{Result::failed};
    };
    try {
        // Serializable: the staged rows counted are the rows copied, whoever else converts.
        cnn_->beginTransaction(db::Isolation::serializable);
    } catch (const db::Error& error) {
        return fail(std::string(error.description()) + "\r\n\r\n" + kNothingImported);
    }

    std::optional<std::int32_t> before;  // known once the copy may begin
    bool settingsTouched = false;
    try {
        const std::int64_t staged = transfer::stagedCount(*cnn_);
        if (staged != confirmed) {
            cnn_->rollback();
            return fail("Die Tabelle AdressenImport enthält jetzt " + std::to_string(staged) +
                        " Adressen, bestätigt wurden " + std::to_string(confirmed) +
                        ". Sie wurde inzwischen verändert, etwa durch eine Konvertierung an einem "
                        "anderen Arbeitsplatz. " +
                        kNothingImported + " Bitte die Liste prüfen und erneut importieren.");
        }
        before = transfer::highestId(*cnn_);
        transfer::runAddressImport(*cnn_);
        const std::int32_t after = transfer::highestId(*cnn_);
        if (after == *before) {
            cnn_->rollback();
            return {Result::nothingToDo};
        }

        settingsTouched = true;
        settings::Status status = writeSetting("AdressNr0", std::to_string(*before));
        if (status == settings::kErrorSuccess) status = writeSetting("AdressNr1", std::to_string(after));
        if (status != settings::kErrorSuccess) {
            cnn_->rollback();
            Outcome outcome{Result::failed};
            const std::string settled = settleFailedImport(*before, settingsTouched, previousFrom, previousTo, outcome);
            fail(
                "Der Bereich der importierten IDs ließ sich nicht speichern, und ohne ihn ließe sich der Import nicht "
                "rückgängig machen. Die Übernahme wurde deshalb zurückgenommen." +
                settled + "\r\n\r\n" + settingsFailure(status));
            return outcome;
        }
        cnn_->commit();
        return {Result::done, IdRange{*before, after}};
    } catch (const db::Error& error) {
        db::goOn([](const std::string&) {}, [&] { cnn_->rollback(); });
        if (!before) return fail(std::string(error.description()) + "\r\n\r\n" + kNothingImported);
        Outcome outcome{Result::failed};
        const std::string settled = settleFailedImport(*before, settingsTouched, previousFrom, previousTo, outcome);
        fail(error.description() + settled);
        return outcome;
    }
}

std::string MainWindow::settleFailedImport(std::int32_t before, bool settingsTouched, const std::string& previousFrom,
                                           const std::string& previousTo, Outcome& outcome) {
    std::string settled;
    try {
        const std::int32_t now = transfer::highestId(*cnn_);
        if (now > before) {
            // Rows came in spite of the failure: recorded, they can be deleted again.
            outcome.range = IdRange{before, now};
            settled =
                "\r\n\r\nDennoch sind die Adressen mit IDs " + next(before) + " bis " + std::to_string(now) +
                " in der Adressverwaltung; sie sind als letzter Import verzeichnet und lassen sich wieder löschen.";
            settings::Status status = writeSetting("AdressNr0", std::to_string(before));
            if (status == settings::kErrorSuccess) status = writeSetting("AdressNr1", std::to_string(now));
            if (status != settings::kErrorSuccess) {
                settled = "\r\n\r\nDennoch sind die Adressen mit IDs " + next(before) + " bis " + std::to_string(now) +
                          " in der Adressverwaltung, und ihr Bereich ließ sich nicht speichern. " +
                          settingsFailure(status);
            }
        } else {
            settled = std::string("\r\n\r\n") + kNothingImported;
            if (settingsTouched) {
                settings::Status status = writeSetting("AdressNr0", previousFrom);
                if (status == settings::kErrorSuccess) status = writeSetting("AdressNr1", previousTo);
                if (status != settings::kErrorSuccess) {
                    settled = "\r\n\r\nEs wurde nichts importiert, aber der zuvor verzeichnete Import (IDs \"" +
                              previousFrom + "\" bis \"" + previousTo +
                              "\") ließ sich in den Einstellungen nicht wiederherstellen. " + settingsFailure(status);
                }
            }
        }
    } catch (const db::Error& error) {
        settled =
            "\r\n\r\nOb Adressen übernommen wurden, ließ sich nicht feststellen: " + std::string(error.description());
    }
    // The screen shows what the settings now hold.
    view_.setText(Control::txtIDVon, readSetting("AdressNr0"));
    view_.setText(Control::txtIdBis, readSetting("AdressNr1"));
    return settled;
}

}  // namespace app

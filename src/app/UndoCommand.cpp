// "importierte Adressen wieder löschen": deletes the id range of the last import from Adressen,
// resets the identity counter and clears the recorded range. The id fields can be edited, so a
// click first asks, naming how many addresses go and whether they are the recorded import.

#include <cmath>
#include <optional>

#include "app/MainWindow.h"
#include "db/Error.h"

#include "text/Numbers.h"
#include "transfer/AddressTable.h"

namespace app {

namespace {

// The id field's text as a whole number; none for anything else ("100.5", "abc", "").
std::optional<std::int32_t> wholeNumber(const std::string& text) {
    const auto value = text::numericValue(text);
    if (!value || std::floor(*value) != *value) return std::nullopt;
    return text::toInt32(text);
}

// "IDs 101 bis 150" for the range above 100 up to 150.
std::string idsOf(const IdRange& range) {
    return "IDs " + std::to_string(std::int64_t{range.after} + 1) + " bis " + std::to_string(range.last);
}

}  // namespace

Outcome MainWindow::cmdUndo_Click() { return undoImport(true); }

std::optional<Outcome> MainWindow::askBeforeUndo(const IdRange& range, const std::string& title) {
    std::int64_t count = 0;
    try {
        count = transfer::countRange(*cnn_, range.after, range.last);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), MessageKind::warning, title);
        return Outcome{Result::failed};
    }
    const auto recordedFrom = wholeNumber(readSetting("AdressNr0"));
    const auto recordedTo = wholeNumber(readSetting("AdressNr1"));
    std::string differs;
    if (!recordedFrom || !recordedTo || *recordedFrom >= *recordedTo) {
        differs = "\r\n\r\nAchtung: Es ist kein Import verzeichnet; diese IDs stammen nicht aus einem Import.";
    } else if (const IdRange recorded{*recordedFrom, *recordedTo}; recorded != range) {
        differs = "\r\n\r\nAchtung: Das ist nicht der Bereich des letzten Imports (" + idsOf(recorded) + ").";
    }
    const int choice = view_.messageBox("Hierdurch werden " + std::to_string(count) + " Adressen mit " + idsOf(range) +
                                            " aus der Adressverwaltung der Datenbank \"" + datenbank_ + "\" gelöscht." +
                                            differs + "\r\n\r\nWirklich löschen?",
                                        MessageKind::yesNoQuestion, title);
    if (choice != answer::kYes) return Outcome{Result::cancelled};
    return std::nullopt;
}

Outcome MainWindow::undoImport(bool askFirst) {
    if (converting_) return {Result::refused};  // a click queued before the run disabled the button
    const std::string title = view_.text(Control::cmdUndo);
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(std::string("In der Datenbank \"") + transfer::kProtectedDatabase +
                             "\" kann diese Funktion nicht ausgeführt werden.",
                         MessageKind::warning, title);
        return {Result::refused};
    }
    if (!cnn_) return {Result::failed};  // the button is disabled without a connection
    const std::string fromText = view_.text(Control::txtIDVon);
    const std::string toText = view_.text(Control::txtIdBis);
    // The statements are built from the numbers, never from the texts themselves.
    const auto from = wholeNumber(fromText);
    const auto to = wholeNumber(toText);
    if (!from || !to) {
        view_.messageBox("Die IDs \"" + fromText + "\" bis \"" + toText +
                             "\" sind keine ganzen Zahlen. Es wurden keine Adressen gelöscht.",
                         MessageKind::warning, title);
        return {Result::refused};
    }
    // A range left in the settings after its rows are gone would, once new addresses take
    // those ids, have the next undo delete them.
    if (const settings::Status status = settingsWritable(); status != settings::kErrorSuccess) {
        view_.messageBox(
            "Der Bereich ließe sich danach nicht aus den Einstellungen löschen. Es wurden keine Adressen "
            "gelöscht.\r\n\r\n" +
                settingsFailure(status),
            MessageKind::warning, title);
        return {Result::failed};
    }
    const IdRange deleted{*from, *to};
    if (askFirst) {
        if (auto refused = askBeforeUndo(deleted, title)) return *refused;
    }
    try {
        transfer::deleteRange(*cnn_, *from, *to);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), MessageKind::warning, title);
        return {Result::failed};
    }
    view_.messageBox("Die importierten Adressen " + fromText + " bis " + toText + " wurden wieder wieder gelöscht.",
                     MessageKind::information, title);
    // Each value cleared on its own: one of them empty already makes the range unusable.
    const settings::Status clearedFrom = writeSetting("AdressNr0", "");
    const settings::Status clearedTo = writeSetting("AdressNr1", "");
    view_.setText(Control::txtIdBis, "");
    view_.setText(Control::txtIDVon, "");
    if (clearedFrom == settings::kErrorSuccess && clearedTo == settings::kErrorSuccess) return {Result::done, deleted};

    const bool stillRecorded = clearedFrom != settings::kErrorSuccess && clearedTo != settings::kErrorSuccess;
    view_.messageBox(
        "Die Adressen " + fromText + " bis " + toText +
            " sind gelöscht, aber der Bereich ließ sich nicht aus "
            "den Einstellungen entfernen. " +
            (stillRecorded ? "Dort steht er noch und erscheint beim nächsten Start wieder; bitte dann nicht "
                             "erneut löschen, denn neue Adressen erhalten dieselben IDs. "
                           : "Dort ist er nur noch zur Hälfte eingetragen und wird nicht mehr angeboten. ") +
            settingsFailure(clearedFrom != settings::kErrorSuccess ? clearedFrom : clearedTo),
        MessageKind::warning, title);
    return {Result::failed, deleted};
}

}  // namespace app

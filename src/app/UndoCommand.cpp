// "importierte Adressen wieder löschen": deletes the id range of the last import from Adressen,
// resets the identity counter and clears the recorded range. The id fields can be edited, so a
// click first asks, naming how many addresses go and whether they are the recorded import.
//
// It runs inside a transaction that holds the Datenpool's import lock, as the import does: the
// recorded range is read under the lock, and cleared in the settings before the deletion
// commits, so that a failure at any point leaves the addresses and their record together.

#include <optional>

#include "app/MainWindow.h"
#include "db/Error.h"
#include "transfer/AddressTable.h"
#include "transfer/ImportTransaction.h"

namespace app {

namespace {

// "IDs 101 bis 150" for the range above 100 up to 150.
std::string idsOf(const IdRange& range) {
    return "IDs " + std::to_string(std::int64_t{range.after} + 1) + " bis " + std::to_string(range.last);
}

// What the deletion of a range takes away, as the rows that are there say: "3 Adressen mit IDs 4
// bis 9", "1 Adresse mit ID 7".
std::string whatGoes(const transfer::RangeContents& contents) {
    if (contents.count == 1) return "1 Adresse mit ID " + std::to_string(contents.lowest);
    return std::to_string(contents.count) + " Adressen mit IDs " + std::to_string(contents.lowest) + " bis " +
           std::to_string(contents.highest);
}

}  // namespace

std::optional<Outcome> MainWindow::askBeforeUndo(const IdRange& range, const std::string& title) {
    transfer::RangeContents contents;
    try {
        contents = transfer::rangeContents(*cnn_, range.after, range.last);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), MessageKind::warning, title);
        return Outcome{Result::failed};
    }
    const auto recordedFrom = wholeIdOf(knownRecord_.from);
    const auto recordedTo = wholeIdOf(knownRecord_.to);
    std::string differs;
    if (!recordedFrom || !recordedTo || *recordedFrom >= *recordedTo) {
        differs = "\r\n\r\nAchtung: Es ist kein Import verzeichnet; diese IDs stammen nicht aus einem Import.";
    } else if (const IdRange recorded{*recordedFrom, *recordedTo}; recorded != range) {
        differs = "\r\n\r\nAchtung: Das ist nicht der Bereich des letzten Imports (" + idsOf(recorded) + ").";
    } else if (recordWithoutDatenpool()) {
        differs =
            "\r\n\r\nAchtung: Für diesen Import ist nicht verzeichnet, in welchen Datenpool er ging; gelöscht "
            "wird im Datenpool \"" +
            cnn_->identity() + "\".";
    }
    const std::string database = "der Adressverwaltung der Datenbank \"" + datenbank_ + "\"";
    const std::string what =
        contents.count == 0
            ? "Im Bereich der " + idsOf(range) + " gibt es in " + database +
                  " keine Adressen mehr; es wird keine gelöscht, nur der ID-Zähler zurückgesetzt und der Bereich "
                  "ausgetragen."
            : "Hierdurch werden " + whatGoes(contents) + " aus " + database + " gelöscht.";
    const int choice =
        view_.messageBox(what + differs + (contents.count == 0 ? "\r\n\r\nFortfahren?" : "\r\n\r\nWirklich löschen?"),
                         MessageKind::yesNoQuestion, title);
    if (choice != answer::kYes) return Outcome{Result::cancelled};
    return std::nullopt;
}

Outcome MainWindow::cmdUndo_Click() {
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
    const auto from = wholeIdOf(fromText);
    const auto to = wholeIdOf(toText);
    if (!from || !to) {
        view_.messageBox("Die IDs \"" + fromText + "\" bis \"" + toText +
                             "\" sind keine ganzen Zahlen. Es wurden keine Adressen gelöscht.",
                         MessageKind::warning, title);
        return {Result::refused};
    }
    std::optional<transfer::ImportTransaction> work;
    try {
        work.emplace(*cnn_);
    } catch (const db::Error& error) {
        view_.messageBox(std::string(error.description()) + "\r\n\r\nEs wurden keine Adressen gelöscht.",
                         MessageKind::warning, title);
        return {Result::failed};
    }
    if (adoptRecordedImport()) {
        // Deleting what this window showed could take away another program's new import.
        view_.messageBox("Inzwischen wurde ein anderer Import verzeichnet (IDs \"" + knownRecord_.from + "\" bis \"" +
                             knownRecord_.to +
                             "\"); die Felder zeigen ihn jetzt. Es wurden keine Adressen gelöscht; bitte prüfen und "
                             "erneut wählen.",
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

    if (const std::string foreign = foreignDatenpool(); !foreign.empty()) {
        view_.messageBox(foreignRecordRefusal(foreign), MessageKind::warning, title);
        return {Result::refused};
    }
    const IdRange deleted{*from, *to};
    if (auto refused = askBeforeUndo(deleted, title)) return *refused;
    try {
        transfer::deleteRange(*cnn_, *from, *to);
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), MessageKind::warning, title);
        return {Result::failed};
    }
    if (auto kept = clearRecordBeforeCommit(*work, title)) return *kept;
    try {
        work->commit();
    } catch (const db::Error& error) {
        const settings::Status restored = writeRecordedImport(knownRecord_);
        view_.messageBox(
            std::string(error.description()) + "\r\n\r\nEs wurden keine Adressen gelöscht." +
                (restored == settings::kErrorSuccess
                     ? std::string()
                     : " Der verzeichnete Bereich ließ sich in den Einstellungen nicht wiederherstellen. " +
                           settingsFailure(restored)),
            MessageKind::warning, title);
        adoptRecordedImport();
        return {Result::failed};
    }
    knownRecord_ = {};
    view_.messageBox("Die importierten Adressen " + fromText + " bis " + toText + " wurden wieder wieder gelöscht.",
                     MessageKind::information, title);
    view_.setText(Control::txtIdBis, "");
    view_.setText(Control::txtIDVon, "");
    return {Result::done, deleted};
}

std::optional<Outcome> MainWindow::clearRecordBeforeCommit(transfer::ImportTransaction& work,
                                                           const std::string& title) {
    const settings::Status cleared = writeRecordedImport({});
    if (cleared == settings::kErrorSuccess) return std::nullopt;
    work.rollback();
    const settings::Status restored = writeRecordedImport(knownRecord_);
    view_.messageBox(
        "Der Bereich ließ sich nicht aus den Einstellungen löschen; deshalb wurden keine Adressen gelöscht. " +
            (restored == settings::kErrorSuccess
                 ? std::string("Der Import bleibt verzeichnet. ")
                 : std::string("Der Import ist in den Einstellungen nur noch zur Hälfte eingetragen (IDs \"") +
                       knownRecord_.from + "\" bis \"" + knownRecord_.to + "\"). ") +
            settingsFailure(cleared),
        MessageKind::warning, title);
    adoptRecordedImport();
    return Outcome{Result::failed};
}

}  // namespace app

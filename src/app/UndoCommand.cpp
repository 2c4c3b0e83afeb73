// "importierte Adressen wieder löschen": deletes the id range of the last import from Adressen,
// resets the identity counter and clears the recorded range. The id fields can be edited, so a
// click first asks, naming how many addresses go and whether they are the recorded import.
//
// It runs inside a transaction that holds the Datenpool's import lock, as the import does: the
// recorded range is read under the lock, and cleared in the settings before the deletion
// commits, so that a failure at any point leaves the addresses and their record together.

#include <optional>

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "db/Error.h"
#include "transfer/AddressTable.h"
#include "transfer/ImportTransaction.h"

namespace app {

namespace {

// "IDs 101 bis 150" for the range above 100 up to 150.
std::string idsOf(const IdRange& range) { return texts::idsOf(std::int64_t{range.after} + 1, range.last); }

}  // namespace

std::optional<Outcome> MainWindow::askBeforeUndo(const IdRange& range, const std::string& title) {
    transfer::RangeContents contents;
    try {
        contents = transfer::rangeContents(*cnn_, range.after, range.last);
    } catch (const db::Error& error) {
        view_.messageBox(texts::undoFailed(error.description()), MessageKind::warning, title);
        return Outcome{Result::failed};
    }
    const auto recordedFrom = wholeIdOf(knownRecord_.from);
    const auto recordedTo = wholeIdOf(knownRecord_.to);
    std::string differs;
    if (!recordedFrom || !recordedTo || *recordedFrom >= *recordedTo) {
        differs = texts::kNoImportRecordedWarning;
    } else if (const IdRange recorded{*recordedFrom, *recordedTo}; recorded != range) {
        differs = texts::notLastImport(idsOf(recorded));
    } else if (recordWithoutDatenpool()) {
        differs = texts::recordWithoutDatenpool(cnn_->identity(), false);
    }
    const int choice = view_.messageBox(
        texts::undoQuestion(contents.count, contents.lowest, contents.highest, idsOf(range), datenbank_, differs),
        MessageKind::yesNoQuestion, title);
    if (choice != answer::kYes) return Outcome{Result::cancelled};
    return std::nullopt;
}

Outcome MainWindow::cmdUndo_Click() {
    if (converting_) return {Result::refused};  // a click queued before the run disabled the button
    const std::string title = view_.text(Control::cmdUndo);
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(texts::undoRefused(transfer::kProtectedDatabase), MessageKind::warning, title);
        return {Result::refused};
    }
    if (!cnn_) return {Result::failed};  // the button is disabled without a connection
    const std::string fromText = view_.text(Control::txtIDVon);
    const std::string toText = view_.text(Control::txtIdBis);
    const auto from = wholeIdOf(fromText);
    const auto to = wholeIdOf(toText);
    if (!from || !to) {
        view_.messageBox(texts::idsNotWhole(fromText, toText, texts::kNoAddressesDeleted), MessageKind::warning, title);
        return {Result::refused};
    }
    std::optional<transfer::ImportTransaction> work;
    try {
        work.emplace(*cnn_);
    } catch (const db::Error& error) {
        view_.messageBox(texts::undoFailed(error.description()), MessageKind::warning, title);
        return {Result::failed};
    }
    if (adoptRecordedImport()) {
        // Deleting what this window showed could take away another program's new import.
        view_.messageBox(texts::otherImportRecorded(knownRecord_.from, knownRecord_.to), MessageKind::warning, title);
        return {Result::refused};
    }
    // A range left in the settings after its rows are gone would, once new addresses take
    // those ids, have the next undo delete them.
    if (const settings::Status status = settingsWritable(); status != settings::kErrorSuccess) {
        view_.messageBox(texts::rangeNotClearable(settingsFailure(status)), MessageKind::warning, title);
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
        view_.messageBox(texts::undoFailed(error.description()), MessageKind::warning, title);
        return {Result::failed};
    }
    if (auto kept = clearRecordBeforeCommit(*work, title)) return *kept;
    try {
        work->commit();
    } catch (const db::Error& error) {
        const settings::Status restored = writeRecordedImport(knownRecord_);
        view_.messageBox(
            texts::undoFailed(error.description(), restored == settings::kErrorSuccess
                                                       ? std::string()
                                                       : texts::rangeNotRestored(settingsFailure(restored))),
            MessageKind::warning, title);
        adoptRecordedImport();
        return {Result::failed};
    }
    knownRecord_ = {};
    view_.messageBox(texts::deletedAgain(fromText, toText), MessageKind::information, title);
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
    view_.messageBox(texts::recordNotCleared(restored == settings::kErrorSuccess
                                                 ? std::string(texts::kRecordStays)
                                                 : texts::recordHalfCleared(knownRecord_.from, knownRecord_.to),
                                             settingsFailure(cleared)),
                     MessageKind::warning, title);
    adoptRecordedImport();
    return Outcome{Result::failed};
}

}  // namespace app

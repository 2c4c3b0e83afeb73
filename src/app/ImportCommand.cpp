// "importieren": the staged addresses go into Adressen through the database routine; the id
// range the import adds is recorded on screen and in the settings for the undo.
//
// Everything runs inside one transaction that holds the Datenpool's import lock from its start:
// reading the recorded range, removing the previous import when asked to, the copy, the lookups
// of the highest id before and after it and the recording of the new range, which commits last.
// A second import or an undo, here or at another workstation, waits and then finds this import
// recorded. A crash at any moment leaves either no import (and the previous one in place and
// recorded) or an import whose range is recorded.

#include <cmath>
#include <optional>

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "db/Error.h"
#include "db/RowsSetAside.h"
#include "text/LeadingNumber.h"
#include "transfer/AddressTable.h"
#include "transfer/AlreadyImported.h"
#include "transfer/ImportTransaction.h"

namespace app {

namespace {

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

// What a failed import leaves: nothing new, and the previous import as it was.
std::string nothingImported(const std::optional<IdRange>& removed) {
    if (!removed) return std::string(texts::kNothingImported);
    return texts::nothingImportedNorDeleted(next(removed->after), std::to_string(removed->last));
}

}  // namespace

Outcome MainWindow::cmdImport_Click() {
    if (converting_) return {Result::refused};  // a click queued before the run disabled the button
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(texts::importRefused(transfer::kProtectedDatabase), MessageKind::warning, kApplicationTitle);
        return {Result::refused};
    }
    if (!cnn_) return {Result::failed};  // the button is disabled without a connection
    const long long confirmed = view_.listCount();
    std::optional<bool> onlyNew;
    try {
        onlyNew = askBeforeImport(confirmed);
    } catch (const db::Error& error) {
        view_.messageBox(texts::importFailed(error.description(), "\r\n\r\n" + std::string(texts::kNothingImported)),
                         MessageKind::warning, kApplicationTitle);
        return {Result::failed};
    }
    if (!onlyNew) return {Result::cancelled};

    std::optional<transfer::ImportTransaction> work;
    std::int32_t startHighest = 0;
    try {
        work.emplace(*cnn_);
        startHighest = transfer::highestId(*cnn_);
    } catch (const db::Error& error) {
        view_.messageBox(texts::importFailed(error.description(), "\r\n\r\n" + std::string(texts::kNothingImported)),
                         MessageKind::warning, kApplicationTitle);
        return {Result::failed};
    }
    // Under the lock the settings say which import came last, whoever recorded it.
    adoptRecordedImport();
    // The trial writes the record as it stands: outside the lock it could undo another
    // program's record written in between.
    if (const settings::Status status = settingsWritable(); status != settings::kErrorSuccess) {
        view_.messageBox(texts::importWithoutRecord(settingsFailure(status)), MessageKind::warning, kApplicationTitle);
        return {Result::failed};
    }

    // Whatever range the undo would accept is a previous import that a new one would duplicate.
    std::optional<IdRange> removed;
    if (undoAccepts()) {
        const std::int32_t before = recordedId(view_.text(Control::txtIDVon));
        const std::int32_t last = recordedId(view_.text(Control::txtIdBis));
        std::string where;
        if (const std::string foreign = foreignDatenpool(); !foreign.empty()) {
            where = texts::recordOfOtherDatenpool(foreign, cnn_->identity());
        } else if (recordWithoutDatenpool()) {
            where = texts::recordWithoutDatenpool(cnn_->identity(), true);
        }
        const int choice = view_.messageBox(texts::undoPreviousQuestion(next(before), std::to_string(last), where),
                                            MessageKind::question, std::string(texts::kNorvelTitle));
        if (choice == answer::kCancel) return {Result::cancelled};
        if (choice == answer::kYes) {
            IdRange range;
            if (auto stopped = removePreviousImport(range)) return *stopped;
            removed = range;
        }
    }

    view_.setBusyPointer(true);
    const Outcome outcome = importInOneTransaction(*work, confirmed, startHighest, removed, *onlyNew);
    view_.setBusyPointer(false);
    if (outcome.result == Result::done || outcome.result == Result::nothingToDo)
        view_.setEnabled(Control::cmdImport, false);
    if (outcome.result != Result::done) return outcome;

    if (removed) {
        // Told once the removal is committed together with the import that follows it.
        view_.messageBox(texts::deletedAgain(view_.text(Control::txtIDVon), view_.text(Control::txtIdBis)),
                         MessageKind::information, view_.text(Control::cmdUndo));
    }
    const auto [before, after] = *outcome.range;
    view_.setText(Control::txtIDVon, std::to_string(before));
    view_.setText(Control::txtIdBis, std::to_string(after));
    if (std::int64_t{after} > std::int64_t{before} + 1) {
        try {
            transfer::runMaintenance(*cnn_);
        } catch (const db::Error& error) {
            view_.messageBox(texts::maintenanceFailed(error.description()), MessageKind::warning, kApplicationTitle);
        }
        const long long count = confirmed - outcome.leftOut;
        view_.messageBox(texts::imported(count, next(before), std::to_string(after)) +
                             (outcome.leftOut > 0 ? texts::leftOutAsImported(outcome.leftOut) : std::string()),
                         MessageKind::information, std::string(texts::kNorvelTitle));
    }
    return outcome;
}

std::optional<bool> MainWindow::askBeforeImport(long long confirmed) {
    std::string question = texts::importQuestion(confirmed, datenbank_, stagedFromCancelledRun());
    const std::optional<std::int64_t> alreadyImported = transfer::countAlreadyImported(*cnn_);
    if (!alreadyImported) question += "\r\n\r\n" + std::string(texts::kAlreadyImportedUnknown);
    if (alreadyImported.value_or(0) == 0) {
        if (view_.messageBox(question, MessageKind::confirmation, view_.caption()) != answer::kOk) return std::nullopt;
        return false;
    }
    question += texts::onlyNewQuestion(*alreadyImported, confirmed - *alreadyImported);
    const int choice = view_.messageBox(question, MessageKind::onlyNewChoice, view_.caption());
    if (choice != answer::kYes && choice != answer::kNo) return std::nullopt;
    return choice == answer::kYes;
}

std::optional<Outcome> MainWindow::removePreviousImport(IdRange& removed) {
    const std::string title = view_.text(Control::cmdUndo);
    const std::string_view notDeleted = texts::kPreviousNotDeleted;
    const auto from = wholeIdOf(view_.text(Control::txtIDVon));
    const auto to = wholeIdOf(view_.text(Control::txtIdBis));
    if (!from || !to) {
        view_.messageBox(texts::idsNotWhole(view_.text(Control::txtIDVon), view_.text(Control::txtIdBis), notDeleted),
                         MessageKind::warning, title);
        return Outcome{Result::refused};
    }
    if (const std::string foreign = foreignDatenpool(); !foreign.empty()) {
        view_.messageBox(foreignRecordRefusal(foreign) + " " + std::string(notDeleted), MessageKind::warning, title);
        return Outcome{Result::refused};
    }
    try {
        transfer::deleteRange(*cnn_, *from, *to);
    } catch (const db::Error& error) {
        view_.messageBox(texts::previousNotDeleted(error.description()), MessageKind::warning, title);
        view_.messageBox(std::string(notDeleted), MessageKind::warning, kApplicationTitle);
        return Outcome{Result::failed};
    }
    removed = IdRange{*from, *to};
    return std::nullopt;
}

Outcome MainWindow::importInOneTransaction(transfer::ImportTransaction& work, long long confirmed,
                                           std::int32_t startHighest, const std::optional<IdRange>& removed,
                                           bool onlyNew) {
    const RecordedImport previous = knownRecord_;
    const auto fail = [&](const std::string& text) {
        view_.messageBox(text, MessageKind::warning, kApplicationTitle);
        return Outcome{Result::failed};
    };
    bool copying = false;
    bool settingsTouched = false;
    try {
        const std::int64_t staged = transfer::stagedCount(*cnn_);
        if (staged != confirmed) {
            work.rollback();
            return fail(texts::stagingChanged(staged, confirmed, nothingImported(removed)));
        }
        // Set aside under the lock: what another workstation imported meanwhile counts too.
        std::optional<db::RowsSetAside> aside;
        if (onlyNew) aside.emplace(*cnn_, "AdressenImport", transfer::kAlreadyImported);
        const std::int32_t before = transfer::highestId(*cnn_);
        copying = true;
        transfer::runAddressImport(*cnn_);
        const std::int32_t after = transfer::highestId(*cnn_);
        // The import leaves the staging table as it found it.
        if (aside) aside->putBack();
        if (after == before) {
            work.rollback();
            return {Result::nothingToDo};
        }

        settingsTouched = true;
        const RecordedImport record{std::to_string(before), std::to_string(after), cnn_->identity()};
        if (const settings::Status status = writeRecordedImport(record); status != settings::kErrorSuccess) {
            work.rollback();
            Outcome outcome{Result::failed};
            const std::string settled = settleFailedImport(startHighest, settingsTouched, previous, removed, outcome);
            fail(texts::importTakenBack(settled, settingsFailure(status)));
            return outcome;
        }
        work.commit();
        knownRecord_ = record;
        Outcome done{Result::done, IdRange{before, after}};
        if (aside) done.leftOut = aside->count();
        return done;
    } catch (const db::Error& error) {
        work.rollback();
        if (!copying) return fail(texts::importFailed(error.description(), "\r\n\r\n" + nothingImported(removed)));
        Outcome outcome{Result::failed};
        const std::string settled = settleFailedImport(startHighest, settingsTouched, previous, removed, outcome);
        fail(texts::importFailed(error.description(), settled));
        return outcome;
    }
}

std::string MainWindow::settleFailedImport(std::int32_t startHighest, bool settingsTouched,
                                           const RecordedImport& previous, const std::optional<IdRange>& removed,
                                           Outcome& outcome) {
    std::string settled;
    try {
        const std::int32_t now = transfer::highestId(*cnn_);
        if (now > startHighest) {
            // Rows came in spite of the failure: recorded, they can be deleted again.
            outcome.range = IdRange{startHighest, now};
            settled = texts::importRecordedDespiteFailure(next(startHighest), std::to_string(now));
            const RecordedImport record{std::to_string(startHighest), std::to_string(now), cnn_->identity()};
            if (const settings::Status status = writeRecordedImport(record); status != settings::kErrorSuccess) {
                settled = texts::importUnrecordedDespiteFailure(next(startHighest), std::to_string(now),
                                                                settingsFailure(status));
            }
        } else {
            settled = "\r\n\r\n" + nothingImported(removed);
            if (settingsTouched) {
                if (const settings::Status status = writeRecordedImport(previous); status != settings::kErrorSuccess) {
                    settled = texts::previousRecordNotRestored(previous.from, previous.to, settingsFailure(status));
                }
            }
        }
    } catch (const db::Error& error) {
        settled = texts::importUndetermined(error.description());
    }
    // The screen shows what the settings now hold.
    knownRecord_ = readRecordedImport();
    view_.setText(Control::txtIDVon, knownRecord_.from);
    view_.setText(Control::txtIdBis, knownRecord_.to);
    return settled;
}

}  // namespace app

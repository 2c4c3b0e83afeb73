#include "app/MainWindow.h"

#include "adr/AddressFiles.h"
#include "adr/SingleAddressReader.h"
#include "app/CnnString.h"
#include "app/Conversion.h"
#include "app/StartupCheck.h"
#include "app/Texts.h"
#include "db/Error.h"
#include "db/GoOn.h"
#include "review/Texts.h"
#include "settings/RegistryOperations.h"
#include "settings/StatusText.h"
#include "text/Characters.h"
#include "text/NumberText.h"
#include "text/Numbers.h"
#include "text/OneLine.h"
#include "text/PathInDirectory.h"
#include "transfer/AddressTable.h"

namespace app {

namespace {

// What would act on the Datenpool or the directory while a conversion fills the staging
// table: disabled for the run, then back as it was.
class ControlsHeldForRun {
public:
    ControlsHeldForRun(View& view, bool& converting) : view_(view), converting_(converting) {
        for (std::size_t i = 0; i < std::size(kHeld); ++i) {
            wasEnabled_[i] = view_.isEnabled(kHeld[i]);
            view_.setEnabled(kHeld[i], false);
        }
        converting_ = true;
    }
    ControlsHeldForRun(const ControlsHeldForRun&) = delete;
    ControlsHeldForRun& operator=(const ControlsHeldForRun&) = delete;
    ~ControlsHeldForRun() {
        converting_ = false;
        for (std::size_t i = 0; i < std::size(kHeld); ++i) view_.setEnabled(kHeld[i], wasEnabled_[i]);
    }

private:
    static constexpr Control kHeld[] = {Control::cmdImport, Control::cmdUndo,     Control::cmdOpen,
                                        Control::txtADR,    Control::cmdAdressen, Control::cmdBericht};
    View& view_;
    bool& converting_;
    bool wasEnabled_[std::size(kHeld)] = {};
};

}  // namespace

MainWindow::MainWindow(View& view, settings::RegistryApi& registry, ConnectionOpener openConnection, Version version)
    : view_(view), registry_(registry), openConnection_(std::move(openConnection)), version_(version) {}

MainWindow::~MainWindow() = default;

std::string MainWindow::mainProgram() const {
    return text::pathInDirectory(settings::Stammverzeichnis(registry_), "kov.exe");
}

bool MainWindow::Form_Load(const std::string& commandLine) {
    view_.setCaption(std::string(texts::kDesignCaption) + " (" + std::to_string(version_.major) + "." +
                     std::to_string(version_.minor) + "." + std::to_string(version_.revision) + ") ");
    view_.setEnabled(Control::cmdAdressen, view_.fileExists(mainProgram()));

    // From here on a failing step is left undone and start-up goes on with the next one.
    const db::Report show = [&](const std::string& description) {
        view_.messageBox(description, MessageKind::plain, kApplicationTitle);
    };
    std::string connectionString;
    try {
        if (givenDatenpool_) {
            datenbank_ = connectionString = *givenDatenpool_;
        } else {
            connectionString = cnnString(registry_, datenbank_, [&](const std::string& text) {
                view_.messageBox(text, MessageKind::warning, std::string(texts::kNorvelTitle));
            });
        }
        cnn_ = openConnection_(connectionString);
        check_ = checkDatenpool(*cnn_);
    } catch (const db::Error& error) {
        check_ = connectionString.empty() ? noConnectionParameters(error, datenbank_, registry_.location())
                                          : connectionFailed(error);
    }
    // Only what can work is enabled, and the target field says why the rest is not.
    if (check_.toldInMessageBox()) view_.messageBox(check_.problem, MessageKind::warning, kApplicationTitle);
    view_.setEnabled(Control::cmdStart, check_.convertible());
    if (check_.finding == DatenpoolCheck::Finding::usable) {
        db::goOn(show, [&] {
            datenpoolName_ = datenpoolName(*cnn_);
            target_ = datenpoolCaption(*cnn_);
            view_.setTextShorteningName(Control::lblDatenpool, target_, datenpoolName_);
        });
    } else {
        view_.setText(Control::lblDatenpool, text::oneLine(check_.problem));
    }
    if (check_.hasStagingTable()) {
        // A given Datenpool keeps its import record where the window keeps it, so that the undo
        // finds it whichever way the import ran.
        const std::string profile = givenDatenpool_ ? currentProfile(registry_) : datenbank_;
        importSchluessel_ = importKeyOf(profile);
        view_.setText(Control::txtADR,
                      settings::RegValueRead(registry_, settings::kCurrentUser, importSchluessel_, "ADR-Pfad", ""));
        knownRecord_ = readRecordedImport();
        view_.setText(Control::txtIDVon, knownRecord_.from);
        view_.setText(Control::txtIdBis, knownRecord_.to);
    }

    if (commandLine.empty()) return true;
    // No window opens whose target field would tell why nothing is converted.
    if (!check_.convertible() && !check_.toldInMessageBox()) {
        view_.messageBox(check_.problem, MessageKind::warning, kApplicationTitle);
    }
    // Single-address mode: convert the one address and end; a command line that is no whole
    // number (or any failure) ends the program all the same, with an exit code that says whether
    // anything was converted.
    const auto number = text::toInt32(commandLine);
    if (!number) view_.messageBox(texts::notAnAddressNumber(commandLine), MessageKind::warning, kApplicationTitle);
    // Found is not yet converted: the database may refuse the row, or the mapper discard it.
    struct RowHandedOn : adr::RecordObserver {
        bool saved = false;
        void recordEnded(bool handedOn) override { saved = handedOn; }
    } row;
    bool found = false;
    if (number && check_.convertible()) {
        mapper_.setObserver(&row);
        db::goOn(show,
                 [&] { found = adr::readSingleAddress(*cnn_, mapper_, *this, view_.text(Control::txtADR), *number); });
        mapper_.setObserver(nullptr);
    }
    singleAddressExitCode_ = found && row.saved ? 0 : 1;
    return false;
}

void MainWindow::cmdAdressen_Click() {
    // Clicks queued before a run disabled the buttons still arrive; they do nothing.
    if (converting_) return;
    // The program path is quoted so that a root directory with blanks names the program.
    const std::string error = view_.startProgram('"' + mainProgram() + "\" Adressliste gesamt");
    if (!error.empty()) view_.messageBox(error, MessageKind::warning, kApplicationTitle);
}

settings::Status MainWindow::writeSetting(const std::string& name, const std::string& value) {
    // Before start-up formed the key, a write would land directly under HKEY_CURRENT_USER.
    if (importSchluessel_.empty()) return settings::kErrorBadPathname;
    return settings::RegValueWrite(registry_, settings::kCurrentUser, importSchluessel_, name, value, settings::kRegSz);
}

std::string MainWindow::readSetting(const std::string& name) {
    return settings::RegValueRead(registry_, settings::kCurrentUser, importSchluessel_, name, "");
}

settings::Status MainWindow::settingsWritable() { return writeSetting(kRecordedFrom, readSetting(kRecordedFrom)); }

RecordedImport MainWindow::readRecordedImport() {
    return {readSetting(kRecordedFrom), readSetting(kRecordedTo), readSetting(kRecordedDatenpool)};
}

settings::Status MainWindow::writeRecordedImport(const RecordedImport& record) {
    settings::Status status = writeSetting(kRecordedFrom, record.from);
    if (status == settings::kErrorSuccess) status = writeSetting(kRecordedTo, record.to);
    if (status == settings::kErrorSuccess) status = writeSetting(kRecordedDatenpool, record.datenpool);
    return status;
}

bool MainWindow::adoptRecordedImport() {
    const RecordedImport now = readRecordedImport();
    if (now == knownRecord_) return false;
    knownRecord_ = now;
    view_.setText(Control::txtIDVon, now.from);
    view_.setText(Control::txtIdBis, now.to);
    return true;
}

std::string MainWindow::foreignRecordRefusal(const std::string& foreign) const {
    const auto after = wholeIdOf(knownRecord_.from);
    const std::string first = after ? std::to_string(std::int64_t{*after} + 1) : knownRecord_.from;
    return texts::foreignRecordRefusal(first, knownRecord_.to, foreign, cnn_->identity());
}

bool MainWindow::recordWithoutDatenpool() const {
    return knownRecord_.datenpool.empty() && view_.text(Control::txtIDVon) == knownRecord_.from &&
           view_.text(Control::txtIdBis) == knownRecord_.to;
}

std::string MainWindow::foreignDatenpool() const {
    if (knownRecord_.datenpool.empty() || view_.text(Control::txtIDVon) != knownRecord_.from ||
        view_.text(Control::txtIdBis) != knownRecord_.to) {
        return {};
    }
    return sameDatenpool(knownRecord_.datenpool, cnn_->identity()) ? std::string() : knownRecord_.datenpool;
}

std::string MainWindow::settingsFailure(settings::Status status) const {
    return texts::settingsFailure(registry_.location(), settings::statusText(status));
}

void MainWindow::storeAdrPfad(const std::string& directory) {
    const settings::Status status = writeSetting("ADR-Pfad", directory);
    // Without the settings key (start-up found no staging table) the directory is not kept, by design.
    if (status == settings::kErrorSuccess || importSchluessel_.empty()) return;
    view_.messageBox(texts::adrPathNotStored(settings::statusText(status)), MessageKind::warning, view_.caption());
}

void MainWindow::cmdOpen_Click() {
    if (converting_) return;
    const std::string chosen = view_.browseForFolder(std::string(texts::kBrowseTitle), view_.text(Control::txtADR));
    if (chosen.empty()) return;
    view_.setText(Control::txtADR, chosen);
    storeAdrPfad(chosen);
    if (!view_.fileExists(adr::firstAddressFilePath(chosen))) {
        view_.messageBox(std::string(texts::kNoAddressData), MessageKind::warning, view_.caption());
    }
}

ConversionOutcome MainWindow::cmdStart_Click() {
    if (converting_) {
        cancelConversion();
        return {};
    }
    if (!check_.convertible()) return {};  // the button is disabled: start-up said why
    abbruch_ = false;
    const std::string directory = text::trimSpaces(view_.text(Control::txtADR));
    view_.setText(Control::txtADR, directory);
    storeAdrPfad(directory);
    if (directory.empty()) {
        view_.messageBox(std::string(texts::kNoAdrDirectory), MessageKind::warning, view_.caption());
        return {};
    }
    if (!view_.fileExists(adr::firstAddressFilePath(directory))) {
        view_.messageBox(std::string(texts::kNoAddressData), MessageKind::warning, view_.caption());
        return {};
    }
    ConversionOutcome outcome;
    {
        const ListedRowSink rowListed = beginRunReport();
        const ControlsHeldForRun held(view_, converting_);
        view_.setText(Control::cmdStart, std::string(texts::kCancelCaption));
        outcome = convertDirectory(
            *cnn_, mapper_, *this, directory,
            [&](const std::string& line) {
                view_.addListLine(line);
                return true;
            },
            rowListed);
    }
    showRunResult(outcome);
    // The id fields may have been edited during the run.
    updateUndoButton();
    if (outcome.ending == ConversionOutcome::Ending::failed) {
        // The Datenpool took nothing of the run: no list and no summary that would read as
        // its result, and nothing to import.
        view_.clearList();
        view_.setText(Control::lblListenkommentar, "");
        view_.setEnabled(Control::cmdImport, false);
        view_.messageBox(outcome.failure, MessageKind::warning, view_.caption());
    } else {
        adressZaehler_ = outcome.recordsStarted;
        stagedFromCancelledRun_ = outcome.ending == ConversionOutcome::Ending::cancelled;
        rememberStagedRun(stagedFromCancelledRun_);
        view_.setTextShorteningName(Control::lblListenkommentar,
                                    conversionSummary(outcome, view_.groupSeparator(), target_), datenpoolName_);
        view_.setEnabled(Control::cmdImport, adressZaehler_ != 0);
    }
    view_.setText(Control::cmdStart, std::string(texts::kConvertAgainCaption));
    adressZaehler_ = 0;
    return outcome;
}

ListedRowSink MainWindow::beginRunReport() {
    if (!reportDirectory_) return rowListed_;
    lastRun_.reset();  // its work file goes before the next one is made
    lastRun_ = std::make_unique<RunReport>(*reportDirectory_);
    lastRun_->records().readKnownAddresses(*cnn_);
    mapper_.setObserver(&lastRun_->records());
    return lastRun_->pairing();
}

void MainWindow::showRunResult(const ConversionOutcome& outcome) {
    if (!lastRun_) return;
    mapper_.setObserver(nullptr);
    if (outcome.ending == ConversionOutcome::Ending::failed) {
        lastRun_.reset();
        view_.setText(Control::lblErgebnis, "");
        view_.setEnabled(Control::cmdBericht, false);
        return;
    }
    lastRun_->settle(cnn_.get(), outcome.listComplete);
    view_.setText(Control::lblErgebnis, review::texts::countsLine(lastRun_->counts(), view_.groupSeparator()));
    view_.setEnabled(Control::cmdBericht, true);
}

void MainWindow::cmdBericht_Click() {
    if (converting_ || !lastRun_) return;
    const std::string path =
        view_.saveReportAs(std::string(texts::kReportSaveTitle), std::string(texts::kReportSuggestedName));
    if (path.empty()) return;
    std::string incomplete;
    view_.setBusyPointer(true);
    try {
        incomplete = lastRun_->save(path, view_.groupSeparator());
    } catch (const std::exception& failure) {
        view_.setBusyPointer(false);
        view_.messageBox(failure.what(), MessageKind::warning, view_.caption());
        return;
    }
    view_.setBusyPointer(false);
    if (!incomplete.empty()) {
        view_.messageBox(texts::reportSavedIncomplete(path, incomplete), MessageKind::warning, view_.caption());
    }
    const std::string error = view_.openDocument(path);
    if (!error.empty())
        view_.messageBox(texts::reportNotOpened(path, error), MessageKind::information, view_.caption());
}

void MainWindow::cancelConversion() {
    if (converting_) abbruch_ = true;
}

void MainWindow::rememberStagedRun(bool cancelled) {
    std::string mark;
    if (cancelled && !db::goOn([](const std::string&) {}, [&] { mark = transfer::stagedRowsMark(*cnn_); })) return;
    if (mark != readSetting(kCancelledConversion)) writeSetting(kCancelledConversion, mark);
}

bool MainWindow::stagedFromCancelledRun() {
    if (stagedFromCancelledRun_) return true;
    const std::string mark = readSetting(kCancelledConversion);
    if (mark.empty()) return false;
    bool same = false;
    db::goOn([](const std::string&) {}, [&] { same = mark == transfer::stagedRowsMark(*cnn_); });
    return same;
}

void MainWindow::txtIDVon_Change() { updateUndoButton(); }
void MainWindow::txtIdBis_Change() { updateUndoButton(); }

bool MainWindow::undoAccepts() const {
    const auto from = text::numericValue(view_.text(Control::txtIDVon));
    const auto to = text::numericValue(view_.text(Control::txtIdBis));
    return from && to && *from < *to;
}

bool MainWindow::undoAvailable() const { return !converting_ && check_.mayDelete() && undoAccepts(); }

void MainWindow::updateUndoButton() { view_.setEnabled(Control::cmdUndo, undoAvailable()); }

void MainWindow::showMessage(const std::string& text) { view_.messageBox(text, MessageKind::plain, kApplicationTitle); }
void MainWindow::pumpEvents() { view_.pumpEvents(); }
void MainWindow::listCleared() { view_.clearList(); }
void MainWindow::fileStarted(int number) { view_.setProgress(number); }

void MainWindow::recordsCounted(std::int32_t count) {
    view_.setText(Control::lblListenkommentar, text::groupDigits(count, view_.groupSeparator()));
    view_.repaint(Control::lblListenkommentar);
}

}  // namespace app

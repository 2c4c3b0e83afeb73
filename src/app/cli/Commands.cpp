#include "app/cli/Commands.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "adr/AddressFiles.h"
#include "adr/FieldMapper.h"
#include "adr/SingleAddressReader.h"
#include "app/Conversion.h"
#include "app/Texts.h"
#include "app/cli/Arguments.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Datenpool.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "db/Error.h"
#include "db/sqlite/SqliteConnection.h"
#include "review/MigrationRecords.h"
#include "review/Texts.h"
#include "text/Characters.h"
#include "text/NumberText.h"
#include "text/Utf8Path.h"

namespace cli {

namespace {

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(text::pathOf(path), ignored);
}

// Whether a Ctrl+C ended the list.
bool listInterrupted = false;

// The list goes to stdout; a Ctrl+C after the reading ends it, and the rows stay. The Ctrl+C is
// answered here, so that it breaks off nothing after the list: the records are still paired
// with their rows, and the report and the counts are written.
bool printListLine(const std::string& line) {
    if (takeInterrupt()) {
        listInterrupted = true;
        return false;
    }
    return writeLine(stdout, line);  // a closed pipe or a full disk ends the list, not the run
}

int convertInto(const std::string& target, const std::string& directory, ReportOption& report) {
    ConsoleView events({}, isTerminal(stderr));
    app::ConversionOutcome outcome;
    std::unique_ptr<db::Connection> connection;
    try {
        connection = openDatenpool(target);
        report.records().readKnownAddresses(*connection);
        adr::FieldMapper mapper(events);
        outcome = app::convertDirectory(*connection, mapper, events, directory, printListLine, report.follow(mapper));
    } catch (const db::Error& failure) {
        events.finishProgress();
        say(failure.description());
        return 1;
    }
    endConsoleList(outcome, connection.get(), false);
    events.finishProgress();
    if (outcome.ending == app::ConversionOutcome::Ending::failed) say(outcome.failure);
    return reportConversion(outcome, app::datenpoolCaption(*connection), report, connection.get());
}

// The staging rows of a whole run, in the order they were added, and their number.
constexpr const char* kBatchRows = "SELECT id, fremdid FROM AdressenImport ORDER BY id";
constexpr const char* kBatchRowCount = "SELECT COUNT(*) FROM AdressenImport";

// The ADR directory checks of the "Konvertieren" button; empty when they pass.
std::string directoryProblem(const std::string& directory) {
    if (directory.empty()) return std::string(app::texts::kNoAdrDirectory);
    if (!fileExists(adr::firstAddressFilePath(directory))) return std::string(app::texts::kNoAddressData);
    return {};
}

}  // namespace

namespace {

// The summary of a run that kept its rows, the counts of its records (and why their rows could
// not be named), and what became of a run or a list that was cut short; answers the exit code.
int sayOutcome(const app::ConversionOutcome& outcome, const std::string& datenpoolCaption,
               const review::MigrationRecords& records) {
    const review::RecordCounts& counts = records.counts();
    say(app::conversionSummary(outcome, groupSeparator(), datenpoolCaption));
    say(review::texts::countsLine(counts, groupSeparator()));
    if (!records.pairingFailure().empty()) {
        say(texts::recordsUnpaired(records.pairingFailure(), counts.unknown == 0));
    }
    if (outcome.ending == app::ConversionOutcome::Ending::cancelled) {
        say(std::string(texts::kConversionCancelled));
        return 1;
    }
    if (outcome.listComplete) return counts.unknown == 0 ? 0 : 1;
    say(texts::listCutShort(listInterrupted,
                            outcome.staged ? text::groupDigits(*outcome.staged, groupSeparator()) : std::string()));
    return 1;
}

}  // namespace

void endConsoleList(app::ConversionOutcome& outcome, db::Connection* connection, bool linesLost) {
    if (std::fflush(stdout) == 0 && !linesLost) return;
    if (!outcome.listComplete) return;
    outcome.listComplete = false;
    if (connection && outcome.ending != app::ConversionOutcome::Ending::failed) {
        outcome.staged = app::stagedRows(*connection);
    }
}

int reportConversion(const app::ConversionOutcome& outcome, const std::string& datenpoolCaption, ReportOption& report,
                     db::Connection* connection) {
    using Ending = app::ConversionOutcome::Ending;
    report.records().listEnded(outcome.listComplete);
    if (outcome.ending == Ending::notStarted) return 1;
    // A failed run kept nothing: its records are reported, none as saved.
    const bool runKept = outcome.ending != Ending::failed;
    bool reportWritten = true;
    try {
        report.finish(runKept ? connection : nullptr, kBatchRows, kBatchRowCount);
    } catch (const std::exception& failure) {
        say(failure.what());
        reportWritten = false;
    }
    if (!runKept) return 1;
    const int exitCode = sayOutcome(outcome, datenpoolCaption, report.records());
    return reportWritten ? exitCode : 1;
}

int initDb(const std::vector<std::string>& words) {
    return withUsage(texts::kInitDbHelp, [&] {
        const Arguments args(words, {}, {"--force"});
        if (args.wantsHelp()) return printHelp(texts::kInitDbHelp);
        if (args.positional().size() != 1) throw UsageError(std::string(texts::kInitDbWantsOneFile));
        const std::string file = args.positional().front();
        checkTarget(file, std::string(texts::kInitDbFile));
        std::error_code error;
        if (std::filesystem::exists(text::pathOf(file), error)) {
            if (!args.has("--force")) {
                say(texts::fileExists(file));
                return 1;
            }
            if (!std::filesystem::remove(text::pathOf(file), error)) {
                say(texts::fileNotReplaceable(file, error.message()));
                return 1;
            }
        }
        try {
            db::SqliteConnection::create(file);
        } catch (const db::Error& failure) {
            say(texts::datenpoolNotCreated(file, failure.description()));
            return 1;
        }
        say(texts::datenpoolCreated(file));
        return 0;
    });
}

int convert(const std::vector<std::string>& words) {
    return withUsage(texts::kConvertHelp, [&] {
        const Arguments args(words, {"--adr", "--db", "--registry", "--report"}, {});
        if (args.wantsHelp()) return printHelp(texts::kConvertHelp);
        args.refusePositional();
        ReportOption report(args.value("--report"));
        if (!args.has("--adr") || !args.has("--db") || args.has("--registry")) {
            return convertFromSettings(args.value("--registry"), args.value("--adr"), args.value("--db"), report);
        }
        const std::string directory = text::trimSpaces(args.required("--adr"));
        const std::string file = args.required("--db");
        checkTarget(file, "--db");
        if (const std::string problem = directoryProblem(directory); !problem.empty()) {
            say(problem);
            return 1;
        }
        return convertInto(file, directory, report);
    });
}

int convertOne(const std::vector<std::string>& words) {
    return withUsage(texts::kConvertOneHelp, [&] {
        const Arguments args(words, {"--adr", "--db", "--report"}, {});
        if (args.wantsHelp()) return printHelp(texts::kConvertOneHelp);
        if (args.positional().size() != 1) throw UsageError(std::string(texts::kConvertOneWantsOneNumber));
        const std::string number = text::trimSpaces(args.positional().front());
        std::int32_t addressNumber = 0;
        try {
            std::size_t used = 0;
            const long long parsed = std::stoll(number, &used);
            if (used != number.size() || parsed < INT32_MIN || parsed > INT32_MAX) throw std::out_of_range(number);
            addressNumber = static_cast<std::int32_t>(parsed);
        } catch (const std::logic_error&) {
            throw UsageError(texts::notAnAddressNumber(number));
        }
        const std::string directory = text::trimSpaces(args.required("--adr"));
        const std::string file = args.required("--db");
        checkTarget(file, "--db");

        ReportOption report(args.value("--report"));

        ConsoleView events({}, false);
        std::unique_ptr<db::Connection> connection;
        bool converted = false;
        try {
            connection = openDatenpool(file);
            adr::FieldMapper mapper(events);
            mapper.setObserver(&report.records());
            converted = adr::readSingleAddress(*connection, mapper, events, directory, addressNumber);
        } catch (const db::Error& failure) {
            say(failure.description());
        } catch (const std::exception& failure) {
            say(failure.what());
        }
        const std::string itsRows = "FROM AdressenImport WHERE fremdid=" + std::to_string(addressNumber);
        report.finish(converted ? connection.get() : nullptr, "SELECT id, fremdid " + itsRows + " ORDER BY id",
                      "SELECT COUNT(*) " + itsRows);
        // The address was found, but its row may still have been refused or not kept.
        if (converted && report.records().counts().unknown > 0) {
            say(texts::addressUnverifiable(addressNumber, report.records().pairingFailure()));
            return 1;
        }
        if (converted && report.records().counts().saved == 0) {
            say(texts::addressNotStored(addressNumber));
            return 1;
        }
        return converted ? 0 : 1;
    });
}

}  // namespace cli

// The commands that run the window's logic on the console: convert without --adr/--db (the
// directory and the connection come from the settings), import and undo.

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/ImportDryRun.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "app/cli/WindowSession.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "transfer/AlreadyImported.h"

namespace cli {

namespace {

Answers answersFrom(const Arguments& args) {
    Answers answers;
    answers.mayAsk = isTerminal(stdin);
    if (args.has("--yes")) answers.confirm = true;
    if (args.has("--only-new") && args.has("--all")) throw UsageError(std::string(texts::kOnlyNewOrAll));
    if (args.has("--only-new")) answers.onlyNew = true;
    if (args.has("--all")) answers.onlyNew = false;
    // The prompt asks for j or n; the English words stay as aliases.
    if (const auto previous = args.value("--undo-previous")) {
        const bool yes = *previous == texts::kYes || *previous == "yes";
        if (!yes && *previous != texts::kNo && *previous != "no")
            throw UsageError(std::string(texts::kUndoPreviousValues));
        answers.undoPrevious = yes;
    }
    return answers;
}

// Exit code of the import or the undo: 0 when it ran, 1 when it was refused, cancelled (also
// for want of an answer) or failed.
int exitCode(const app::Outcome& outcome) {
    return outcome.result == app::Result::done || outcome.result == app::Result::nothingToDo ? 0 : 1;
}

// What the window leaves unsaid: an import of one address and an import that added none.
void tellImported(const app::Outcome& outcome) {
    if (outcome.result == app::Result::nothingToDo) {
        say(std::string(texts::kNoAddressImported));
    } else if (outcome.result == app::Result::done && outcome.range->last == outcome.range->after + 1) {
        const std::string id = std::to_string(outcome.range->last);
        say(app::texts::imported(1, id, id));
    }
}

// import and undo work on a Datenpool that is there: a mistyped --db must not leave a new, empty
// one behind.
std::optional<std::string> existingTarget(const Arguments& args) {
    const std::optional<std::string> target = args.value("--db");
    if (target) {
        checkTarget(*target, "--db");
        requireExisting(*target);
    }
    return target;
}

}  // namespace

int convertFromSettings(const std::optional<std::string>& registryFile, const std::optional<std::string>& adr,
                        const std::optional<std::string>& target, ReportOption& report) {
    WindowSession session(registryFile, target, Answers{});
    if (!session.start()) return 1;
    ConsoleView& view = session.view();
    if (adr) view.setText(app::Control::txtADR, *adr);
    if (db::Connection* connection = session.window().connection()) report.records().readKnownAddresses(*connection);
    session.window().pairListedRows(report.follow(session.window().mapper()));
    app::ConversionOutcome outcome = session.window().cmdStart_Click();
    endConsoleList(outcome, session.window().connection(), view.listLinesLost());
    return reportConversion(outcome, session.window().target(), report, session.window().connection());
}

int importCommand(const std::vector<std::string>& words) {
    return withUsage(texts::kImportHelp, [&] {
        const Arguments args(words, {"--undo-previous", "--registry", "--db"},
                             {"--yes", "--only-new", "--all", "--dry-run"});
        if (args.wantsHelp()) return printHelp(texts::kImportHelp);
        args.refusePositional();
        const Answers answers = answersFrom(args);
        WindowSession session(args.value("--registry"), existingTarget(args), answers);
        if (!session.start()) return 1;
        db::Connection& connection = *session.window().connection();
        // The list of the window holds what the last conversion staged.
        session.view().listedBefore = connection.execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
        if (session.view().listedBefore == 0) {
            say(std::string(texts::kNothingStaged));
            return 1;
        }
        if (args.has("--dry-run")) return importDryRun(connection, answers.onlyNew);
        // The window offers only the new addresses where it can tell them; asked for, they must be.
        if (answers.onlyNew.value_or(false) && !transfer::canTellAlreadyImported(connection)) {
            say(std::string(texts::kOnlyNewUnknown));
            return 1;
        }
        const app::Outcome outcome = session.window().cmdImport_Click();
        if (session.view().onlyNewUnanswered()) throw UsageError(std::string(texts::kOnlyNewOrAllRequired));
        tellImported(outcome);
        return exitCode(outcome);
    });
}

int undoCommand(const std::vector<std::string>& words) {
    return withUsage(texts::kUndoHelp, [&] {
        const Arguments args(words, {"--registry", "--db"}, {"--yes"});
        if (args.wantsHelp()) return printHelp(texts::kUndoHelp);
        args.refusePositional();
        Answers answers = answersFrom(args);
        WindowSession session(args.value("--registry"), existingTarget(args), answers);
        if (!session.start()) return 1;
        if (!session.window().undoAvailable()) {
            const app::RecordedImport& recorded = session.window().recordedImport();
            say(texts::noUndoableImport(recorded.from, recorded.to));
            return 1;
        }
        // The undo asks its own question, which --yes answers.
        return exitCode(session.window().cmdUndo_Click());
    });
}

}  // namespace cli

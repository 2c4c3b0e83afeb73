// The commands that run the window's logic on the console: convert without --adr/--db (the
// directory and the connection come from the settings), import and undo.

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/Platform.h"
#include "app/cli/WindowSession.h"
#include "db/Connection.h"
#include "db/Error.h"

namespace cli {

namespace {

constexpr const char* kImportHelp =
    "Aufruf: anschriftenwandler-cli import [--yes] [--undo-previous yes|no] [--registry FILE] [--db ZIEL]\n"
    "Übernimmt die konvertierten Adressen aus AdressenImport in die Adressverwaltung (Adressen) und\n"
    "merkt sich die IDs für das Rückgängigmachen.\n"
    "  --yes                   die Übernahme bestätigen, ohne zu fragen\n"
    "  --undo-previous yes|no  den zuletzt verzeichneten Import zuvor löschen (yes) oder behalten (no)\n"
    "  --registry FILE         Einstellungen aus der .reg-Datei FILE\n"
    "  --db ZIEL               Datenpool-Datei oder Verbindungszeichenfolge statt des Profils\n"
    "Ohne --yes wird auf einem Terminal gefragt; ohne Terminal wird nichts übernommen.\n";

constexpr const char* kUndoHelp =
    "Aufruf: anschriftenwandler-cli undo [--yes] [--registry FILE] [--db ZIEL]\n"
    "Löscht die Adressen des zuletzt verzeichneten Imports wieder aus der Adressverwaltung und setzt\n"
    "den ID-Zähler zurück.\n"
    "  --yes   ohne Rückfrage löschen\n";

Answers answersFrom(const Arguments& args) {
    Answers answers;
    answers.mayAsk = isTerminal(stdin);
    if (args.has("--yes")) answers.confirm = true;
    if (const auto previous = args.value("--undo-previous")) {
        if (*previous != "yes" && *previous != "no") throw UsageError("--undo-previous erwartet yes oder no.");
        answers.undoPrevious = *previous == "yes";
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
        say("Es wurde keine Adresse in die Adressverwaltung übernommen; der zuvor verzeichnete Import bleibt.");
    } else if (outcome.result == app::Result::done && outcome.range->last == outcome.range->after + 1) {
        say("1 Adresse mit ID " + std::to_string(outcome.range->last) + " wurde in die Adressverwaltung importiert.");
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
    session.window().pairListedRows(report.follow(session.window().mapper()));
    const app::ConversionOutcome outcome = session.window().cmdStart_Click();
    return reportConversion(outcome, session.window().target(), report, session.window().connection());
}

int importCommand(const std::vector<std::string>& words) {
    return withUsage(kImportHelp, [&] {
        const Arguments args(words, {"--undo-previous", "--registry", "--db"}, {"--yes"});
        if (args.wantsHelp()) return printText(kImportHelp);
        if (!args.positional().empty()) throw UsageError("Unerwartetes Argument: " + args.positional().front());
        WindowSession session(args.value("--registry"), existingTarget(args), answersFrom(args));
        if (!session.start()) return 1;
        // The list of the window holds what the last conversion staged.
        session.view().listedBefore =
            session.window().connection()->execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
        if (session.view().listedBefore == 0) {
            say("AdressenImport enthält keine konvertierten Adressen; zuerst konvertieren.");
            return 1;
        }
        const app::Outcome outcome = session.window().cmdImport_Click();
        tellImported(outcome);
        return exitCode(outcome);
    });
}

int undoCommand(const std::vector<std::string>& words) {
    return withUsage(kUndoHelp, [&] {
        const Arguments args(words, {"--registry", "--db"}, {"--yes"});
        if (args.wantsHelp()) return printText(kUndoHelp);
        if (!args.positional().empty()) throw UsageError("Unerwartetes Argument: " + args.positional().front());
        Answers answers = answersFrom(args);
        WindowSession session(args.value("--registry"), existingTarget(args), answers);
        if (!session.start()) return 1;
        if (!session.window().undoAvailable()) {
            const app::RecordedImport& recorded = session.window().recordedImport();
            say("Es ist kein Import verzeichnet, der sich löschen ließe (IDs \"" + recorded.from + "\" bis \"" +
                recorded.to + "\").");
            return 1;
        }
        // The undo asks its own question, which --yes answers.
        return exitCode(session.window().cmdUndo_Click());
    });
}

}  // namespace cli

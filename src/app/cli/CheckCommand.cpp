// check: whether this Datenpool, this login and this driver will carry the migration, learnt
// before any address moves. Nothing of it changes the Datenpool, the staging table or the
// settings; a Datenpool file that is not there is not created.

#include <cstdio>
#include <string>

#include "app/CnnString.h"
#include "app/DatenpoolCheck.h"
#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "db/Error.h"
#include "db/OpenConnection.h"
#include "db/SurveyConnection.h"
#include "settings/OpenRegistry.h"

namespace cli {

namespace {

constexpr const char* kCheckHelp =
    "Aufruf: anschriftenwandler-cli check [--db ZIEL] [--registry FILE] [--adr DIR]\n"
    "Prüft vor der Migration, ob dieser Datenpool, diese Anmeldung und dieser Treiber sie tragen, und\n"
    "ändert dabei nichts: Treiber, Server und Verschlüsselung der Verbindung; AdressenImport und\n"
    "Adressen mit jeder Spalte, die das Programm schreibt (Typ und Länge); die Prozeduren AdressImport\n"
    "und Datenpflege; die Rechte für Leeren, Schreiben, Löschen und das Zurücksetzen des ID-Zählers;\n"
    "Sperren anderer Sitzungen; eine Probe mit 1.000 Adressen in einer Transaktion, die zurückgenommen\n"
    "wird. Je Prüfung eine Zeile auf stdout: ok, Warnung oder Fehler, und was zu tun ist.\n"
    "  --db ZIEL       Datenpool-Datei (sie muss es geben) oder Verbindungszeichenfolge statt des Profils\n"
    "  --registry FILE Einstellungen aus der .reg-Datei FILE\n"
    "  --adr DIR       die Adressen des ADR-Verzeichnisses zählen und die Dauer ihrer Konvertierung schätzen\n"
    "Exit-Code: 0 alles Nötige ist erfüllt (Warnungen sind möglich), 1 eine Prüfung schlug fehl oder der\n"
    "Datenpool ließ sich nicht öffnen, 2 falscher Aufruf.\n";

const char* word(db::Verdict verdict) {
    switch (verdict) {
        case db::Verdict::ok: return "ok";
        case db::Verdict::warning: return "Warnung";
        default: return "Fehler";
    }
}

// What --db names (a file must be there), else what the current database profile stores, opened
// as the window opens it.
std::unique_ptr<db::Connection> openChecked(const Arguments& args) {
    if (const auto target = args.value("--db")) return openExisting(*target);
    const auto registry = settings::openRegistry(args.value("--registry"), &interruptRequested);
    std::string datenbank;
    return db::openConnection(app::cnnString(*registry, datenbank, say));
}

int sayFindings(const std::vector<db::Finding>& findings) {
    int failures = 0;
    int warnings = 0;
    for (const db::Finding& finding : findings) {
        std::printf("%-8s %s: %s\n", word(finding.verdict), finding.subject.c_str(), finding.text.c_str());
        failures += finding.verdict == db::Verdict::failure ? 1 : 0;
        warnings += finding.verdict == db::Verdict::warning ? 1 : 0;
    }
    const std::string counts =
        std::to_string(failures) + " Fehler, " + std::to_string(warnings) + (warnings == 1 ? " Warnung" : " Warnungen");
    if (failures == 0) {
        std::printf("Ergebnis: %s. Der Datenpool trägt die Migration.\n", counts.c_str());
    } else {
        std::printf("Ergebnis: %s. Beheben Sie die Fehler vor der Migration.\n", counts.c_str());
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int checkCommand(const std::vector<std::string>& words) {
    return withUsage(kCheckHelp, [&] {
        const Arguments args(words, {"--db", "--registry", "--adr"}, {});
        if (args.wantsHelp()) return printText(kCheckHelp);
        if (!args.positional().empty()) throw UsageError("Unerwartetes Argument: " + args.positional().front());
        if (args.has("--db") && args.has("--registry"))
            throw UsageError("--db und --registry schließen einander aus: --db ersetzt das Profil der Einstellungen.");
        if (const auto target = args.value("--db")) checkTarget(*target, "--db");
        std::vector<db::Finding> findings;
        try {
            const auto connection = openChecked(args);
            const auto survey = db::surveyConnection(*connection);
            findings = app::checkDatenpool(*connection, *survey, args.value("--adr"), groupSeparator());
        } catch (const db::Error& failure) {
            say("Fehler   Verbindung: " + std::string(failure.description()));
            return 1;
        }
        return sayFindings(findings);
    });
}

}  // namespace cli

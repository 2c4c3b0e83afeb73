// check: whether this Datenpool, this login and this driver will carry the migration, learnt
// before any address moves. Nothing of it changes the Datenpool, the staging table or the
// settings; a Datenpool file that is not there is not created.

#include <cstdio>
#include <string>

#include "app/CnnString.h"
#include "app/DatenpoolCheck.h"
#include "app/StartupCheck.h"
#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "app/cli/SettingsToRead.h"
#include "app/cli/Texts.h"
#include "db/Error.h"
#include "db/OpenConnection.h"
#include "db/SurveyConnection.h"

namespace cli {

namespace {

std::string_view word(db::Verdict verdict) {
    switch (verdict) {
        case db::Verdict::ok: return texts::kVerdictOk;
        case db::Verdict::warning: return texts::kVerdictWarning;
        default: return texts::kVerdictFailure;
    }
}

// What --db names (a file must be there), else what the current database profile stores, opened
// as the window opens it. A connection that cannot be opened throws db::Error with what the window
// says of it, and without stored keywords how to give a Datenpool.
std::unique_ptr<db::Connection> openChecked(const Arguments& args) {
    const auto told = [](const db::Error& error, const std::string& problem) {
        return db::Error(error.code(), problem, error.kind());
    };
    if (const auto target = args.value("--db")) {
        try {
            return openExisting(*target);
        } catch (const db::Error& error) {
            throw told(error, app::connectionFailed(error).problem);
        }
    }
    const auto registry = openSettingsToRead(args.value("--registry"));
    std::string datenbank;
    const std::string connection = app::cnnString(*registry, datenbank, say);
    try {
        return db::openConnection(connection);
    } catch (const db::Error& error) {
        if (!connection.empty()) throw told(error, app::connectionFailed(error).problem);
        throw told(error, app::noConnectionParameters(error, datenbank, registry->location()).problem + " " +
                              std::string(texts::kGiveConnection));
    }
}

int sayFindings(const std::vector<db::Finding>& findings) {
    int failures = 0;
    int warnings = 0;
    for (const db::Finding& finding : findings) {
        std::printf("%-8s %s: %s\n", std::string(word(finding.verdict)).c_str(), finding.subject.c_str(),
                    finding.text.c_str());
        failures += finding.verdict == db::Verdict::failure ? 1 : 0;
        warnings += finding.verdict == db::Verdict::warning ? 1 : 0;
    }
    std::printf("%s\n", texts::checkResult(failures, warnings).c_str());
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int checkCommand(const std::vector<std::string>& words) {
    return withUsage(texts::kCheckHelp, [&] {
        const Arguments args(words, {"--db", "--registry", "--adr"}, {});
        if (args.wantsHelp()) return printHelp(texts::kCheckHelp);
        args.refusePositional();
        if (args.has("--db") && args.has("--registry")) throw UsageError(std::string(texts::kDbExcludesRegistry));
        if (const auto target = args.value("--db")) checkTarget(*target, "--db");
        std::vector<db::Finding> findings;
        try {
            const auto connection = openChecked(args);
            const auto survey = db::surveyConnection(*connection);
            findings = app::checkDatenpool(*connection, *survey, args.value("--adr"), groupSeparator());
        } catch (const db::Error& failure) {
            say(texts::checkFailedToConnect(failure.description()));
            return 1;
        }
        return sayFindings(findings);
    });
}

}  // namespace cli

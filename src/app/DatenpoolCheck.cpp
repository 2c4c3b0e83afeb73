#include "app/DatenpoolCheck.h"

#include <cmath>
#include <filesystem>

#include "adr/AddressFiles.h"
#include "adr/RecordCount.h"
#include "app/ColumnFit.h"
#include "app/Texts.h"
#include "app/TrialRun.h"
#include "db/Error.h"
#include "text/NumberText.h"
#include "text/Utf8Path.h"

namespace app {

namespace {

using db::Finding;
using db::Verdict;

// A check that fails to ask is a failed check, said with the database's own text.
template <class Check>
void add(std::vector<Finding>& findings, const std::string& subject, Check&& check) {
    try {
        check();
    } catch (const std::exception& error) {
        findings.push_back({Verdict::failure, subject, texts::notCheckable(error.what())});
    }
}

Finding trialFinding(const TrialOutcome& trial, std::string_view separator, double& rowsPerSecond) {
    // The sample's values fit a table as the script makes it: any message is a value or a row
    // that a real run would lose.
    const std::string problem =
        trial.problems.empty()
            ? ""
            : texts::trialProblems(static_cast<std::int64_t>(trial.problems.size()), trial.problems.front());
    const std::string subject(texts::kSubjectTrial);
    if (trial.saved < kTrialRecords) {
        return {Verdict::failure, subject,
                texts::trialShort(text::groupDigits(kTrialRecords, separator),
                                  text::groupDigits(trial.saved, separator), problem)};
    }
    rowsPerSecond = trial.seconds > 0 ? static_cast<double>(trial.saved) / trial.seconds : 0;
    const std::string rate = text::groupDigits(std::llround(rowsPerSecond), separator);
    return {
        trial.problems.empty() ? Verdict::ok : Verdict::failure, subject,
        texts::trialDone(text::groupDigits(trial.saved, separator), texts::durationText(trial.seconds), rate, problem)};
}

Finding directoryFinding(const std::string& directory, double rowsPerSecond, std::string_view separator) {
    const std::int64_t records = adr::countRecords(directory);
    const std::string counted = texts::adrCounted(directory, text::groupDigits(records, separator), records);
    if (rowsPerSecond <= 0) return {Verdict::ok, "ADR", counted};
    return {Verdict::ok, "ADR",
            texts::adrDuration(counted, texts::durationText(static_cast<double>(records) / rowsPerSecond))};
}

}  // namespace

std::vector<Finding> checkDatenpool(db::Connection& connection, db::Survey& survey,
                                    const std::optional<std::string>& adrDirectory, std::string_view groupSeparator) {
    std::vector<Finding> findings;
    const auto addAll = [&](const std::vector<Finding>& more) {
        findings.insert(findings.end(), more.begin(), more.end());
    };
    add(findings, std::string(texts::kSubjectConnection), [&] { addAll(survey.connectionFindings()); });

    bool stagingTable = false;
    add(findings, "AdressenImport", [&] {
        const auto columns = survey.columns("AdressenImport");
        stagingTable = columns.has_value();
        addAll(judgeColumns("AdressenImport", columns, Verdict::failure, survey.typeNote()));
    });
    // AdressImport fills Adressen: the script's copies every column, an office's own may differ.
    add(findings, "Adressen",
        [&] { addAll(judgeColumns("Adressen", survey.columns("Adressen"), Verdict::warning, survey.typeNote())); });
    for (const char* routine : {"AdressImport", "Datenpflege"}) {
        add(findings, routine, [&] { findings.push_back(survey.routine(routine)); });
    }
    add(findings, std::string(texts::kSubjectRights), [&] { addAll(survey.rights()); });

    bool lockedNow = true;
    add(findings, std::string(texts::kSubjectLocks), [&] {
        findings.push_back(survey.locks());
        lockedNow = findings.back().verdict == Verdict::failure;
    });

    double rowsPerSecond = 0;
    if (!stagingTable) {
        findings.push_back(
            {Verdict::warning, std::string(texts::kSubjectTrial), std::string(texts::kTrialSkippedNoTable)});
    } else if (lockedNow) {
        findings.push_back(
            {Verdict::warning, std::string(texts::kSubjectTrial), std::string(texts::kTrialSkippedLocked)});
    } else {
        add(findings, std::string(texts::kSubjectTrial),
            [&] { findings.push_back(trialFinding(runTrial(connection), groupSeparator, rowsPerSecond)); });
    }

    if (adrDirectory) {
        add(findings, "ADR", [&] {
            const std::string first = adr::firstAddressFilePath(*adrDirectory);
            std::error_code ignored;
            if (!std::filesystem::is_regular_file(text::pathOf(first), ignored)) {
                findings.push_back({Verdict::failure, "ADR", texts::adrWithoutData(*adrDirectory)});
                return;
            }
            findings.push_back(directoryFinding(*adrDirectory, rowsPerSecond, groupSeparator));
        });
    }
    return findings;
}

}  // namespace app

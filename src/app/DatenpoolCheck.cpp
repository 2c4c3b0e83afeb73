#include "app/DatenpoolCheck.h"

#include <cmath>
#include <filesystem>

#include "adr/AddressFiles.h"
#include "adr/RecordCount.h"
#include "app/ColumnFit.h"
#include "app/TrialRun.h"
#include "db/Error.h"
#include "text/NumberText.h"

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
        findings.push_back({Verdict::failure, subject, std::string("ließ sich nicht prüfen: ") + error.what()});
    }
}

std::string unit(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

Finding trialFinding(const TrialOutcome& trial, std::string_view separator, double& rowsPerSecond) {
    // The sample's values fit a table as the script makes it: any message is a value or a row
    // that a real run would lose.
    const std::string problem =
        trial.problems.empty() ? ""
                               : " " + unit(static_cast<std::int64_t>(trial.problems.size()), "Meldung", "Meldungen") +
                                     ", die erste: " + trial.problems.front();
    if (trial.saved < kTrialRecords) {
        return {Verdict::failure, "Probe",
                "von " + text::groupDigits(kTrialRecords, separator) + " Probe-Adressen nahm AdressenImport nur " +
                    text::groupDigits(trial.saved, separator) + " an." + problem};
    }
    rowsPerSecond = trial.seconds > 0 ? static_cast<double>(trial.saved) / trial.seconds : 0;
    const std::string rate = text::groupDigits(std::llround(rowsPerSecond), separator);
    return {trial.problems.empty() ? Verdict::ok : Verdict::failure, "Probe",
            text::groupDigits(trial.saved, separator) + " Probe-Adressen in " + durationText(trial.seconds) +
                " konvertiert und in AdressenImport geschrieben (" + rate + " Adressen/s), dann zurückgenommen." +
                problem};
}

Finding directoryFinding(const std::string& directory, double rowsPerSecond, std::string_view separator) {
    const std::int64_t records = adr::countRecords(directory);
    const std::string counted = "ADR-Verzeichnis " + directory + ": " + text::groupDigits(records, separator) +
                                (records == 1 ? " Adresse" : " Adressen");
    if (rowsPerSecond <= 0) return {Verdict::ok, "ADR", counted};
    return {Verdict::ok, "ADR",
            counted + "; die Konvertierung dauert bei dieser Rate " +
                durationText(static_cast<double>(records) / rowsPerSecond)};
}

}  // namespace

std::string durationText(double seconds) {
    if (seconds < 1) return "unter 1 Sekunde";
    const auto whole = static_cast<std::int64_t>(std::llround(seconds));
    if (whole < 60) return "etwa " + unit(whole, "Sekunde", "Sekunden");
    const std::int64_t minutes = (whole + 30) / 60;
    if (minutes < 60) return "etwa " + unit(minutes, "Minute", "Minuten");
    const std::string hours = "etwa " + unit(minutes / 60, "Stunde", "Stunden");
    return minutes % 60 == 0 ? hours : hours + " " + unit(minutes % 60, "Minute", "Minuten");
}

std::vector<Finding> checkDatenpool(db::Connection& connection, db::Survey& survey,
                                    const std::optional<std::string>& adrDirectory, std::string_view groupSeparator) {
    std::vector<Finding> findings;
    const auto addAll = [&](const std::vector<Finding>& more) {
        findings.insert(findings.end(), more.begin(), more.end());
    };
    add(findings, "Verbindung", [&] { addAll(survey.connectionFindings()); });

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
    add(findings, "Rechte", [&] { addAll(survey.rights()); });

    bool lockedNow = true;
    add(findings, "Sperren", [&] {
        findings.push_back(survey.locks());
        lockedNow = findings.back().verdict == Verdict::failure;
    });

    double rowsPerSecond = 0;
    if (!stagingTable) {
        findings.push_back({Verdict::warning, "Probe", "ausgelassen: AdressenImport fehlt"});
    } else if (lockedNow) {
        findings.push_back({Verdict::warning, "Probe", "ausgelassen: der Datenpool ist gerade gesperrt"});
    } else {
        add(findings, "Probe",
            [&] { findings.push_back(trialFinding(runTrial(connection), groupSeparator, rowsPerSecond)); });
    }

    if (adrDirectory) {
        add(findings, "ADR", [&] {
            const std::string first = adr::firstAddressFilePath(*adrDirectory);
            std::error_code ignored;
            if (!std::filesystem::is_regular_file(std::u8string(first.begin(), first.end()), ignored)) {
                findings.push_back(
                    {Verdict::failure, "ADR",
                     "das Verzeichnis " + *adrDirectory + " enthält keine Adressdaten (keine Datei 01A)"});
                return;
            }
            findings.push_back(directoryFinding(*adrDirectory, rowsPerSecond, groupSeparator));
        });
    }
    return findings;
}

}  // namespace app

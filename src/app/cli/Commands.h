#pragma once
// The commands of anschriftenwandler-cli. Each answers the exit code: 0 the command ran
// (problems with single records were reported as messages), 1 it could not run, 2 bad usage.

#include <optional>
#include <string>
#include <vector>

#include "app/Conversion.h"
#include "app/cli/ReportOption.h"

namespace cli {

int initDb(const std::vector<std::string>& words);
int convert(const std::vector<std::string>& words);
int convertOne(const std::vector<std::string>& words);
int settingsCommand(const std::vector<std::string>& words);
int importCommand(const std::vector<std::string>& words);
int undoCommand(const std::vector<std::string>& words);
int exportCommand(const std::vector<std::string>& words);
int checkCommand(const std::vector<std::string>& words);
// convert without --adr or --db: the window's way, with the stored directory and connection.
int convertFromSettings(const std::optional<std::string>& registryFile, const std::optional<std::string>& adr,
                        const std::optional<std::string>& target, ReportOption& report);
// Ends the list a conversion wrote to stdout. Lines still in the buffer count as listed only once
// they are written: a list whose lines were lost (linesLost, or the buffer not written) is cut
// short, not the run, and the staging table is counted for the summary.
void endConsoleList(app::ConversionOutcome& outcome, db::Connection* connection, bool linesLost);
// What convert says after a conversion (the summary and the counts of its records, and what
// became of a run or a list that was cut short), with the report written; answers its exit code.
int reportConversion(const app::ConversionOutcome& outcome, const std::string& datenpoolCaption, ReportOption& report,
                     db::Connection* connection);

}  // namespace cli

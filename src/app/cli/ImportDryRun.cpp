#include "app/cli/ImportDryRun.h"

#include <cstdio>
#include <string>

#include "app/ListLine.h"
#include "app/Texts.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Texts.h"
#include "db/Connection.h"
#include "transfer/AlreadyImported.h"

namespace cli {

int importDryRun(db::Connection& connection, std::optional<bool> onlyNew) {
    const bool canTell = transfer::canTellAlreadyImported(connection);
    if (!canTell) {
        if (onlyNew.value_or(false)) {
            say(std::string(texts::kOnlyNewUnknown));
            return 1;
        }
        say(std::string(app::texts::kAlreadyImportedUnknown));
    }
    const std::string imported =
        canTell ? std::string("CASE WHEN ") + transfer::kAlreadyImported + " THEN 1 ELSE 0 END" : std::string("0");
    const auto rows = connection.execute("SELECT AdressenImport.*, " + imported +
                                         " AS BereitsImportiert FROM AdressenImport ORDER BY id");
    const int fremdid = rows->position("fremdid");
    const int alreadyColumn = rows->position("BereitsImportiert");
    app::ListLines lines(*rows);
    texts::DryRunCounts counts;
    for (; !rows->atEnd(); rows->moveNext()) {
        const bool already = rows->value(alreadyColumn).integer() != 0;
        const bool leftOut = already && onlyNew.value_or(false);
        ++(leftOut ? counts.leftOut : counts.imported);
        if (already) ++counts.already;
        const std::string line =
            texts::dryRunLine(leftOut, already, rows->value(fremdid).toText(), lines.current()) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (std::fflush(stdout) != 0) return 1;
    say(texts::dryRunCounts(counts, onlyNew.has_value()));
    return 0;
}

}  // namespace cli

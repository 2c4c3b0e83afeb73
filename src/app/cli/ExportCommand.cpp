// export: a table of the Datenpool as CSV or JSON Lines, for review in a spreadsheet.

#include <cstdio>
#include <iostream>

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/OutputFile.h"
#include "app/cli/Texts.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "review/TableWriter.h"

namespace cli {

namespace {

review::TableFormat formatFrom(const Arguments& args) {
    if (const auto format = args.value("--format")) {
        if (*format == "csv") return review::TableFormat::csv;
        if (*format == "jsonl") return review::TableFormat::jsonl;
        throw UsageError(std::string(texts::kFormatValues));
    }
    const auto output = args.value("--output");
    return output ? review::tableFormatOf(*output).value_or(review::TableFormat::csv) : review::TableFormat::csv;
}

std::int64_t writeTable(db::Connection& connection, const std::string& table, std::ostream& out,
                        review::TableFormat format) {
    const auto rows = connection.execute("SELECT * FROM " + table + " ORDER BY id");
    std::vector<std::string> columns;
    for (int c = 0; c < rows->columnCount(); ++c) columns.push_back(rows->columnName(c));
    review::TableWriter writer(out, format, columns);
    std::vector<std::string> texts(columns.size());
    std::vector<review::Cell> cells(columns.size());
    std::int64_t written = 0;
    for (; !rows->atEnd(); rows->moveNext(), ++written) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const db::Value value = rows->value(static_cast<int>(c));
            texts[c] = value.toText();
            cells[c] = value.isNull() ? review::Cell{} : review::Cell{texts[c]};
        }
        writer.row(cells);
    }
    return written;
}

}  // namespace

int exportCommand(const std::vector<std::string>& words) {
    return withUsage(texts::kExportHelp, [&] {
        const Arguments args(words, {"--db", "--table", "--format", "--output"}, {});
        if (args.wantsHelp()) return printHelp(texts::kExportHelp);
        args.refusePositional();
        const std::string target = args.required("--db");
        checkTarget(target, "--db");
        const std::string table = args.value("--table").value_or("AdressenImport");
        if (table != "AdressenImport" && table != "Adressen") throw UsageError(std::string(texts::kTableValues));
        const review::TableFormat format = formatFrom(args);

        std::int64_t written = 0;
        try {
            const auto connection = openExisting(target);
            if (const auto output = args.value("--output")) {
                OutputFile file(*output);
                written = writeTable(*connection, table, file.stream(), format);
                file.close();
            } else {
                written = writeTable(*connection, table, std::cout, format);
                std::cout.flush();
                if (!std::cout) throw std::runtime_error(std::string(texts::kOutputIncomplete));
            }
        } catch (const db::Error& failure) {
            say(texts::exportFailed(table, failure.description()));
            return 1;
        }
        say(texts::rowsWritten(written, table));
        return 0;
    });
}

}  // namespace cli

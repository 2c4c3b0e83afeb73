// export: a table of the Datenpool as CSV, JSON Lines or a workbook, for review in a spreadsheet.

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
#include "review/WorkbookWriter.h"

namespace cli {

namespace {

review::TableFormat formatFrom(const Arguments& args) {
    if (const auto format = args.value("--format")) {
        if (*format == "csv") return review::TableFormat::csv;
        if (*format == "jsonl") return review::TableFormat::jsonl;
        if (*format == "xlsx") return review::TableFormat::xlsx;
        throw UsageError(std::string(texts::kFormatValues));
    }
    const auto output = args.value("--output");
    return output ? review::tableFormatOf(*output).value_or(review::TableFormat::csv) : review::TableFormat::csv;
}

std::vector<std::string> columnsOf(const db::RowSet& rows) {
    std::vector<std::string> columns;
    for (int c = 0; c < rows.columnCount(); ++c) columns.push_back(rows.columnName(c));
    return columns;
}

// Every row into the table; a number the database holds as one stays a number.
std::int64_t writeRows(db::RowSet& rows, review::TableSink& table) {
    const std::size_t count = static_cast<std::size_t>(rows.columnCount());
    std::vector<std::string> texts(count);
    std::vector<review::Cell> cells(count);
    std::int64_t written = 0;
    for (; !rows.atEnd(); rows.moveNext(), ++written) {
        for (std::size_t c = 0; c < count; ++c) {
            const db::Value value = rows.value(static_cast<int>(c));
            texts[c] = value.toText();
            cells[c] = value.isNull()                          ? review::Cell{}
                       : value.isInteger() || value.isDouble() ? review::Cell::ofNumber(texts[c])
                                                               : review::Cell{texts[c]};
        }
        table.row(cells);
    }
    return written;
}

std::unique_ptr<db::RowSet> tableRows(db::Connection& connection, const std::string& table) {
    return connection.execute("SELECT * FROM " + table + " ORDER BY id");
}

std::int64_t writeWorkbook(db::Connection& connection, const std::string& table, const std::string& output) {
    OutputFile file(output, OutputFile::OwnWriter{});
    const auto rows = tableRows(connection, table);
    review::WorkbookWriter workbook(file.draftPath(), columnsOf(*rows), table);
    const std::int64_t written = writeRows(*rows, workbook);
    workbook.close({texts::rowsFromTable(written, table)});
    file.close();
    return written;
}

std::int64_t writeTable(db::Connection& connection, const std::string& table, std::ostream& out,
                        review::TableFormat format) {
    const auto rows = tableRows(connection, table);
    review::TableWriter writer(out, format, columnsOf(*rows));
    return writeRows(*rows, writer);
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
        if (format == review::TableFormat::xlsx && !args.value("--output"))
            throw UsageError(std::string(texts::kWorkbookNeedsFile));

        std::int64_t written = 0;
        try {
            const auto connection = openExisting(target);
            if (format == review::TableFormat::xlsx) {
                written = writeWorkbook(*connection, table, *args.value("--output"));
            } else if (const auto output = args.value("--output")) {
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

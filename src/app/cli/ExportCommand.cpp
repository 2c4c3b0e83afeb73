// export: a table of the Datenpool as CSV, JSON Lines or a workbook, for review in a spreadsheet.

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/ConsoleView.h"
#include "app/cli/Datenpool.h"
#include "app/cli/ExistingDatenpool.h"
#include "app/cli/OutputFile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "review/TableWriter.h"
#include "review/WorkbookWriter.h"

namespace cli {

namespace {

constexpr const char* kExportHelp =
    "Aufruf: anschriftenwandler-cli export --db ZIEL [--table AdressenImport|Adressen] [--format csv|jsonl|xlsx]\n"
    "                                     [--output FILE]\n"
    "Schreibt jede Spalte jeder Zeile der Tabelle (nach id geordnet) zur Durchsicht: csv mit Semikolons\n"
    "(UTF-8 mit BOM), jsonl (ein JSON-Objekt je Zeile) oder xlsx (Excel-Arbeitsmappe). NULL bleibt eine\n"
    "leere Zelle (jsonl: null), Zahlen sind Zahlen, Texte und Datumsangaben (JJJJ-MM-TT) bleiben, wie sie\n"
    "gespeichert sind; in csv beginnt ein Text, der als Formel gelesen würde, mit einem Apostroph.\n"
    "  --db ZIEL       Datenpool-Datei oder Verbindungszeichenfolge\n"
    "  --table NAME    AdressenImport (Vorgabe) oder Adressen\n"
    "  --format F      csv, jsonl oder xlsx; Vorgabe nach der Endung von --output, sonst csv\n"
    "  --output FILE   Zieldatei; ohne sie stdout (nicht für xlsx)\n";
constexpr const char* kFormatExpected = "--format erwartet csv, jsonl oder xlsx.";
constexpr const char* kWorkbookNeedsFile = "Eine Arbeitsmappe (xlsx) braucht eine Zieldatei: --output FILE.";
std::string rowsOf(std::int64_t count, const std::string& table) {
    return std::to_string(count) + " Zeilen aus " + table;
}
std::string notRenamed(const std::string& draft, const std::string& output, const std::error_code& error) {
    return "Die Datei " + draft + " ließ sich nicht in " + output + " umbenennen: " + error.message();
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

review::TableFormat formatFrom(const Arguments& args) {
    if (const auto format = args.value("--format")) {
        if (*format == "csv") return review::TableFormat::csv;
        if (*format == "jsonl") return review::TableFormat::jsonl;
        if (*format == "xlsx") return review::TableFormat::xlsx;
        throw UsageError(kFormatExpected);
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

// The workbook is made beside its name and takes it only once it is whole.
std::int64_t writeWorkbook(db::Connection& connection, const std::string& table, const std::string& output) {
    const std::string draft = output + ".part";
    std::int64_t written = 0;
    try {
        const auto rows = tableRows(connection, table);
        review::WorkbookWriter workbook(draft, columnsOf(*rows), table);
        written = writeRows(*rows, workbook);
        workbook.close({rowsOf(written, table)});
        std::error_code error;
        std::filesystem::rename(pathOf(draft), pathOf(output), error);
        if (error) throw std::runtime_error(notRenamed(draft, output, error));
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(pathOf(draft), ignored);
        throw;
    }
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
    return withUsage(kExportHelp, [&] {
        const Arguments args(words, {"--db", "--table", "--format", "--output"}, {});
        if (args.wantsHelp()) return std::fputs(kExportHelp, stdout), 0;
        if (!args.positional().empty()) throw UsageError("Unerwartetes Argument: " + args.positional().front());
        const std::string target = args.required("--db");
        checkTarget(target, "--db");
        const std::string table = args.value("--table").value_or("AdressenImport");
        if (table != "AdressenImport" && table != "Adressen")
            throw UsageError("--table erwartet AdressenImport oder Adressen.");
        const review::TableFormat format = formatFrom(args);
        if (format == review::TableFormat::xlsx && !args.value("--output")) throw UsageError(kWorkbookNeedsFile);

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
                if (!std::cout) throw std::runtime_error("Die Ausgabe ließ sich nicht vollständig schreiben.");
            }
        } catch (const db::Error& failure) {
            say(failure.description());
            return 1;
        }
        say(rowsOf(written, table) + " ausgegeben.");
        return 0;
    });
}

}  // namespace cli

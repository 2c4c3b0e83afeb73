#pragma once
// Rows of texts for review outside the program: CSV (semicolons, UTF-8 with a byte-order mark,
// so that a German spreadsheet opens it as it is) or JSON Lines (one object per row, the
// column names as keys). A missing value (the database's null) is an empty cell in CSV and
// null in JSON Lines; every other value is written as the text it is, never reformatted.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class TableFormat { csv, jsonl };

// The format a file name asks for by its ending (".csv", ".jsonl"), when it asks for one.
std::optional<TableFormat> tableFormatOf(std::string_view fileName);

// One CSV cell: quoted when it holds ";", a quotation mark, CR or LF, inner quotes doubled.
std::string csvCell(std::string_view text);
// One JSON string literal, quotes and backslash escaped, control characters as \uXXXX.
std::string jsonString(std::string_view text);

using Cell = std::optional<std::string>;

class TableWriter {
public:
    // Writes what heads the table (CSV: the byte-order mark and the column names).
    TableWriter(std::ostream& out, TableFormat format, std::vector<std::string> columns);
    void row(const std::vector<Cell>& cells);

private:
    std::ostream& out_;
    TableFormat format_;
    std::vector<std::string> columns_;
    std::string line_;  // reused for every row
};

}  // namespace app

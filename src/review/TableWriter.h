#pragma once
// Rows of texts for review outside the program: CSV (semicolons, UTF-8 with a byte-order mark,
// so that a German spreadsheet opens it as it is) or JSON Lines (one object per row, the
// column names as keys). A missing value (the database's null) is an empty cell in CSV and
// null in JSON Lines; every other value is written as the text it is, never reformatted.

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace review {

enum class TableFormat { csv, jsonl };

// The format a file name asks for by its ending (".csv", ".jsonl", in either case), when it asks for one.
std::optional<TableFormat> tableFormatOf(std::string_view fileName);

// One CSV cell: quoted when it holds ";", a quotation mark, CR or LF, inner quotes doubled.
std::string csvCell(std::string_view text);
// One JSON string literal, quotes and backslash escaped, control characters as \uXXXX.
std::string jsonString(std::string_view text);

// A cell's text, viewed only while its row is written; none is the database's null.
using Cell = std::optional<std::string_view>;

class TableWriter {
public:
    // Writes what heads the table (CSV: the byte-order mark and the column names).
    TableWriter(std::ostream& out, TableFormat format, std::vector<std::string> columns);
    void row(const std::vector<Cell>& cells) { row(cells.data(), cells.size()); }
    void row(std::initializer_list<Cell> cells) { row(cells.begin(), cells.size()); }

private:
    void row(const Cell* cells, std::size_t count);

    std::ostream& out_;
    TableFormat format_;
    std::vector<std::string> columns_;
    std::vector<std::string> keys_;  // JSON Lines: each column's name as key, with the colon
    std::string line_;               // reused for every row
    std::string repaired_;           // a cell's text with what is no UTF-8 replaced
};

}  // namespace review

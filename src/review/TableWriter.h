#pragma once
// Rows of texts for review outside the program: CSV (semicolons, UTF-8 with a byte-order mark,
// so that a German spreadsheet opens it as it is) or JSON Lines (one object per row, the
// column names as keys). A missing value (the database's null) is an empty cell in CSV and
// null in JSON Lines; a number is a JSON number; every other value is written as the text it
// is, never reformatted (in CSV a text that would be taken as a formula gets a leading apostrophe).

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "review/TableCells.h"
#include "review/TableSink.h"

namespace review {

enum class TableFormat { csv, jsonl, xlsx };

// The format a file name asks for by its ending (".csv", ".jsonl", ".xlsx", in either case),
// when it asks for one.
std::optional<TableFormat> tableFormatOf(std::string_view fileName);

class TableWriter : public TableSink {
public:
    // Writes what heads the table (CSV: the byte-order mark and the column names). format is
    // csv or jsonl.
    TableWriter(std::ostream& out, TableFormat format, std::vector<std::string> columns);

private:
    void write(const Cell* cells, std::size_t count) override;

    std::ostream& out_;
    TableFormat format_;
    std::vector<std::string> columns_;
    std::vector<std::string> keys_;  // JSON Lines: each column's name as key, with the colon
    std::string line_;               // reused for every row
};

}  // namespace review

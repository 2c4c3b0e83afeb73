#pragma once
// Where the rows of a review table go: a CSV or JSON Lines stream, or a workbook. Each row is
// handed over with the cells in the order of the table's columns; what is no UTF-8 in a cell is
// replaced by U+FFFD before any format sees it, so that every file stays readable as UTF-8.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace review {

// A cell's text, viewed only while its row is written; none is the database's null. A number's
// cell holds its decimal form ("17", "-3", "2.5") and is written as a number where the format
// has numbers; any other text stays text, also one of digits ("0123").
struct Cell {
    Cell() = default;
    Cell(std::nullopt_t) {}
    Cell(const char* given) : text(given) {}
    Cell(std::string_view given) : text(given) {}
    Cell(const std::string& given) : text(given) {}
    static Cell ofNumber(std::string_view digits) {
        Cell cell(digits);
        cell.number = true;
        return cell;
    }
    // A text made of UTF-8 by this program (the lines read through Zeichentabelle), which
    // need not be checked again: the longest cells of a report are such texts.
    static Cell ofUtf8(std::string_view given) {
        Cell cell(given);
        cell.utf8 = true;
        return cell;
    }

    std::optional<std::string_view> text;
    bool number = false;
    bool utf8 = false;
};

class TableSink {
public:
    virtual ~TableSink() = default;
    // Cells beyond the given ones are null.
    void row(const std::vector<Cell>& cells) { repairAndWrite(cells.data(), cells.size()); }
    void row(std::initializer_list<Cell> cells) { repairAndWrite(cells.begin(), cells.size()); }

protected:
    virtual void write(const Cell* cells, std::size_t count) = 0;

private:
    void repairAndWrite(const Cell* cells, std::size_t count);

    std::vector<Cell> repairedCells_;
    std::vector<std::string> repairedTexts_;
};

}  // namespace review

#pragma once
// A review table as an Excel workbook (.xlsx), written with libxlsxwriter: every text a text cell
// (nothing becomes a formula, "0123" keeps its zero), numbers as numbers, null an empty cell, a
// bold header row that stays in view and carries a filter, and columns as wide as their texts
// (up to a cap). The rows go to the library's work files as they come (its constant-memory
// mode), so that a table of any length takes little memory; the file itself is written only by
// close(). A text longer than a cell takes (32,767 characters) is cut there, and the sheet
// "Zusammenfassung" names every cell cut.

#include <string>
#include <string_view>
#include <vector>

#include "review/TableSink.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace review {

// The most characters (UTF-16 units, as Excel counts them) a workbook cell holds.
inline constexpr std::size_t kWorkbookCellLimit = 32767;

class WorkbookWriter : public TableSink {
public:
    // Writes the header row of the sheet named sheetName. Throws std::runtime_error when the
    // workbook cannot be begun.
    WorkbookWriter(const std::string& path, std::vector<std::string> columns, const std::string& sheetName);
    // A workbook not closed leaves no file.
    ~WorkbookWriter() override;
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Adds the sheet "Zusammenfassung" with the summary's lines and the cells cut, and writes
    // the file. Throws std::runtime_error when any cell or the file could not be written.
    void close(const std::vector<std::string>& summary);

private:
    void write(const Cell* cells, std::size_t count) override;
    void writeText(std::uint16_t column, std::string_view text);
    // Keeps the first failure; close() reports it.
    void check(int error, std::string_view what);

    std::string path_;
    std::vector<std::string> columns_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    std::uint32_t row_ = 0;            // the row written last
    std::vector<std::size_t> widths_;  // each column's widest text so far, in characters
    std::vector<std::string> cuts_;    // where a text was cut
    std::string failure_;
};

}  // namespace review

#include "review/WorkbookWriter.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "review/TableCells.h"
#include "review/Texts.h"
#include "text/Unicode.h"

namespace review {

namespace {

// Wide enough for the filter's button beside the name, narrow enough to keep a sheet in view.
constexpr std::size_t kMinWidth = 8;
constexpr std::size_t kMaxWidth = 60;
// Excel keeps a number's 15 significant digits; a longer one stays text, so that none is changed.
constexpr std::size_t kMaxNumberDigits = 15;

std::size_t digitCount(std::string_view number) {
    const auto end = std::find_if(number.begin(), number.end(), [](char c) { return c == 'e' || c == 'E'; });
    return static_cast<std::size_t>(std::count_if(number.begin(), end, [](char c) { return c >= '0' && c <= '9'; }));
}

struct Measure {
    std::size_t characters = 0;  // code points
    std::size_t units = 0;       // UTF-16 units
    std::size_t cutAt = 0;       // bytes of the first kWorkbookCellLimit units
};

// What a cell can carry of text: a null byte has no place in the file and becomes U+FFFD, and
// a "_x" that reads as an escape ("_x0041_") is itself escaped, so that it stays as written.
std::string storable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            out += "\xEF\xBF\xBD";
        } else if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
                   std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 2,
                               text.begin() + static_cast<std::ptrdiff_t>(i) + 6,
                               [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; })) {
            out += "_x005F_";
        } else {
            out += text[i];
        }
    }
    return out;
}

Measure measure(std::string_view utf8) {
    Measure result;
    std::size_t pos = 0;
    char32_t codePoint = 0;
    while (pos < utf8.size() && text::decodeUtf8(utf8, pos, codePoint)) {
        ++result.characters;
        result.units += codePoint > 0xFFFF ? 2 : 1;
        if (result.units <= kWorkbookCellLimit) result.cutAt = pos;
    }
    return result;
}

}  // namespace

WorkbookWriter::WorkbookWriter(const std::string& path, std::vector<std::string> columns, const std::string& sheetName)
    : path_(path), columns_(std::move(columns)), widths_(columns_.size(), kMinWidth) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(path_.c_str(), &options);
    if (workbook_) sheet_ = workbook_add_worksheet(workbook_, sheetName.c_str());
    if (!sheet_) {
        if (workbook_) lxw_workbook_free(std::exchange(workbook_, nullptr));
        throw std::runtime_error(texts::workbookNotBegun(path_));
    }
    bold_ = workbook_add_format(workbook_);
    format_set_bold(bold_);
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(c), columns_[c].c_str(), bold_), columns_[c]);
        widths_[c] = std::max(widths_[c], measure(columns_[c]).characters + 3);
    }
    worksheet_freeze_panes(sheet_, 1, 0);
}

WorkbookWriter::~WorkbookWriter() {
    // Freed without writing: the library's work files go, and no file is made.
    if (workbook_) lxw_workbook_free(workbook_);
}

void WorkbookWriter::check(int error, std::string_view what) {
    if (error == LXW_NO_ERROR || !failure_.empty()) return;
    failure_ = texts::workbookNotWritten(path_, what, lxw_strerror(static_cast<lxw_error>(error)));
}

void WorkbookWriter::write(const Cell* cells, std::size_t count) {
    ++row_;
    for (std::size_t c = 0; c < columns_.size() && c < count; ++c) {
        const Cell& cell = cells[c];
        if (!cell.text) continue;  // null: an empty cell
        const auto column = static_cast<lxw_col_t>(c);
        if (cell.number && isNumberText(*cell.text) && digitCount(*cell.text) <= kMaxNumberDigits) {
            const double value = std::strtod(std::string(*cell.text).c_str(), nullptr);
            check(worksheet_write_number(sheet_, row_, column, value, nullptr), columns_[c]);
            widths_[c] = std::max(widths_[c], cell.text->size() + 2);
        } else {
            writeText(column, *cell.text);
        }
    }
}

void WorkbookWriter::writeText(std::uint16_t column, std::string_view text) {
    const Measure size = measure(text);
    const std::string value = storable(size.units > kWorkbookCellLimit ? text.substr(0, size.cutAt) : text);
    if (size.units > kWorkbookCellLimit) {
        cuts_.push_back(texts::textCut(row_ + 1, columns_[column], kWorkbookCellLimit, size.units));
    }
    check(worksheet_write_string(sheet_, row_, column, value.c_str(), nullptr), columns_[column]);
    widths_[column] = std::clamp(size.characters + 2, widths_[column], kMaxWidth);
}

void WorkbookWriter::close(const std::vector<std::string>& summary) {
    if (!columns_.empty()) {
        const auto last = static_cast<lxw_col_t>(columns_.size() - 1);
        check(worksheet_autofilter(sheet_, 0, 0, row_, last), "Filter");
        for (lxw_col_t c = 0; c <= last; ++c) {
            check(worksheet_set_column(sheet_, c, c, static_cast<double>(std::min(widths_[c], kMaxWidth)), nullptr),
                  columns_[c]);
        }
    }
    if (lxw_worksheet* sheet = workbook_add_worksheet(workbook_, texts::kSummarySheet)) {
        lxw_row_t line = 0;
        for (const std::vector<std::string>* lines : {&summary, &std::as_const(cuts_)}) {
            for (const std::string& text : *lines)
                check(worksheet_write_string(sheet, line++, 0, text.c_str(), nullptr), texts::kSummarySheet);
        }
        check(worksheet_set_column(sheet, 0, 0, static_cast<double>(kMaxWidth * 2), nullptr), texts::kSummarySheet);
    } else {
        check(LXW_ERROR_MEMORY_MALLOC_FAILED, texts::kSummarySheet);
    }
    // workbook_close frees the workbook whatever it returns.
    const lxw_error closed = workbook_close(std::exchange(workbook_, nullptr));
    check(closed, path_);
    if (!failure_.empty()) throw std::runtime_error(failure_);
}

}  // namespace review

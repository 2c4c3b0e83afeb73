#include "review/TableWriter.h"

#include "text/SameName.h"

namespace review {

namespace {

bool endsWithName(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text::sameName(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

std::optional<TableFormat> tableFormatOf(std::string_view fileName) {
    if (endsWithName(fileName, ".csv")) return TableFormat::csv;
    if (endsWithName(fileName, ".jsonl")) return TableFormat::jsonl;
    if (endsWithName(fileName, ".xlsx")) return TableFormat::xlsx;
    return std::nullopt;
}

TableWriter::TableWriter(std::ostream& out, TableFormat format, std::vector<std::string> columns)
    : out_(out), format_(format), columns_(std::move(columns)) {
    if (format_ == TableFormat::jsonl) {
        for (const std::string& column : columns_) keys_.push_back(jsonString(column) + ':');
        return;
    }
    out_ << "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < columns_.size(); ++i) out_ << (i ? ";" : "") << csvCell(columns_[i]);
    out_ << "\r\n";
}

void TableWriter::write(const Cell* cells, std::size_t count) {
    line_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const Cell cell = i < count ? cells[i] : Cell{};
        // A number stands as it is; one that is no number's text is written as the text it is.
        const bool number = cell.text && cell.number && isNumberText(*cell.text);
        if (format_ == TableFormat::csv) {
            if (i) line_ += ';';
            if (number) {
                line_ += *cell.text;
            } else if (cell.text) {
                appendCsvCell(line_, *cell.text);
            }
        } else {
            line_ += i ? ',' : '{';
            line_ += keys_[i];
            if (number) {
                line_ += *cell.text;
            } else if (cell.text) {
                appendJsonString(line_, *cell.text);
            } else {
                line_ += "null";
            }
        }
    }
    line_ += format_ == TableFormat::csv ? "\r\n" : "}\n";
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

}  // namespace review

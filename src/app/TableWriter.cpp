#include "app/TableWriter.h"

#include <cstdio>

namespace app {

namespace {

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

}  // namespace

std::optional<TableFormat> tableFormatOf(std::string_view fileName) {
    if (endsWith(fileName, ".csv")) return TableFormat::csv;
    if (endsWith(fileName, ".jsonl")) return TableFormat::jsonl;
    return std::nullopt;
}

std::string csvCell(std::string_view text) {
    if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
    std::string cell = "\"";
    for (const char c : text) {
        if (c == '"') cell += '"';
        cell += c;
    }
    return cell + '"';
}

std::string jsonString(std::string_view text) {
    std::string literal = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': literal += "\\\""; break;
            case '\\': literal += "\\\\"; break;
            case '\n': literal += "\\n"; break;
            case '\r': literal += "\\r"; break;
            case '\t': literal += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                    literal += escaped;
                } else {
                    literal += c;
                }
        }
    }
    return literal + '"';
}

TableWriter::TableWriter(std::ostream& out, TableFormat format, std::vector<std::string> columns)
    : out_(out), format_(format), columns_(std::move(columns)) {
    if (format_ != TableFormat::csv) return;
    out_ << "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < columns_.size(); ++i) out_ << (i ? ";" : "") << csvCell(columns_[i]);
    out_ << "\r\n";
}

void TableWriter::row(const std::vector<Cell>& cells) {
    line_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const Cell& cell = i < cells.size() ? cells[i] : Cell{};
        if (format_ == TableFormat::csv) {
            if (i) line_ += ';';
            if (cell) line_ += csvCell(*cell);
        } else {
            line_ += i ? "," : "{";
            line_ += jsonString(columns_[i]);
            line_ += ':';
            line_ += cell ? jsonString(*cell) : "null";
        }
    }
    line_ += format_ == TableFormat::csv ? "\r\n" : "}\n";
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

}  // namespace app

#include "review/TableWriter.h"

#include <algorithm>
#include <cstdio>

#include "text/SameName.h"
#include "text/Unicode.h"

namespace review {

namespace {

bool endsWithName(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text::sameName(text.substr(text.size() - ending.size()), ending);
}

bool splitsCsv(char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; }

// Most cells need no quoting: they are appended as they are, in one piece. A short cell is
// looked through once; in a long one, one search per character (memchr) is far quicker than
// find_first_of's test of every character against four.
bool needsCsvQuotes(std::string_view text) {
    constexpr std::size_t kShort = 32;
    if (text.size() <= kShort) return std::any_of(text.begin(), text.end(), splitsCsv);
    for (const char c : {';', '"', '\r', '\n'}) {
        if (text.find(c) != std::string_view::npos) return true;
    }
    return false;
}

void appendCsvCell(std::string& out, std::string_view text) {
    if (!needsCsvQuotes(text)) {
        out += text;
        return;
    }
    out += '"';
    for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
        out.append(text.substr(0, quote + 1)).append(1, '"');
        text.remove_prefix(quote + 1);
    }
    out.append(text).append(1, '"');
}

// Most characters stand for themselves in a JSON string; runs of them are appended in one piece.
bool needsJsonEscape(char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t plain = 0;  // start of the characters not appended yet
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!needsJsonEscape(c)) continue;
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            }
        }
    }
    out.append(text.substr(plain));
    out += '"';
}

}  // namespace

std::optional<TableFormat> tableFormatOf(std::string_view fileName) {
    if (endsWithName(fileName, ".csv")) return TableFormat::csv;
    if (endsWithName(fileName, ".jsonl")) return TableFormat::jsonl;
    return std::nullopt;
}

std::string csvCell(std::string_view text) {
    std::string cell;
    appendCsvCell(cell, text);
    return cell;
}

std::string jsonString(std::string_view text) {
    std::string literal;
    appendJsonString(literal, text);
    return literal;
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

void TableWriter::row(const Cell* cells, std::size_t count) {
    line_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        Cell cell = i < count ? cells[i] : Cell{};
        if (cell && !text::isUtf8(*cell)) cell = repaired_ = text::replacingMalformedUtf8(*cell);
        if (format_ == TableFormat::csv) {
            if (i) line_ += ';';
            if (cell) appendCsvCell(line_, *cell);
        } else {
            line_ += i ? ',' : '{';
            line_ += keys_[i];
            if (cell) {
                appendJsonString(line_, *cell);
            } else {
                line_ += "null";
            }
        }
    }
    line_ += format_ == TableFormat::csv ? "\r\n" : "}\n";
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

}  // namespace review

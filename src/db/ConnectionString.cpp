#include "db/ConnectionString.h"

#include "db/Names.h"

namespace db {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

// Reads a quoted value from pos (on the opening quote) and leaves pos behind the closing one.
std::string quotedValue(std::string_view text, std::size_t& pos) {
    const char quote = text[pos++];
    std::string value;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c != quote) {
            value += c;
        } else if (pos < text.size() && text[pos] == quote) {
            value += quote;
            ++pos;
        } else {
            break;
        }
    }
    return value;
}

bool isBraced(const std::string& value) { return value.size() >= 2 && value.front() == '{' && value.back() == '}'; }

bool hasOuterBlank(std::string_view value) {
    return !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
}

bool needsBraces(const Keyword& keyword) {
    if (sameName(keyword.name, "Driver") && isBraced(keyword.value)) return false;  // "Driver={SQL Server}"
    return keyword.value.find_first_of(";={}") != std::string::npos || hasOuterBlank(keyword.value);
}

}  // namespace

std::vector<Keyword> readConnectionString(std::string_view text) {
    std::vector<Keyword> keywords;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t equals = text.find('=', pos);
        const std::size_t semicolon = text.find(';', pos);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            if (semicolon == std::string_view::npos) break;
            pos = semicolon + 1;  // a piece without "="
            continue;
        }
        Keyword keyword{trimmed(text.substr(pos, equals - pos)), {}};
        pos = equals + 1;
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            keyword.value = quotedValue(text, pos);
            const std::size_t end = text.find(';', pos);
            pos = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', pos);
            keyword.value =
                trimmed(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
            pos = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (!keyword.name.empty()) keywords.push_back(std::move(keyword));
    }
    return keywords;
}

std::optional<std::string> setting(const std::vector<Keyword>& keywords, std::string_view name) {
    std::optional<std::string> found;
    for (const auto& keyword : keywords) {
        if (sameName(keyword.name, name)) found = keyword.value;
    }
    return found;
}

std::string connectionStringSetting(std::string_view value) {
    const bool quoted = value.find(';') != std::string_view::npos || hasOuterBlank(value) ||
                        (!value.empty() && (value.front() == '"' || value.front() == '\''));
    if (!quoted) return std::string(value);
    const char quote = value.find('"') == std::string_view::npos ? '"' : '\'';
    std::string result(1, quote);
    for (char c : value) result += c == quote ? std::string(2, c) : std::string(1, c);
    return result + quote;
}

std::string odbcConnectionString(const std::vector<Keyword>& keywords) {
    std::string result;
    for (const auto& keyword : keywords) {
        const auto& [name, value] = keyword;
        result += name + "=";
        if (needsBraces(keyword)) {
            result += '{';
            for (char c : value) result += c == '}' ? std::string("}}") : std::string(1, c);
            result += '}';
        } else {
            result += value;
        }
        result += ';';
    }
    return result;
}

}  // namespace db

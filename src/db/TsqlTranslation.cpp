#include "db/TsqlTranslation.h"

#include <regex>

namespace db {

namespace {

// Names are plain identifiers here, so they can stand in the SQL text as they are.
const std::regex& truncatePattern() {
    static const std::regex pattern(R"(^\s*truncate\s+table\s+([A-Za-z_][A-Za-z0-9_]*)\s*;?\s*$)",
                                    std::regex::icase | std::regex::ECMAScript);
    return pattern;
}

const std::regex& reseedPattern() {
    static const std::regex pattern(
        R"(^\s*dbcc\s+checkident\s*\(\s*'([A-Za-z_][A-Za-z0-9_]*)'\s*,\s*reseed\s*,\s*(-?[0-9]{1,18})\s*\)\s*;?\s*$)",
        std::regex::icase | std::regex::ECMAScript);
    return pattern;
}

}  // namespace

std::optional<std::string> translateTsql(std::string_view statement) {
    const std::string text(statement);
    std::smatch match;
    if (std::regex_match(text, match, truncatePattern())) {
        const std::string table = match[1];
        return "DELETE FROM " + table + "; DELETE FROM sqlite_sequence WHERE name = '" + table + "' COLLATE NOCASE;";
    }
    if (std::regex_match(text, match, reseedPattern())) {
        const std::string table = match[1];
        const std::string seed = match[2];
        return "DELETE FROM sqlite_sequence WHERE name = '" + table + "' COLLATE NOCASE; "
               "INSERT INTO sqlite_sequence (name, seq) SELECT name, " + seed +
               " FROM sqlite_master WHERE type = 'table' AND name = '" + table + "' COLLATE NOCASE;";
    }
    return std::nullopt;
}

}  // namespace db

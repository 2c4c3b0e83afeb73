#include "db/odbc/SqliteStatements.h"

namespace db {

namespace {

bool isWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool isKeyword(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'a' && word[i] <= 'z' ? static_cast<char>(word[i] - 'a' + 'A') : word[i];
        if (c != keyword[i]) return false;
    }
    return true;
}

// Where the statement being read stands; at its start while only blanks and comments came. A
// trigger's body holds statements of its own: its semicolons end the CREATE TRIGGER only as
// "; END ;".
enum class Phase { Start, Plain, Create, Trigger, TriggerSemicolon, TriggerEnd };

Phase afterWord(Phase phase, std::string_view word) {
    switch (phase) {
        case Phase::Start: return isKeyword(word, "CREATE") ? Phase::Create : Phase::Plain;
        case Phase::Create:
            if (isKeyword(word, "TEMP") || isKeyword(word, "TEMPORARY")) return Phase::Create;
            return isKeyword(word, "TRIGGER") ? Phase::Trigger : Phase::Plain;
        case Phase::TriggerSemicolon: return isKeyword(word, "END") ? Phase::TriggerEnd : Phase::Trigger;
        case Phase::TriggerEnd: return Phase::Trigger;
        default: return phase;
    }
}

// Any other token: a literal, a quoted name, an operator.
Phase afterOtherToken(Phase phase) {
    switch (phase) {
        case Phase::Start:
        case Phase::Create: return Phase::Plain;
        case Phase::TriggerSemicolon:
        case Phase::TriggerEnd: return Phase::Trigger;
        default: return phase;
    }
}

// The position after the comment that begins at `at`, the end of the text for one that never
// ends; `at` when none begins there.
std::size_t endOfComment(std::string_view sql, std::size_t at) {
    const std::string_view opening = sql.substr(at, 2);
    if (opening == "--") {
        const std::size_t lineEnd = sql.find('\n', at + 2);
        return lineEnd == std::string_view::npos ? sql.size() : lineEnd + 1;
    }
    if (opening == "/*") {
        const std::size_t close = sql.find("*/", at + 2);
        return close == std::string_view::npos ? sql.size() : close + 2;
    }
    return at;
}

// The position after the literal or quoted name that begins at `at`, the end of the text for one
// that never ends; `at` when none begins there.
std::size_t endOfQuoted(std::string_view sql, std::size_t at) {
    const char c = sql[at];
    if (c != '\'' && c != '"' && c != '`' && c != '[') return at;
    const std::size_t close = sql.find(c == '[' ? ']' : c, at + 1);
    return close == std::string_view::npos ? sql.size() : close + 1;
}

}  // namespace

std::vector<std::string> splitSqliteStatements(std::string_view sql) {
    std::vector<std::string> statements;
    std::size_t start = 0;
    Phase phase = Phase::Start;
    std::size_t at = 0;
    while (at < sql.size()) {
        const char c = sql[at];
        if (isSpace(c)) {
            ++at;
        } else if (const std::size_t afterComment = endOfComment(sql, at); afterComment != at) {
            at = afterComment;
        } else if (const std::size_t afterQuoted = endOfQuoted(sql, at); afterQuoted != at) {
            phase = afterOtherToken(phase);
            at = afterQuoted;
        } else if (isWordCharacter(c)) {
            std::size_t end = at;
            while (end < sql.size() && isWordCharacter(sql[end])) ++end;
            phase = afterWord(phase, sql.substr(at, end - at));
            at = end;
        } else if (c == ';') {
            ++at;
            if (phase == Phase::Trigger || phase == Phase::TriggerSemicolon) {
                phase = Phase::TriggerSemicolon;
                continue;
            }
            if (phase != Phase::Start) statements.emplace_back(sql.substr(start, at - start));
            start = at;
            phase = Phase::Start;
        } else {
            phase = afterOtherToken(phase);
            ++at;
        }
    }
    if (phase != Phase::Start) statements.emplace_back(sql.substr(start));
    return statements;
}

}  // namespace db

#include "db/CommandText.h"

#include "db/Names.h"

namespace db {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

}  // namespace

CommandText readCommandText(std::string_view text) {
    CommandText result;
    std::string_view rest = skipBlanks(text);
    if (rest.empty() || !isNameStart(rest.front())) return result;
    std::size_t length = 0;
    while (length < rest.size() && isNameChar(rest[length])) ++length;
    const std::string_view name = rest.substr(0, length);
    rest = rest.substr(length);

    if (skipBlanks(rest).empty()) {
        result.kind = CommandText::Kind::BareName;
        result.name = std::string(name);
        return result;
    }
    if (rest.empty() || !isBlank(rest.front())) return result;
    rest = skipBlanks(rest);
    if (rest.size() > 5 && sameName(rest.substr(0, 5), "WHERE") && isBlank(rest[5])) {
        result.kind = CommandText::Kind::NameWithCondition;
        result.name = std::string(name);
        result.condition = std::string(skipBlanks(rest.substr(5)));
    }
    return result;
}

}  // namespace db

#pragma once
// How a command text reads before the backend resolves it: a bare name (a table or a
// routine), a table name with a WHERE condition, or an SQL statement.

#include <string>
#include <string_view>

namespace db {

struct CommandText {
    enum class Kind { BareName, NameWithCondition, Statement };
    Kind kind = Kind::Statement;
    std::string name;       // BareName, NameWithCondition
    std::string condition;  // NameWithCondition: the text after WHERE
};

CommandText readCommandText(std::string_view text);

}  // namespace db

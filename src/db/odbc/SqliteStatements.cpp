#include "db/odbc/SqliteStatements.h"

#include <sqlite3.h>

namespace db {

namespace {

bool isEmptyStatement(std::string_view piece) {
    for (char c : piece) {
        if (c != ';' && c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> splitSqliteStatements(std::string_view sql) {
    std::vector<std::string> statements;
    std::size_t start = 0;
    for (std::size_t end = sql.find(';'); end != std::string_view::npos; end = sql.find(';', end + 1)) {
        // A semicolon inside a literal, a comment or a trigger body does not end the statement.
        std::string piece(sql.substr(start, end + 1 - start));
        if (!sqlite3_complete(piece.c_str())) continue;
        if (!isEmptyStatement(piece)) statements.push_back(std::move(piece));
        start = end + 1;
    }
    if (!isEmptyStatement(sql.substr(start))) statements.emplace_back(sql.substr(start));
    return statements;
}

}  // namespace db

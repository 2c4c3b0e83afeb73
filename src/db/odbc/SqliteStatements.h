#pragma once
// SQL text of several statements cut into single ones, for the SQLite ODBC driver, which takes
// one statement per call. The cuts are where SQLite itself ends a statement: at a semicolon
// outside a literal ('…'), a quoted name ("…", […], `…`) and a comment (-- and /* */), and for a
// CREATE TRIGGER only after its body's "END ;". Each statement keeps its semicolon and what
// came before it since the last one; what holds only semicolons, blanks and comments is no
// statement (sent alone it would run as an empty one, whose lack of rows would stand for the
// script's). A literal that never ends runs to the end of the text.

#include <string>
#include <string_view>
#include <vector>

namespace db {

std::vector<std::string> splitSqliteStatements(std::string_view sql);

}  // namespace db

#include "db/odbc/SqlServerProbes.h"

namespace db {

namespace {

// The name as OBJECT_ID reads it, N'[…]': in brackets, so that a dot stays part of it, with every
// "]" and every quote doubled.
std::string objectNameLiteral(std::string_view name) {
    std::string literal = "N'[";
    for (const char c : name) {
        literal += c;
        if (c == ']' || c == '\'') literal += c;
    }
    return literal + "]'";
}

}  // namespace

std::string sqlServerTableExists(std::string_view name) {
    const std::string literal = objectNameLiteral(name);
    return "SELECT CASE WHEN OBJECT_ID(" + literal + ", N'U') IS NOT NULL OR OBJECT_ID(" + literal +
           ", N'V') IS NOT NULL THEN 1 ELSE 0 END";
}

}  // namespace db

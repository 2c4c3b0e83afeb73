#pragma once
// The table that a database's own failure text says is missing, so that the user is told which
// table the Datenpool lacks before that text.

#include <optional>
#include <string>
#include <string_view>

namespace db {

// SQLite, embedded or behind ODBC: "no such table: AdressenImport" (with or without "main.").
std::optional<std::string> sqliteMissingTable(std::string_view text);
// SQL Server's error 208, in the server's language: the name between the text's last quotes.
std::optional<std::string> sqlServerMissingTable(std::string_view text);

}  // namespace db

#pragma once
// Connection strings as the law-office system stores them ("Provider=SQLOLEDB.1; Data Source=srv; ")
// and as ODBC takes them ("Driver={ODBC Driver 18 for SQL Server};Server=srv;").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

struct Keyword {
    std::string name;
    std::string value;
};

// The keywords in their order. Blanks around names and values do not count; a value may be
// enclosed in double or single quotes (the quote doubled inside), and then holds ";" as well.
// Pieces without "=" or without a name are left out.
std::vector<Keyword> readConnectionString(std::string_view text);

// The value of a keyword named without regard to case; the last one counts when it repeats.
std::optional<std::string> setting(const std::vector<Keyword>& keywords, std::string_view name);

// A stored setting as a connection string holds it, so that readConnectionString gives it back
// whole: in double quotes (single ones where it holds a double quote), the quote doubled inside,
// where it holds ";", starts with a quote or starts or ends with a blank; else as it is.
std::string connectionStringSetting(std::string_view value);

// "name=value;" for ODBC's SQLDriverConnect; a value that holds ";", "=" or braces, or starts
// or ends with a blank, goes in braces with "}" doubled. Only a driver's name may stand in
// braces already ("Driver={SQL Server}"); any other value is the user's own text, braces and all.
std::string odbcConnectionString(const std::vector<Keyword>& keywords);

}  // namespace db

#pragma once
// The check of a Datenpool that is a SQLite file, reached directly or through the SQLite ODBC
// driver: the columns as the file declares them, the routines in its table "Routinen", the
// rights as the file's and its folder's writability, and another program's lock as a write
// lock this check cannot take without waiting.

#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Survey.h"

namespace db {

class SqliteFileSurvey : public Survey {
public:
    // file: the Datenpool's full path; reached: the lines about what reaches it (the library,
    // or the ODBC driver).
    SqliteFileSurvey(Connection& connection, std::string file, std::vector<Finding> reached);

    std::vector<Finding> connectionFindings() override;
    std::optional<std::vector<ColumnFacts>> columns(const std::string& table) override;
    std::string typeNote() const override;
    Finding routine(const std::string& name) override;
    std::vector<Finding> rights() override;
    Finding locks() override;

private:
    Connection& connection_;
    std::string file_;
    std::vector<Finding> reached_;
};

// What a declared type holds in SQLite (its affinity), as the check compares it.
ColumnKind sqliteColumnKind(const std::string& declaredType);

// "SQLite 3.45.1", the library built into the program.
std::string sqliteLibraryVersion();

}  // namespace db

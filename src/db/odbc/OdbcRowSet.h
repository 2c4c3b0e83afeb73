#pragma once
// The rows of an ODBC statement, read forward: the first result that has columns (a routine's
// row counts before it are passed), integers, floating-point numbers, dates and texts. Where
// the driver allows, a row's columns are read when asked for, else all of them in turn.

#include <optional>
#include <string>
#include <vector>

#include "db/RowSet.h"
#include "db/odbc/OdbcSession.h"

namespace db {

class OdbcRowSet : public RowSet {
public:
    // Takes an executed statement and stands on its first row.
    OdbcRowSet(const OdbcSession& session, OdbcHandle statement);

    bool atEnd() const override { return atEnd_; }
    void moveNext() override;
    int columnCount() const override { return static_cast<int>(names_.size()); }
    const std::string& columnName(int column) const override { return names_.at(static_cast<std::size_t>(column)); }
    Value value(int column) const override;
    // Passes the statement's further results, each return code checked: what a routine raises
    // after its rows is reported here.
    void passMoreResults();

private:
    enum class Kind { Integer, Double, Date, Text };

    Kind kindOf(SQLSMALLINT type, SQLULEN size, SQLSMALLINT digits) const;
    void fetch();
    Value read(SQLUSMALLINT column, Kind kind) const;
    Value readText(SQLUSMALLINT column) const;

    const OdbcSession& session_;
    OdbcHandle statement_;
    std::vector<std::string> names_;
    std::vector<Kind> kinds_;
    mutable std::vector<std::optional<Value>> row_;  // the current row's columns read so far
    bool atEnd_ = false;
    bool resultsPassed_ = false;  // SQLMoreResults has answered SQL_NO_DATA
};

}  // namespace db

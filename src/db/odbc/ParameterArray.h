#pragma once
// Values bound as ODBC parameters column-wise: one buffer per parameter holds that parameter's
// value for every row. A parameter whose values are all whole numbers is bound as a 64-bit
// integer, all numbers as a double, all dates as a date; anything else as UTF-16 text, which
// the database converts to the column's type. Nulls go in any of them.

#include <vector>

#include "db/Value.h"
#include "db/odbc/OdbcSession.h"

namespace db {

class ParameterArray {
public:
    // byParameter[parameter][row]; every parameter has the same number of rows.
    explicit ParameterArray(const std::vector<std::vector<Value>>& byParameter);
    ParameterArray(const ParameterArray&) = delete;
    ParameterArray& operator=(const ParameterArray&) = delete;

    // Binds the buffers to the statement's parameters 1, 2, ...; they must outlive its execution.
    void bind(const OdbcSession& session, const OdbcHandle& statement);

private:
    struct Parameter {
        SQLSMALLINT cType = SQL_C_WCHAR;
        SQLSMALLINT sqlType = SQL_WVARCHAR;
        SQLULEN size = 1;
        SQLLEN width = 0;  // bytes per row of a text buffer
        std::vector<SQLBIGINT> integers;
        std::vector<double> doubles;
        std::vector<SQL_DATE_STRUCT> dates;
        std::vector<SQLWCHAR> texts;
        std::vector<SQLLEN> indicators;
    };
    static Parameter fill(const std::vector<Value>& values);

    std::vector<Parameter> parameters_;
};

}  // namespace db

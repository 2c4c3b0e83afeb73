#pragma once
// Values bound as ODBC parameters column-wise: one buffer per parameter holds that parameter's
// value for every row. A parameter whose values are all whole numbers is bound from a 64-bit
// integer, all numbers from a double, all dates from a date; anything else from UTF-16 text.
// Nulls go in any of them. Where the column's type is known from the catalog the parameter is
// declared with it (a text column's values all go as text), so that every batch of a run has
// the same statement signature on the server; else its type follows the values.

#include <vector>

#include "db/Value.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcSession.h"

namespace db {

class ParameterArray {
public:
    // byParameter[parameter][row]; every parameter has the same number of rows. declared: the
    // columns' types by parameter, or none.
    explicit ParameterArray(const std::vector<std::vector<Value>>& byParameter,
                            const std::vector<ColumnType>& declared = {});
    ParameterArray(const ParameterArray&) = delete;
    ParameterArray& operator=(const ParameterArray&) = delete;

    // Binds the buffers to the statement's parameters 1, 2, ...; they must outlive its execution.
    void bind(const OdbcSession& session, const OdbcHandle& statement);
    // What a parameter is declared as: with the statement's text, the server's signature of it.
    ColumnType declaration(std::size_t parameter) const;

private:
    struct Parameter {
        SQLSMALLINT cType = SQL_C_WCHAR;
        SQLSMALLINT sqlType = SQL_WVARCHAR;
        SQLULEN size = 1;
        SQLSMALLINT digits = 0;
        SQLLEN width = 0;  // bytes per row of a text buffer
        std::vector<SQLBIGINT> integers;
        std::vector<double> doubles;
        std::vector<SQL_DATE_STRUCT> dates;
        std::vector<SQLWCHAR> texts;
        std::vector<SQLLEN> indicators;
    };
    static Parameter fill(const std::vector<Value>& values, const ColumnType& declared);
    static void fillTexts(Parameter& parameter, const std::vector<Value>& values);

    std::vector<Parameter> parameters_;
};

}  // namespace db

#pragma once
// The results a statement has after the current one (SQLMoreResults until SQL_NO_DATA): every
// return code goes to `check`, which throws for a failure. An error that a routine raises after
// a result set is delivered only this way, and a connection without MARS is busy until the
// statement has passed them all.

#include "db/odbc/Odbc.h"

namespace db {

// next: the next SQLMoreResults call's return code. Stops at the first failure check throws for.
template <class Next, class Check>
void passMoreResults(Next&& next, Check&& check) {
    for (SQLRETURN rc = next(); rc != SQL_NO_DATA; rc = next()) check(rc);
}

}  // namespace db

namespace db {

// As passMoreResults, for an execution whose results may carry errors of single parameter
// sets: a failing result does not end the passing, the sets after it still report. take gets
// every return code and answers whether the result told anything; a failure that tells nothing
// ends the passing (a driver may answer so forever), as does any code that is no result.
template <class Next, class Take>
void passEveryResult(Next&& next, Take&& take) {
    for (SQLRETURN rc = next(); rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_ERROR; rc = next()) {
        if (!take(rc) && rc == SQL_ERROR) return;
    }
}

}  // namespace db

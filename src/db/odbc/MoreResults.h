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

#pragma once
// ODBC diagnostics as db::Error: SQLSTATE class 42 (syntax, unknown object) is
// kErrorsInCommand, class 23 (constraint) kIntegrityViolation. The SQLite ODBC driver says
// HY000 for everything; its native code tells them apart (SQLite's 1 and 19). Any other
// failure keeps the driver's native code and text.

#include <cstdint>
#include <string>
#include <vector>

#include "db/Error.h"
#include "db/odbc/Odbc.h"

namespace db {

struct Diagnostic {
    std::string state;
    std::int32_t native = 0;
    std::string text;
    SQLLEN row = 0;  // the parameter set it belongs to (1-based); 0 or less: none named
};

std::vector<Diagnostic> diagnostics(SQLSMALLINT type, SQLHANDLE handle);

// sqliteCodes: the driver speaks for SQLite and reports HY000 with SQLite's result codes.
Error errorFor(const Diagnostic& diagnostic, bool sqliteCodes);

// Whether the failure ended the running transaction on the database's side: a lost
// connection (SQLSTATE 08...), a transaction rolled back (40...: deadlock), or SQLite's
// busy, out of memory, read-only, interrupted, I/O, corrupt, full and not-a-database.
bool endsTransaction(const Diagnostic& diagnostic, bool sqliteCodes);

// The first diagnostic that is no warning (SQLSTATE 01...), else the first one.
const Diagnostic* firstFailure(const std::vector<Diagnostic>& found);

// The error of the last call on handle.
Error lastError(SQLSMALLINT type, SQLHANDLE handle, bool sqliteCodes);

}  // namespace db

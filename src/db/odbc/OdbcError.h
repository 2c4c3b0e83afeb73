#pragma once
// ODBC diagnostics as db::Error. Where the database's own error numbers are known they decide:
// SQL Server's unknown-object and syntax numbers are kErrorsInCommand, its constraint numbers
// kIntegrityViolation; the SQLite ODBC driver says HY000 for everything and SQLite's result
// codes tell them apart (1 and 19). Any other driver is read by SQLSTATE: class 42 (syntax,
// unknown object) and class 23 (constraint). Every other failure keeps the driver's native
// code and text, so that it is reported.

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

// Whose numbers a diagnostic's native code is.
enum class ErrorNumbers { Unknown, Sqlite, SqlServer };

std::vector<Diagnostic> diagnostics(SQLSMALLINT type, SQLHANDLE handle);

Error errorFor(const Diagnostic& diagnostic, ErrorNumbers numbers);

// Whether the failure ended the running transaction on the database's side, or leaves it
// waiting at every further statement: a lost connection (SQLSTATE 08...), a transaction rolled
// back (40...: deadlock), a wait for a lock that ran out (HYT00), or SQLite's busy, out of
// memory, read-only, interrupted, I/O, corrupt, full and not-a-database.
bool endsTransaction(const Diagnostic& diagnostic, ErrorNumbers numbers);

// The first diagnostic that is no warning (SQLSTATE 01...), else the first one.
const Diagnostic* firstFailure(const std::vector<Diagnostic>& found);

// The error of the last call on handle.
Error lastError(SQLSMALLINT type, SQLHANDLE handle, ErrorNumbers numbers);

// The error of a failed SQLDriverConnect: the first failure's code and kind, with the text of
// every record, each once and in their order. Microsoft's drivers put "Login timeout expired"
// before the record that says why (server not found, login refused, certificate).
Error connectionError(const std::vector<Diagnostic>& found, ErrorNumbers numbers);

// What a failure without any diagnostic record is reported as.
Error failureWithoutDescription();

}  // namespace db

#include "db/odbc/OdbcError.h"

#include "db/odbc/OdbcText.h"

namespace db {

namespace {

constexpr std::int32_t kUnspecifiedFailure = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t kSqliteError = 1;
constexpr std::int32_t kSqliteConstraint = 19;

// SQLite's result code without the detail an extended code adds (SQLITE_READONLY_DBMOVED is 1032).
std::int32_t primaryCode(const Diagnostic& diagnostic) { return diagnostic.native & 0xFF; }

}  // namespace

std::vector<Diagnostic> diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<Diagnostic> found;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR text[2048];
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, text, 2048, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        Diagnostic diagnostic;
        diagnostic.state = fromWide(state, 5);
        diagnostic.native = static_cast<std::int32_t>(native);
        diagnostic.text = fromWide(text, static_cast<std::size_t>(length < 2047 ? length : 2047));
        if (type == SQL_HANDLE_STMT) {
            SQLLEN row = 0;
            if (SQL_SUCCEEDED(SQLGetDiagFieldW(type, handle, record, SQL_DIAG_ROW_NUMBER, &row, SQL_IS_INTEGER, nullptr))) {
                diagnostic.row = row;
            }
        }
        found.push_back(std::move(diagnostic));
    }
    return found;
}

Error errorFor(const Diagnostic& diagnostic, bool sqliteCodes) {
    const std::string& state = diagnostic.state;
    if (state.rfind("42", 0) == 0) return Error(kErrorsInCommand, diagnostic.text);
    if (state.rfind("23", 0) == 0) return Error(kIntegrityViolation, diagnostic.text);
    if (sqliteCodes && state == "HY000") {
        if (primaryCode(diagnostic) == kSqliteError) return Error(kErrorsInCommand, diagnostic.text);
        if (primaryCode(diagnostic) == kSqliteConstraint) return Error(kIntegrityViolation, diagnostic.text);
    }
    return Error(diagnostic.native != 0 ? diagnostic.native : kUnspecifiedFailure, diagnostic.text);
}

bool endsTransaction(const Diagnostic& diagnostic, bool sqliteCodes) {
    if (diagnostic.state.rfind("08", 0) == 0 || diagnostic.state.rfind("40", 0) == 0) return true;
    if (!sqliteCodes || diagnostic.state != "HY000") return false;
    switch (primaryCode(diagnostic)) {
        case 5:   // SQLITE_BUSY
        case 7:   // SQLITE_NOMEM
        case 8:   // SQLITE_READONLY: also the file deleted or replaced while open
        case 9:   // SQLITE_INTERRUPT
        case 10:  // SQLITE_IOERR
        case 11:  // SQLITE_CORRUPT
        case 13:  // SQLITE_FULL
        case 26:  // SQLITE_NOTADB
            return true;
        default: return false;
    }
}

const Diagnostic* firstFailure(const std::vector<Diagnostic>& found) {
    for (const auto& diagnostic : found) {
        if (diagnostic.state.rfind("01", 0) != 0) return &diagnostic;
    }
    return found.empty() ? nullptr : &found.front();
}

Error lastError(SQLSMALLINT type, SQLHANDLE handle, bool sqliteCodes) {
    const auto found = diagnostics(type, handle);
    if (const Diagnostic* failure = firstFailure(found)) return errorFor(*failure, sqliteCodes);
    return Error(kUnspecifiedFailure, "Der ODBC-Treiber meldet einen Fehler ohne Beschreibung.");
}

}  // namespace db

#include "db/odbc/OdbcError.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "db/MissingTable.h"
#include "db/SqliteResultCodes.h"
#include "db/Texts.h"
#include "db/odbc/OdbcText.h"

namespace db {

namespace {

// SQL Server's errors that mean the statement names something that is not there or is not
// written right: the only ones an ADO provider's "errors in command" stands for here. Its
// SQLSTATE 42000 covers far more (refused permissions, errors raised by procedures, a database
// that cannot be opened), and those are reported.
constexpr std::int32_t kInvalidObjectName = 208;

bool isCommandError(std::int32_t number) {
    switch (number) {
        case 102:  // incorrect syntax near …
        case 156:  // incorrect syntax near the keyword …
        case 170:  // incorrect syntax (older servers)
        case 207:  // invalid column name
        case kInvalidObjectName: return true;
        default: return false;
    }
}

bool isIntegrityError(std::int32_t number) {
    switch (number) {
        case 515:   // NULL into a NOT NULL column
        case 547:   // FOREIGN KEY or CHECK constraint
        case 2601:  // duplicate key in a unique index
        case 2627:  // PRIMARY KEY or UNIQUE constraint
            return true;
        default: return false;
    }
}

std::int32_t primaryCode(const Diagnostic& diagnostic) { return sqlite_result::primary(diagnostic.native); }

// The kind of failure, where the database's numbers tell it.
Error::Kind kindOf(const Diagnostic& diagnostic, ErrorNumbers numbers) {
    if (numbers == ErrorNumbers::Sqlite && diagnostic.state == "HY000") return sqlite_result::kindOf(diagnostic.native);
    if (numbers == ErrorNumbers::SqlServer) {
        if (diagnostic.native == 1222) return Error::Kind::locked;    // the wait for a lock ran out
        if (diagnostic.native == 3906) return Error::Kind::readOnly;  // the database is read-only
    }
    if (diagnostic.state == "25006") return Error::Kind::readOnly;  // a read-only transaction
    // IM003; unixODBC says it with a warning of its own ("Can't open lib").
    if (diagnostic.state == "IM003" || diagnostic.text.find("Can't open lib") != std::string::npos)
        return Error::Kind::driverNotLoaded;
    return Error::Kind::other;
}

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
            if (SQL_SUCCEEDED(
                    SQLGetDiagFieldW(type, handle, record, SQL_DIAG_ROW_NUMBER, &row, SQL_IS_INTEGER, nullptr))) {
                diagnostic.row = row;
            }
        }
        found.push_back(std::move(diagnostic));
    }
    return found;
}

namespace {

// The driver's text, after the sentence on a missing table where the text tells of one.
std::string describedText(const Diagnostic& diagnostic, ErrorNumbers numbers) {
    const std::optional<std::string> table =
        numbers == ErrorNumbers::SqlServer
            ? (diagnostic.native == kInvalidObjectName ? sqlServerMissingTable(diagnostic.text) : std::nullopt)
            : sqliteMissingTable(diagnostic.text);
    return table ? texts::tableMissing(*table, diagnostic.text) : diagnostic.text;
}

}  // namespace

Error errorFor(const Diagnostic& given, ErrorNumbers numbers) {
    Diagnostic diagnostic = given;
    diagnostic.text = describedText(given, numbers);
    const std::string& state = diagnostic.state;
    if (numbers == ErrorNumbers::SqlServer) {
        if (isCommandError(diagnostic.native)) return Error(kErrorsInCommand, diagnostic.text);
        if (isIntegrityError(diagnostic.native)) return Error(kIntegrityViolation, diagnostic.text);
    } else {
        if (state.rfind("42", 0) == 0) return Error(kErrorsInCommand, diagnostic.text);
        if (state.rfind("23", 0) == 0) return Error(kIntegrityViolation, diagnostic.text);
    }
    if (numbers == ErrorNumbers::Sqlite && state == "HY000") {
        if (primaryCode(diagnostic) == sqlite_result::kError) return Error(kErrorsInCommand, diagnostic.text);
        if (primaryCode(diagnostic) == sqlite_result::kConstraint) return Error(kIntegrityViolation, diagnostic.text);
    }
    // A code of its own (SQL Server's 229 of a refused permission, 50000 of RAISERROR); a
    // driver's own failure has no native number.
    return Error(diagnostic.native != 0 ? diagnostic.native : kUnspecifiedFailure, diagnostic.text,
                 kindOf(diagnostic, numbers));
}

bool endsTransaction(const Diagnostic& diagnostic, ErrorNumbers numbers) {
    const std::string& state = diagnostic.state;
    if (state.rfind("08", 0) == 0 || state.rfind("40", 0) == 0 || state == "HYT00") return true;
    if (numbers != ErrorNumbers::Sqlite || state != "HY000") return false;
    switch (primaryCode(diagnostic)) {
        case sqlite_result::kBusy:
        case sqlite_result::kNoMemory:
        case sqlite_result::kReadOnly:  // also the file deleted or replaced while open
        case sqlite_result::kInterrupt:
        case sqlite_result::kIoError:
        case sqlite_result::kCorrupt:
        case sqlite_result::kFull:
        case sqlite_result::kNotADatabase: return true;
        default: return false;
    }
}

const Diagnostic* firstFailure(const std::vector<Diagnostic>& found) {
    for (const auto& diagnostic : found) {
        if (diagnostic.state.rfind("01", 0) != 0) return &diagnostic;
    }
    return found.empty() ? nullptr : &found.front();
}

Error lastError(SQLSMALLINT type, SQLHANDLE handle, ErrorNumbers numbers) {
    const auto found = diagnostics(type, handle);
    if (const Diagnostic* failure = firstFailure(found)) return errorFor(*failure, numbers);
    return failureWithoutDescription();
}

Error connectionError(const std::vector<Diagnostic>& found, ErrorNumbers numbers) {
    const Diagnostic* failure = firstFailure(found);
    if (!failure) return failureWithoutDescription();
    std::vector<std::string_view> texts;
    for (const auto& diagnostic : found) {
        if (std::find(texts.begin(), texts.end(), diagnostic.text) == texts.end()) texts.push_back(diagnostic.text);
    }
    std::string description;
    for (const auto text : texts) description += (description.empty() ? "" : "\r\n") + std::string(text);
    const Error error = errorFor(*failure, numbers);
    return Error(error.code(), description, error.kind());
}

Error failureWithoutDescription() { return Error(kUnspecifiedFailure, std::string(texts::kDriverErrorWithoutText)); }

}  // namespace db

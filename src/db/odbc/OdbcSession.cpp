#include "db/odbc/OdbcSession.h"

#include "db/StopWaiting.h"
#include "db/Texts.h"
#include "db/odbc/OdbcText.h"

namespace db {

bool transactionStands(std::int64_t transactionCount, std::int64_t transactionState) {
    return transactionCount > 0 && transactionState == 1;
}

OdbcHandle OdbcSession::statement() const {
    SQLHANDLE handle = nullptr;
    check(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle), SQL_HANDLE_DBC, connection);
    OdbcHandle statement(SQL_HANDLE_STMT, handle);
    if (queryTimeoutSeconds) {
        // A driver that cannot time out statements waits as it always does; nothing to report.
        SQLSetStmtAttrW(handle, SQL_ATTR_QUERY_TIMEOUT, attributeValue(*queryTimeoutSeconds), 0);
    }
    return statement;
}

std::string OdbcSession::quoted(std::string_view name) const {
    const std::string open = dialect.bracketQuotes ? "[" : identifierQuote;
    const std::string close = dialect.bracketQuotes ? "]" : identifierQuote;
    std::string result = open;
    for (char c : name) result += close.size() == 1 && c == close[0] ? close + close : std::string(1, c);
    return result + close;
}

ErrorNumbers OdbcSession::errorNumbers() const { return dialect.errorNumbers; }

void OdbcSession::check(SQLRETURN rc, const OdbcHandle& handle) const { check(rc, handle.type(), handle.get()); }

void OdbcSession::check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) const {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    const auto found = diagnostics(type, handle);
    if (const Diagnostic* first = firstFailure(found)) throw failure(*first);
    throw lastError(type, handle, errorNumbers());
}

Error OdbcSession::failure(const Diagnostic& diagnostic) const {
    Error error = errorFor(diagnostic, errorNumbers());
    if (!inTransaction || transactionLost) return error;
    if (endsTransaction(diagnostic, errorNumbers()) ||
        (dialect.asksWhetherTransactionStands && !serverHoldsTransaction()))
        transactionLost = error;
    return error;
}

bool OdbcSession::serverHoldsTransaction() const {
    // Asked without check(): a failure of the question itself must not lead to asking again.
    SQLHANDLE handle = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle))) return false;
    const OdbcHandle asked(SQL_HANDLE_STMT, handle);
    std::u16string sql = toWide("SELECT @@TRANCOUNT, XACT_STATE()");
    if (!SQL_SUCCEEDED(SQLExecDirectW(handle, sqlText(sql), static_cast<SQLINTEGER>(sql.size()))) ||
        !SQL_SUCCEEDED(SQLFetch(handle))) {
        return false;
    }
    SQLBIGINT answer[2] = {0, 0};
    for (SQLUSMALLINT column = 1; column <= 2; ++column) {
        SQLLEN length = 0;
        if (!SQL_SUCCEEDED(SQLGetData(handle, column, SQL_C_SBIGINT, &answer[column - 1], 0, &length)) ||
            length == SQL_NULL_DATA) {
            return false;
        }
    }
    return transactionStands(answer[0], answer[1]);
}

std::optional<Error> OdbcSession::writeRefusal() const {
    if (!transactionLost) return std::nullopt;
    return Error(transactionLost->code(), texts::transactionEnded(transactionLost->description()));
}

void OdbcSession::ensureTransaction() const {
    if (const auto refusal = writeRefusal()) throw *refusal;
}

Error OdbcSession::cancelled(const OdbcHandle& statement) const {
    std::string text(texts::kStatementStopped);
    const auto found = diagnostics(statement.type(), statement.get());
    if (const Diagnostic* driverSays = firstFailure(found)) text += " (" + driverSays->text + ")";
    Error error(kOperationAborted, text);
    // Whatever the statement did before it ended belongs to no transaction that could be kept.
    if (inTransaction && !transactionLost) transactionLost = error;
    return error;
}

}  // namespace db

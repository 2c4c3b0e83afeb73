#include "db/odbc/OdbcSession.h"

#include "db/StopWaiting.h"

namespace db {

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
    const std::string open = sqlServer ? "[" : identifierQuote;
    const std::string close = sqlServer ? "]" : identifierQuote;
    std::string result = open;
    for (char c : name) result += close.size() == 1 && c == close[0] ? close + close : std::string(1, c);
    return result + close;
}

ErrorNumbers OdbcSession::errorNumbers() const {
    return sqlite ? ErrorNumbers::Sqlite : sqlServer ? ErrorNumbers::SqlServer : ErrorNumbers::Unknown;
}

void OdbcSession::check(SQLRETURN rc, const OdbcHandle& handle) const { check(rc, handle.type(), handle.get()); }

void OdbcSession::check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) const {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    const auto found = diagnostics(type, handle);
    if (const Diagnostic* first = firstFailure(found)) throw failure(*first);
    throw lastError(type, handle, errorNumbers());
}

Error OdbcSession::failure(const Diagnostic& diagnostic) const {
    Error error = errorFor(diagnostic, errorNumbers());
    if (inTransaction && !transactionLost && endsTransaction(diagnostic, errorNumbers())) transactionLost = error;
    return error;
}

std::optional<Error> OdbcSession::writeRefusal() const {
    if (!transactionLost) return std::nullopt;
    return Error(transactionLost->code(),
                 "Die Transaktion ist abgebrochen; bis zu ihrem Ende wird nichts mehr "
                 "geschrieben. (" +
                     std::string(transactionLost->description()) + ")");
}

void OdbcSession::ensureTransaction() const {
    if (const auto refusal = writeRefusal()) throw *refusal;
}

Error OdbcSession::cancelled(const OdbcHandle& statement) const {
    std::string text = kStatementStopped;
    const auto found = diagnostics(statement.type(), statement.get());
    if (const Diagnostic* driverSays = firstFailure(found)) text += " (" + driverSays->text + ")";
    Error error(kOperationAborted, text);
    // Whatever the statement did before it ended belongs to no transaction that could be kept.
    if (inTransaction && !transactionLost) transactionLost = error;
    return error;
}

}  // namespace db

#include "db/odbc/OdbcSession.h"

namespace db {

OdbcHandle OdbcSession::statement() const {
    SQLHANDLE handle = nullptr;
    check(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle), SQL_HANDLE_DBC, connection);
    return OdbcHandle(SQL_HANDLE_STMT, handle);
}

void OdbcSession::check(SQLRETURN rc, const OdbcHandle& handle) const { check(rc, handle.type(), handle.get()); }

void OdbcSession::check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) const {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    const auto found = diagnostics(type, handle);
    if (const Diagnostic* first = firstFailure(found)) throw failure(*first);
    throw lastError(type, handle, sqlite);
}

Error OdbcSession::failure(const Diagnostic& diagnostic) const {
    Error error = errorFor(diagnostic, sqlite);
    if (inTransaction && !transactionLost && endsTransaction(diagnostic, sqlite)) transactionLost = error;
    return error;
}

std::optional<Error> OdbcSession::writeRefusal() const {
    if (!transactionLost) return std::nullopt;
    return Error(transactionLost->code(), "Die Datenbank hat die Transaktion abgebrochen; bis zu ihrem Ende wird nichts mehr "
                                          "geschrieben. (" + std::string(transactionLost->description()) + ")");
}

void OdbcSession::ensureTransaction() const {
    if (const auto refusal = writeRefusal()) throw *refusal;
}

}  // namespace db

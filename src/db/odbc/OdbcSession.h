#pragma once
// What the row sets and tables of one ODBC connection share: the connection handle, what the
// database it reaches is like, and whether its transaction still stands.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/Error.h"
#include "db/odbc/Dialect.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcHandles.h"
#include "db/odbc/StatementCanceller.h"

namespace db {

class OdbcTable;

// SQL Server's answer to "SELECT @@TRANCOUNT, XACT_STATE()": whether the transaction stands and
// may still be committed (a doomed one, XACT_STATE() -1, can only be rolled back).
bool transactionStands(std::int64_t transactionCount, std::int64_t transactionState);

struct OdbcSession {
    SQLHDBC connection = nullptr;
    // What the DBMS does its own way.
    Dialect dialect;
    std::string identifierQuote = "\"";
    // How long a statement may wait (for a lock held by another session) before it fails;
    // none: as long as it takes.
    std::optional<std::uint32_t> queryTimeoutSeconds;
    // SQLGetData may read a row's columns in any order (SQL_GD_ANY_ORDER): a row set then
    // reads only the columns asked for.
    bool anyColumnOrder = false;
    bool inTransaction = false;
    // The failure with which the database ended the running transaction on its side (a lost
    // connection, a deadlock, a full disk). Until the transaction ends here too nothing more
    // is written: it would no longer belong to the transaction.
    mutable std::optional<Error> transactionLost;
    // The tables open for writing: the rows they hold back belong to the running transaction.
    std::vector<OdbcTable*> openTables;
    // Ends a running statement when the user asks to stop.
    mutable StatementCanceller canceller;

    // A new statement with the query timeout set.
    OdbcHandle statement() const;
    std::string quoted(std::string_view name) const;
    ErrorNumbers errorNumbers() const;
    // Throws the error of a failed call on handle; SQL_NO_DATA counts as done.
    void check(SQLRETURN rc, const OdbcHandle& handle) const;
    void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) const;
    // The error a diagnostic stands for, noting whether it ended the transaction; where the
    // dialect says so, the server is asked after any failure in one whether it still stands.
    Error failure(const Diagnostic& diagnostic) const;
    // The error of anything that would write while the transaction is lost; none while it stands.
    std::optional<Error> writeRefusal() const;
    // Throws the refusal, if any.
    void ensureTransaction() const;

    // Runs call, one ODBC function on statement that may wait for the database (an execution, a
    // fetch, the next result), and answers what it returned. When a request to stop cancelled
    // it, that throws instead, and a running transaction counts as lost.
    template <typename Call>
    SQLRETURN watched(const OdbcHandle& statement, Call&& call) const {
        canceller.started(statement.get());
        const SQLRETURN rc = call();
        if (canceller.finished()) throw cancelled(statement);
        return rc;
    }
    // Runs call as watched() does, and throws its failure as check() does.
    template <typename Call>
    void run(const OdbcHandle& statement, Call&& call) const {
        check(watched(statement, std::forward<Call>(call)), statement);
    }

private:
    Error cancelled(const OdbcHandle& statement) const;
    // Whether SQL Server still holds the transaction; a question it does not answer says no.
    bool serverHoldsTransaction() const;
};

}  // namespace db

#pragma once
// A database reached through ODBC: SQL Server with its driver, or any other driver (the SQLite
// ODBC driver for an embedded Datenpool file); what the DBMS does its own way is its Dialect. A
// bare name is a table (SQLTablesW) or a stored procedure (SQLProceduresW), or where the dialect
// keeps routines in the table "Routinen", one of its rows.

#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/OdbcTarget.h"

namespace db {

class OdbcConnection : public Connection {
public:
    // Throws db::Error with the driver manager's or the driver's text when it cannot connect.
    static std::unique_ptr<OdbcConnection> open(const OdbcTarget& target);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    std::unique_ptr<RowSet> execute(std::string_view commandText) override;
    void callRoutine(std::string_view name) override;
    std::unique_ptr<EditableRowSet> openForWriting(std::string_view source) override;
    // SQL Server is asked through its metadata functions, any other database through the catalog
    // functions of ODBC.
    bool hasTable(std::string_view name) override;
    std::optional<std::string> whyReadOnly() override;
    std::string property(std::string_view name) const override;
    void beginTransaction(Isolation isolation = Isolation::committed) override;
    void commit() override;
    void rollback() override;
    void lockImports() override;
    std::string identity() const override;
    SqlFlavour sqlFlavour() const override;

    // What the driver tells of itself and of the database (SQLGetInfo); empty when it does not.
    std::string info(SQLUSMALLINT what) const;
    const OdbcSession& session() const { return session_; }
    // The keywords the driver was given. They hold the password: never to be shown.
    const std::string& driverKeywords() const { return driverKeywords_; }

private:
    OdbcConnection(OdbcHandle environment, OdbcHandle connection);
    // The body of the routine in the table "Routinen"; none where the dialect has no such table.
    std::optional<std::string> tableRoutine(const std::string& name);
    // Runs SQL text; where the dialect cuts it, one statement after the other, the last one's
    // rows the result.
    std::unique_ptr<RowSet> run(const std::string& sql);
    std::unique_ptr<RowSet> runOne(const std::string& sql);
    // Calls a stored procedure; answers its first rows, held, once every result is passed.
    std::unique_ptr<RowSet> runProcedure(const std::string& name);
    // A one-value probe that answers 1 or 0.
    bool answersYes(const std::string& sql);
    void setAutocommit(bool on);
    void setIsolation(SQLUINTEGER level);
    // Back to the isolation the connection had before a serializable transaction.
    void restoreIsolation();
    // Back to autocommit and to that isolation, the one tried whatever the other does, so that
    // a failed switch does not leave the connection serializable; the first failure is thrown.
    void leaveTransactionMode();
    // Commits or rolls back; answers the failure, if any.
    std::optional<Error> endTransaction(SQLSMALLINT completion);

    OdbcHandle environment_;
    OdbcHandle connection_;
    OdbcSession session_;
    std::string dataSource_;
    std::string catalog_;
    std::string driverKeywords_;
    std::optional<SQLUINTEGER> isolationToRestore_;
};

}  // namespace db

#pragma once
// The embedded Datenpool: a SQLite file. Besides the three readings of command texts it
// translates the two T-SQL statements the tool sends ("truncate table", "DBCC CHECKIDENT")
// and runs the routines that the database keeps in its table "Routinen".

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "db/Error.h"

struct sqlite3;

namespace db {

class SqliteConnection : public Connection {
public:
    // Opens an existing Datenpool file; fails when there is none, and names a file that is no
    // SQLite database, or one without any table, as no Datenpool.
    static std::unique_ptr<SqliteConnection> open(const std::string& path);
    // Creates a new Datenpool file from the database script; fails when the file exists.
    static std::unique_ptr<SqliteConnection> create(const std::string& path);
    ~SqliteConnection() override;

    std::unique_ptr<RowSet> execute(std::string_view commandText) override;
    void callRoutine(std::string_view name) override;
    std::unique_ptr<EditableRowSet> openForWriting(std::string_view source) override;
    bool hasTable(std::string_view name) override;
    std::optional<std::string> whyReadOnly() override;
    std::string property(std::string_view name) const override;
    void beginTransaction(Isolation isolation = Isolation::committed) override;
    void commit() override;
    void rollback() override;
    void lockImports() override;
    std::string identity() const override;
    SqlFlavour sqlFlavour() const override { return SqlFlavour::sqlite; }

    // Runs SQL text that may hold several statements; used for scripts and routines.
    void runScript(const std::string& sql);

private:
    SqliteConnection(sqlite3* handle, std::string path);
    // The first column of the first row of sql, with name bound to its one parameter.
    std::optional<std::string> lookUp(const char* sql, std::string_view name);
    // Throws when the file is no database or holds no table at all.
    void ensureDatenpool();
    // Throws when the file was deleted or replaced since it was opened.
    void ensureFileInPlace() const;
    std::optional<std::string> routineBody(std::string_view name);

    // While a transaction runs, a commit other than commit()'s is refused: after SQLite rolled
    // the transaction back by itself (a full disk, an I/O error) every later statement would
    // otherwise be committed on its own, and the run kept in part.
    static int refuseStrayCommit(void* connection);
    // Ends a statement that still runs a while after a stop was asked for (Ctrl+C); SQLite
    // then rolls its transaction back. A commit is never cut short.
    static int endWhenStopped(void* connection);
    // Throws once a stop ended a statement of the running transaction, until it is rolled back.
    void ensureNotStopped() const;
    static Error transactionStopped();

    sqlite3* handle_;
    std::string path_;
    bool inTransaction_ = false;
    bool committing_ = false;
    std::optional<std::chrono::steady_clock::time_point> stopSeen_;
    bool stopEndedTransaction_ = false;
};

// Throws the db::Error for SQLite's last failure on handle (or for result code rc).
[[noreturn]] void throwSqliteError(sqlite3* handle, int rc);

}  // namespace db

#pragma once
// The one connection to the Datenpool. Command texts are read three ways: a table name
// (optionally with a WHERE condition) selects that table's rows, a routine name runs the
// routine, anything else runs as an SQL statement.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/EditableRowSet.h"
#include "db/RowSet.h"

namespace db {

// committed: each statement sees what others committed before it. serializable: what the
// transaction read stays as it was until it ends (others' changes to it wait).
enum class Isolation { committed, serializable };

// Whose SQL the database speaks where the words differ (temporary tables, writing an identity
// column): SQL Server's, or SQLite's, which other databases largely share.
enum class SqlFlavour { sqlite, transactSql };

class Connection {
public:
    virtual ~Connection() = default;
    virtual std::unique_ptr<RowSet> execute(std::string_view commandText) = 0;
    // Opens a table ("AdressenImport") or a selection of it ("AdressenImport WHERE id=7") for writing.
    virtual std::unique_ptr<EditableRowSet> openForWriting(std::string_view source) = 0;
    // Runs the stored routine `name` (AdressImport, Datenpflege) without asking the catalog
    // first: inside a serializable transaction a catalog query would hold locks on the
    // catalog, and a routine that is missing fails all the same.
    virtual void callRoutine(std::string_view name) = 0;
    // Whether the database has a table or view of that name, asked of its catalog: no row of it
    // is read, and no lock that another connection holds on it is waited for.
    virtual bool hasTable(std::string_view name) = 0;
    // Why the database takes no writes, in German for the user; none when it takes them, as far as
    // can be told without writing.
    virtual std::optional<std::string> whyReadOnly() = 0;
    // "Data Source" (the server or file) and "Initial Catalog" (the database).
    virtual std::string property(std::string_view name) const = 0;
    virtual void beginTransaction(Isolation isolation = Isolation::committed) = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Inside a transaction: takes the Datenpool's import lock, which the transaction holds until
    // it ends, so that one import or undo runs at a time, on every workstation. Waits while
    // another one holds it, up to the statement timeout or a request to stop.
    virtual void lockImports() = 0;
    // Which Datenpool this is, as a recorded import names it: the full path of a file, or the
    // server and its database. Never holds a password.
    virtual std::string identity() const = 0;
    virtual SqlFlavour sqlFlavour() const = 0;
};

}  // namespace db

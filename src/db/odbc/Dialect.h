#pragma once
// What differs between the databases an ODBC connection reaches, chosen once when it connects
// by the name the driver gives its DBMS: SQL Server, SQLite (whose ODBC driver reaches a
// Datenpool file, which then behaves as the embedded Datenpool does) or any other, which gets
// what ODBC itself offers.

#include <string>
#include <string_view>
#include <vector>

#include "db/Connection.h"
#include "db/odbc/OdbcError.h"

namespace db {

// The statements of the savepoint that guards an insert of several rows.
struct Savepoints {
    const char* set;
    const char* rollBack;
    const char* release;      // none: the savepoint ends with the transaction
    bool outsideTransaction;  // false: outside one each statement is undone whole by itself
};

// What names the Datenpool for the user and tells two connections to it apart.
enum class Identity {
    DataSourceAndCatalog,  // as the connection string or else the driver names them
    ServerAndDatabase,     // the server's own name: reached as "." or by its address it is one Datenpool
    DatabaseFile,          // the file's full path; a file that takes no writes makes it read-only
};

// How one import or undo at a time is ensured, beyond the serializable transaction.
enum class ImportLocking {
    None,             // the serializable transaction is all there is
    ApplicationLock,  // SQL Server's sp_getapplock, held by the transaction (ImportLock.h)
    FileWriteLock,    // a write that changes nothing takes the file's write lock
};

struct Dialect {
    // Whose numbers a diagnostic's native code is.
    ErrorNumbers errorNumbers = ErrorNumbers::Unknown;
    // Names are quoted in brackets, which need no QUOTED_IDENTIFIER (old TDS versions leave it
    // off); otherwise in the driver's identifier quote.
    bool bracketQuotes = false;
    // The database also rolls a transaction back without saying so by SQLSTATE (an error in a
    // trigger, with XACT_ABORT on, a full log): after any failure in one it is asked whether
    // the transaction still stands.
    bool asksWhetherTransactionStands = false;
    // SQL Server's metadata functions answer whether a table is there and whether the database
    // is READ_ONLY (SqlServerProbes.h), and the Datenpool's check asks the server itself.
    bool sqlServerMetadata = false;
    Savepoints savepoints = {"SAVEPOINT mehrzeilig", "ROLLBACK TO SAVEPOINT mehrzeilig", "RELEASE SAVEPOINT mehrzeilig",
                             true};
    ImportLocking importLocking = ImportLocking::None;
    Identity identity = Identity::DataSourceAndCatalog;
    // The catalog where the connection string names none; empty: the driver's database name.
    std::string catalog;
    // Date columns are read as text: the database keeps a date as the text it was given, and
    // the embedded Datenpool reads it so.
    bool datesAsText = false;
    // Cuts a script into the statements a call takes one at a time; none: one call takes it whole.
    std::vector<std::string> (*splitScript)(std::string_view sql) = nullptr;
    // Routines are the rows of the table "Routinen", and the two T-SQL statements the tool sends
    // are translated, as in the embedded Datenpool; otherwise routines are stored procedures.
    bool routinesInTable = false;
    // The driver still counts a transaction that the database rolled back by itself (a full
    // disk) and refuses to end it, for good; a fresh one lets it end both.
    bool rollbackNeedsFreshTransaction = false;
    SqlFlavour sqlFlavour = SqlFlavour::sqlite;
};

// The dialect of the DBMS the driver names (SQL_DBMS_NAME).
Dialect dialectOf(std::string_view dbmsName);

}  // namespace db

#include "db/odbc/Dialect.h"

#include "db/Names.h"
#include "db/odbc/SqliteStatements.h"

namespace db {

namespace {

Dialect sqlServer() {
    Dialect dialect;
    dialect.errorNumbers = ErrorNumbers::SqlServer;
    dialect.bracketQuotes = true;
    dialect.asksWhetherTransactionStands = true;
    dialect.sqlServerMetadata = true;
    dialect.savepoints = {"SAVE TRANSACTION mehrzeilig", "ROLLBACK TRANSACTION mehrzeilig", nullptr, false};
    dialect.importLocking = ImportLocking::ApplicationLock;
    dialect.identity = Identity::ServerAndDatabase;
    dialect.sqlFlavour = SqlFlavour::transactSql;
    return dialect;
}

Dialect sqlite() {
    Dialect dialect;
    dialect.errorNumbers = ErrorNumbers::Sqlite;
    dialect.importLocking = ImportLocking::FileWriteLock;
    dialect.identity = Identity::DatabaseFile;
    dialect.catalog = "main";  // a SQLite file's one catalog, as the embedded Datenpool names it
    dialect.datesAsText = true;
    dialect.splitScript = splitSqliteStatements;
    dialect.routinesInTable = true;
    dialect.rollbackNeedsFreshTransaction = true;
    return dialect;
}

}  // namespace

Dialect dialectOf(std::string_view dbmsName) {
    if (sameName(dbmsName, "SQLite")) return sqlite();
    if (dbmsName.find("SQL Server") != std::string_view::npos) return sqlServer();  // "Microsoft SQL Server"
    return Dialect();
}

}  // namespace db

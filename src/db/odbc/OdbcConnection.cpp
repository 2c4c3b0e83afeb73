#include "db/odbc/OdbcConnection.h"

#include "db/CommandText.h"
#include "db/Error.h"
#include "db/EveryStep.h"
#include "db/FullPath.h"
#include "db/HeldRowSet.h"
#include "db/Names.h"
#include "db/ReadOnlyFile.h"
#include "db/Texts.h"
#include "db/TsqlTranslation.h"
#include "db/odbc/ImportLock.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcRowSet.h"
#include "db/odbc/OdbcTable.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/ParameterArray.h"
#include "db/odbc/SqlServerProbes.h"

namespace db {

OdbcConnection::OdbcConnection(OdbcHandle environment, OdbcHandle connection)
    : environment_(std::move(environment)), connection_(std::move(connection)) {
    session_.connection = connection_.get();
}

OdbcConnection::~OdbcConnection() {
    if (session_.inTransaction) SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK);
    SQLDisconnect(connection_.get());
}

std::unique_ptr<OdbcConnection> OdbcConnection::open(const OdbcTarget& target) {
    OdbcHandle environment = OdbcHandle::environment();
    OdbcHandle connection = environment.allocate(SQL_HANDLE_DBC);
    if (target.loginTimeoutSeconds) {
        SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT, attributeValue(*target.loginTimeoutSeconds), 0);
    }
    std::u16string text = toWide(target.connectionString);
    const SQLRETURN rc =
        SQLDriverConnectW(connection.get(), nullptr, sqlText(text), static_cast<SQLSMALLINT>(text.size()), nullptr, 0,
                          nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) throw connectionError(diagnostics(SQL_HANDLE_DBC, connection.get()), target.errorNumbers);

    std::unique_ptr<OdbcConnection> opened(new OdbcConnection(std::move(environment), std::move(connection)));
    OdbcSession& session = opened->session_;
    opened->driverKeywords_ = target.connectionString;
    session.dialect = dialectOf(opened->info(SQL_DBMS_NAME));
    session.queryTimeoutSeconds = target.queryTimeoutSeconds;
    if (const std::string quote = opened->info(SQL_IDENTIFIER_QUOTE_CHAR); quote != " ")
        session.identifierQuote = quote;
    SQLUINTEGER getData = 0;
    SQLGetInfoW(opened->connection_.get(), SQL_GETDATA_EXTENSIONS, &getData, sizeof getData, nullptr);
    session.anyColumnOrder = (getData & SQL_GD_ANY_ORDER) != 0;
    opened->dataSource_ = target.dataSource.empty() ? opened->info(SQL_SERVER_NAME) : target.dataSource;
    opened->catalog_ = !target.catalog.empty()            ? target.catalog
                       : !session.dialect.catalog.empty() ? session.dialect.catalog
                                                          : opened->info(SQL_DATABASE_NAME);
    return opened;
}

std::string OdbcConnection::info(SQLUSMALLINT what) const {
    SQLWCHAR buffer[512];
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection_.get(), what, buffer, sizeof buffer, &length))) return {};
    const auto characters = static_cast<std::size_t>(length) / sizeof(SQLWCHAR);
    return fromWide(buffer, characters < 511 ? characters : 511);
}

std::optional<std::string> OdbcConnection::tableRoutine(const std::string& name) {
    if (!session_.dialect.routinesInTable || !findTable(session_, "Routinen")) return std::nullopt;
    OdbcHandle statement = session_.statement();
    std::u16string sql = u"SELECT Rumpf FROM Routinen WHERE Name = ? COLLATE NOCASE";
    ParameterArray parameters({{Value(name)}});
    parameters.bind(session_, statement);
    session_.run(statement, [&] { return SQLExecDirectW(statement.get(), sqlText(sql), SQL_NTS); });
    const OdbcRowSet rows(session_, std::move(statement));
    if (rows.atEnd()) return std::nullopt;
    return rows.value(0).toText();
}

std::unique_ptr<RowSet> OdbcConnection::runOne(const std::string& sql) {
    OdbcHandle statement = session_.statement();
    std::u16string text = toWide(sql);
    session_.run(statement,
                 [&] { return SQLExecDirectW(statement.get(), sqlText(text), static_cast<SQLINTEGER>(text.size())); });
    return std::make_unique<OdbcRowSet>(session_, std::move(statement));
}

std::unique_ptr<RowSet> OdbcConnection::runProcedure(const std::string& name) {
    OdbcHandle statement = session_.statement();
    std::u16string text = toWide("{CALL " + name + "}");
    session_.run(statement,
                 [&] { return SQLExecDirectW(statement.get(), sqlText(text), static_cast<SQLINTEGER>(text.size())); });
    OdbcRowSet rows(session_, std::move(statement));
    auto held = std::make_unique<HeldRowSet>(rows);
    rows.passMoreResults();
    return held;
}

std::unique_ptr<RowSet> OdbcConnection::run(const std::string& sql) {
    if (!session_.dialect.splitScript) return runOne(sql);
    const std::vector<std::string> statements = session_.dialect.splitScript(sql);
    std::unique_ptr<RowSet> result;
    for (const auto& statement : statements) result = runOne(statement);
    return result ? std::move(result) : runOne(sql);
}

std::unique_ptr<RowSet> OdbcConnection::execute(std::string_view commandText) {
    session_.ensureTransaction();
    const CommandText reading = readCommandText(commandText);
    if (reading.kind == CommandText::Kind::BareName) {
        if (const auto table = findTable(session_, reading.name))
            return runOne("SELECT * FROM " + session_.quoted(*table));
        if (isProcedure(session_, reading.name)) return runProcedure(reading.name);
        if (const auto body = tableRoutine(reading.name)) return run(*body);
    } else if (reading.kind == CommandText::Kind::NameWithCondition) {
        if (const auto table = findTable(session_, reading.name)) {
            return runOne("SELECT * FROM " + session_.quoted(*table) + " WHERE " + reading.condition);
        }
    }
    if (session_.dialect.routinesInTable) {
        if (const auto translated = translateTsql(commandText)) return run(*translated);
    }
    if (reading.kind == CommandText::Kind::Statement) return run(std::string(commandText));
    // A name that is neither a table nor a routine: the syntax error the database makes of it
    // as a statement says only that it cannot read it.
    try {
        return run(std::string(commandText));
    } catch (const Error& error) {
        if (error.code() != kErrorsInCommand) throw;
        throw Error(error.code(), texts::tableMissing(reading.name, error.description()), error.kind());
    }
}

void OdbcConnection::callRoutine(std::string_view name) {
    session_.ensureTransaction();
    if (!session_.dialect.routinesInTable) {
        runProcedure(std::string(name));
        return;
    }
    const auto body = tableRoutine(std::string(name));
    if (!body) throw Error(kErrorsInCommand, texts::routineMissing(name));
    run(*body);
}

std::unique_ptr<EditableRowSet> OdbcConnection::openForWriting(std::string_view source) {
    session_.ensureTransaction();
    const CommandText reading = readCommandText(source);
    if (reading.kind == CommandText::Kind::Statement) {
        throw Error(kErrorsInCommand, texts::notATable(source));
    }
    const auto table = findTable(session_, reading.name);
    if (!table) throw Error(kErrorsInCommand, texts::tableMissing(reading.name));
    return std::make_unique<OdbcTable>(session_, *table, reading.condition);
}

bool OdbcConnection::answersYes(const std::string& sql) { return runOne(sql)->value(0).toText() == "1"; }

bool OdbcConnection::hasTable(std::string_view name) {
    session_.ensureTransaction();
    if (session_.dialect.sqlServerMetadata) return answersYes(sqlServerTableExists(name));
    return findTable(session_, std::string(name)).has_value();
}

std::optional<std::string> OdbcConnection::whyReadOnly() {
    session_.ensureTransaction();
    if (session_.dialect.identity == Identity::DatabaseFile) {
        if (auto why = whyFileIsReadOnly(info(SQL_DATABASE_NAME))) return why;
    }
    if (info(SQL_DATA_SOURCE_READ_ONLY) == "Y") return std::string(texts::kDataSourceReadOnly);
    if (session_.dialect.sqlServerMetadata && answersYes(kSqlServerReadOnly))
        return std::string(texts::kDatabaseSetReadOnly);
    return std::nullopt;
}

std::string OdbcConnection::property(std::string_view name) const {
    if (sameName(name, "Data Source")) return dataSource_;
    if (sameName(name, "Initial Catalog")) return catalog_;
    throw Error(kItemNotFound, texts::noProperty(name));
}

void OdbcConnection::setAutocommit(bool on) {
    session_.check(SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                                      attributeValue(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER),
                   SQL_HANDLE_DBC, connection_.get());
}

void OdbcConnection::setIsolation(SQLUINTEGER level) {
    session_.check(
        SQLSetConnectAttrW(connection_.get(), SQL_ATTR_TXN_ISOLATION, attributeValue(level), SQL_IS_UINTEGER),
        SQL_HANDLE_DBC, connection_.get());
}

void OdbcConnection::restoreIsolation() {
    if (!isolationToRestore_) return;
    const SQLUINTEGER level = *isolationToRestore_;
    isolationToRestore_.reset();
    setIsolation(level);
}

void OdbcConnection::leaveTransactionMode() {
    everyStep([&] { setAutocommit(true); }, [&] { restoreIsolation(); });
}

void OdbcConnection::beginTransaction(Isolation isolation) {
    if (isolation == Isolation::serializable) {
        SQLUINTEGER current = 0;
        session_.check(
            SQLGetConnectAttrW(connection_.get(), SQL_ATTR_TXN_ISOLATION, &current, SQL_IS_UINTEGER, nullptr),
            SQL_HANDLE_DBC, connection_.get());
        setIsolation(SQL_TXN_SERIALIZABLE);
        isolationToRestore_ = current;
    }
    setAutocommit(false);
    session_.inTransaction = true;
    session_.transactionLost.reset();
}

void OdbcConnection::commit() {
    if (const auto refusal = session_.writeRefusal()) {
        try {
            rollback();
        } catch (const Error&) {
            // The refusal says what happened; a connection that is gone cannot roll back either.
        }
        throw *refusal;
    }
    for (OdbcTable* table : session_.openTables) table->writeHeldRows();
    session_.check(SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_COMMIT), SQL_HANDLE_DBC, connection_.get());
    session_.inTransaction = false;
    leaveTransactionMode();
}

void OdbcConnection::rollback() {
    if (!session_.inTransaction) return;
    for (OdbcTable* table : session_.openTables) table->dropHeldRows();
    session_.inTransaction = false;
    session_.transactionLost.reset();
    std::optional<Error> failed = endTransaction(SQL_ROLLBACK);
    if (failed && session_.dialect.rollbackNeedsFreshTransaction) {
        try {
            runOne("BEGIN");
        } catch (const Error&) {
            // The database still had the transaction: the second attempt tells how it ends.
        }
        failed = endTransaction(SQL_ROLLBACK);
    }
    // The rollback's own failure is the one told; the connection is put back all the same.
    everyStep(
        [&] {
            if (failed) throw *failed;
        },
        [&] { leaveTransactionMode(); });
}

void OdbcConnection::lockImports() {
    if (!session_.inTransaction) throw Error(kErrorsOccurred, std::string(texts::kImportLockOutsideTransaction));
    switch (session_.dialect.importLocking) {
        case ImportLocking::ApplicationLock: {
            const std::unique_ptr<RowSet> granted = runOne(sqlServerImportLock(session_.queryTimeoutSeconds));
            if (const Value status = granted->value(0); !status.isInteger() || status.integer() < 0) {
                throw importLockRefused(status.isInteger() ? status.integer() : -999);
            }
            break;
        }
        case ImportLocking::FileWriteLock:
            // The driver begins its transaction deferred: a write that changes nothing takes the
            // file's write lock, which is the import lock of an embedded Datenpool.
            runOne("DELETE FROM Adressen WHERE 0 = 1");
            break;
        case ImportLocking::None: break;
    }
}

SqlFlavour OdbcConnection::sqlFlavour() const { return session_.dialect.sqlFlavour; }

std::string OdbcConnection::identity() const {
    switch (session_.dialect.identity) {
        case Identity::DatabaseFile: return fullPath(info(SQL_DATABASE_NAME));
        case Identity::ServerAndDatabase: return info(SQL_SERVER_NAME) + "/" + info(SQL_DATABASE_NAME);
        case Identity::DataSourceAndCatalog: break;
    }
    return dataSource_ + "/" + catalog_;
}

std::optional<Error> OdbcConnection::endTransaction(SQLSMALLINT completion) {
    if (SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, connection_.get(), completion))) return std::nullopt;
    return lastError(SQL_HANDLE_DBC, connection_.get(), session_.errorNumbers());
}

}  // namespace db

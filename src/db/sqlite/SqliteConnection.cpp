#include "db/sqlite/SqliteConnection.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/CommandText.h"
#include "db/Error.h"
#include "db/FullPath.h"
#include "db/MissingTable.h"
#include "db/Names.h"
#include "db/ReadOnlyFile.h"
#include "db/SqliteResultCodes.h"
#include "db/StopWaiting.h"
#include "db/Texts.h"
#include "db/TsqlTranslation.h"
#include "db/sqlite/DatenpoolScript.h"
#include "db/sqlite/PathTooLong.h"
#include "db/sqlite/SqliteRowSet.h"
#include "db/sqlite/SqliteTable.h"

namespace db {

static_assert(sqlite_result::kError == SQLITE_ERROR && sqlite_result::kBusy == SQLITE_BUSY &&
              sqlite_result::kLocked == SQLITE_LOCKED && sqlite_result::kNoMemory == SQLITE_NOMEM &&
              sqlite_result::kReadOnly == SQLITE_READONLY && sqlite_result::kInterrupt == SQLITE_INTERRUPT &&
              sqlite_result::kIoError == SQLITE_IOERR && sqlite_result::kCorrupt == SQLITE_CORRUPT &&
              sqlite_result::kFull == SQLITE_FULL && sqlite_result::kConstraint == SQLITE_CONSTRAINT &&
              sqlite_result::kNotADatabase == SQLITE_NOTADB);

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kBusyStepMs = 50;
// Between two looks for a stop SQLite runs this many of its instructions: well under a millisecond.
constexpr int kInstructionsBetweenLooks = 10000;

std::int32_t mappedCode(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_ERROR: return kErrorsInCommand;
        case SQLITE_CONSTRAINT: return kIntegrityViolation;
        default: return rc;
    }
}

// A row set that holds nothing: what a statement without result rows answers.
class EmptyRowSet : public RowSet {
public:
    bool atEnd() const override { return true; }
    void moveNext() override {}
    int columnCount() const override { return 0; }
    const std::string& columnName(int) const override { throw Error(kItemNotFound, std::string(texts::kNoFields)); }
    Value value(int) const override { throw Error(kItemNotFound, std::string(texts::kNoFields)); }
};

// SQLite's own text, except for a lock held by another program: the busy timeout has run
// out, and the user is told so in words of the tool.
std::string describedFailure(sqlite3* handle, int rc, const std::string& message) {
    if ((rc & 0xFF) == SQLITE_INTERRUPT) return std::string(texts::kStatementStopped) + " (" + message + ")";
    if (const auto table = sqliteMissingTable(message)) return texts::tableMissing(*table, message);
    if ((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) return message;
    const char* file = handle ? sqlite3_db_filename(handle, "main") : nullptr;
    if (stopWaiting()) return texts::waitForLockStopped(file ? file : "", message);
    return texts::datenpoolLocked(file ? file : "", message);
}

// Waits for another program's lock in short steps, up to the busy timeout, so that a request
// to stop waiting ends the wait at once.
int waitWhileBusy(void*, int attempt) {
    if (stopWaiting() || attempt >= kBusyTimeoutMs / kBusyStepMs) return 0;
    sqlite3_sleep(kBusyStepMs);
    return 1;
}

// SQLite keeps no count of the memory it holds: the count takes a lock on every allocation,
// and nothing here reads it. Only possible before SQLite's first use; later it stays as it is.
void leaveMemoryUncounted() {
    static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
}

// A path that cannot be opened for its length is told so; otherwise the database's own text.
Error cannotOpen(const std::string& path, int rc, const std::string& message) {
    const std::optional<std::string> tooLong = pathTooLong(path);
    return Error(mappedCode(rc) == kErrorsInCommand ? rc : mappedCode(rc),
                 texts::datenpoolCannotOpen(path, tooLong.value_or(message)), sqlite_result::kindOf(rc));
}

// One thread at a time uses a connection (rows written behind are written by one thread or the
// other, in turn, under the writer's lock): SQLite need not lock its own structures.
sqlite3* openHandle(const std::string& path, int flags) {
    leaveMemoryUncounted();
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
        sqlite3_close(handle);
        throw cannotOpen(path, rc, message);
    }
    sqlite3_busy_handler(handle, waitWhileBusy, nullptr);
    sqlite3_extended_result_codes(handle, 0);
    return handle;
}

}  // namespace

void throwSqliteError(sqlite3* handle, int rc) {
    const std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    throw Error(mappedCode(rc), describedFailure(handle, rc, message), sqlite_result::kindOf(rc));
}

SqliteConnection::SqliteConnection(sqlite3* handle, std::string path) : handle_(handle), path_(std::move(path)) {
    sqlite3_commit_hook(handle_, &SqliteConnection::refuseStrayCommit, this);
    sqlite3_progress_handler(handle_, kInstructionsBetweenLooks, &SqliteConnection::endWhenStopped, this);
}

int SqliteConnection::refuseStrayCommit(void* connection) {
    const auto* self = static_cast<const SqliteConnection*>(connection);
    return self->inTransaction_ && !self->committing_ ? 1 : 0;
}

int SqliteConnection::endWhenStopped(void* connection) {
    auto* self = static_cast<SqliteConnection*>(connection);
    if (!stopWaiting()) {
        self->stopSeen_.reset();
        return 0;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!self->stopSeen_) self->stopSeen_ = now;
    if (self->committing_ || now - *self->stopSeen_ <= kTimeToEndAfterStop) return 0;
    // SQLite rolls back only a transaction whose writing statement it ended; for a reading one
    // the transaction would live on, and what it wrote before could still be committed.
    if (self->inTransaction_) self->stopEndedTransaction_ = true;
    return 1;
}

Error SqliteConnection::transactionStopped() {
    return Error(SQLITE_INTERRUPT, std::string(texts::kStatementStopped) + " " + std::string(texts::kTransactionEnded));
}

void SqliteConnection::ensureNotStopped() const {
    if (stopEndedTransaction_) throw transactionStopped();
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(handle_); }

std::unique_ptr<SqliteConnection> SqliteConnection::open(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        if (pathTooLong(path)) throw cannotOpen(path, SQLITE_CANTOPEN, {});
        throw Error(SQLITE_CANTOPEN, texts::datenpoolDoesNotExist(path));
    }
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(openHandle(path, SQLITE_OPEN_READWRITE), path));
    connection->ensureDatenpool();
    return connection;
}

void SqliteConnection::ensureDatenpool() {
    // SQLite opens any file lazily, and takes an empty one for an empty database.
    const auto notADatenpool = [&](const std::string& reason) {
        return Error(SQLITE_NOTADB, texts::notADatenpool(path_, reason), Error::Kind::notADatabase);
    };
    std::optional<std::string> tables;
    try {
        tables = lookUp("SELECT count(*) FROM sqlite_master WHERE type = ?", "table");
    } catch (const Error& error) {
        if (error.kind() != Error::Kind::notADatabase) throw;
        throw notADatenpool(texts::damagedDatabase(error.description()));
    }
    if (tables == "0") throw notADatenpool(std::string(texts::kDatabaseWithoutTables));
}

std::unique_ptr<SqliteConnection> SqliteConnection::create(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        throw Error(SQLITE_CANTOPEN, texts::fileExists(path));
    }
    std::unique_ptr<SqliteConnection> connection(
        new SqliteConnection(openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), path));
    connection->runScript(datenpoolScript());
    return connection;
}

void SqliteConnection::runScript(const std::string& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw Error(mappedCode(rc), describedFailure(handle_, rc, text), sqlite_result::kindOf(rc));
    }
}

std::optional<std::string> SqliteConnection::lookUp(const char* sql, std::string_view name) {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(handle_, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK) throwSqliteError(handle_, rc);
    sqlite3_bind_text(statement, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(statement);
    std::optional<std::string> found;
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        found = text ? text : "";
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) throwSqliteError(handle_, rc);
    return found;
}

bool SqliteConnection::hasTable(std::string_view name) {
    // Only the schema is read, never a row of the table.
    return lookUp("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE", name)
        .has_value();
}

std::optional<std::string> SqliteConnection::whyReadOnly() {
    if (auto why = whyFileIsReadOnly(path_)) return why;
    if (sqlite3_db_readonly(handle_, "main") == 1) return std::string(texts::kOpenedForReading);
    return std::nullopt;
}

std::optional<std::string> SqliteConnection::routineBody(std::string_view name) {
    if (!hasTable("Routinen")) return std::nullopt;
    return lookUp("SELECT Rumpf FROM Routinen WHERE Name = ? COLLATE NOCASE", name);
}

std::unique_ptr<RowSet> SqliteConnection::execute(std::string_view commandText) {
    ensureNotStopped();
    const CommandText reading = readCommandText(commandText);
    std::string sql;
    if (reading.kind == CommandText::Kind::BareName && hasTable(reading.name)) {
        sql = "SELECT * FROM \"" + reading.name + "\"";
    } else if (auto body = reading.kind == CommandText::Kind::BareName ? routineBody(reading.name) : std::nullopt) {
        runScript(*body);
        return std::make_unique<EmptyRowSet>();
    } else if (reading.kind == CommandText::Kind::NameWithCondition && hasTable(reading.name)) {
        sql = "SELECT * FROM \"" + reading.name + "\" WHERE " + reading.condition;
    } else if (auto translated = translateTsql(commandText)) {
        runScript(*translated);
        return std::make_unique<EmptyRowSet>();
    } else {
        sql = std::string(commandText);
    }
    // A name that is neither a table nor a routine reaches SQLite as a statement, which it
    // cannot read ("near "AdressenImport": syntax error").
    const bool nameNotFound = reading.kind != CommandText::Kind::Statement && sql == commandText;

    // Every statement but the last runs to its end; the last one's rows are the result.
    const char* rest = sql.c_str();
    const char* end = rest + sql.size();
    std::unique_ptr<RowSet> result = std::make_unique<EmptyRowSet>();
    while (rest < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(handle_, rest, static_cast<int>(end - rest), &statement, &tail);
        if (rc != SQLITE_OK && nameNotFound && mappedCode(rc) == kErrorsInCommand) {
            throw Error(mappedCode(rc), texts::tableMissing(reading.name, sqlite3_errmsg(handle_)));
        }
        if (rc != SQLITE_OK) throwSqliteError(handle_, rc);
        rest = tail;
        if (!statement) continue;  // only blanks or a comment
        result = std::make_unique<SqliteRowSet>(handle_, statement);
    }
    return result;
}

void SqliteConnection::callRoutine(std::string_view name) {
    ensureNotStopped();
    const auto body = routineBody(name);
    if (!body) throw Error(kErrorsInCommand, texts::routineMissing(name));
    runScript(*body);
}

std::unique_ptr<EditableRowSet> SqliteConnection::openForWriting(std::string_view source) {
    const CommandText reading = readCommandText(source);
    if (reading.kind == CommandText::Kind::Statement) {
        throw Error(kErrorsInCommand, texts::notATable(source));
    }
    ensureNotStopped();
    return std::make_unique<SqliteTable>(handle_, reading.name, reading.condition);
}

std::string SqliteConnection::property(std::string_view name) const {
    if (sameName(name, "Data Source")) return path_;
    if (sameName(name, "Initial Catalog")) return "main";
    throw Error(kItemNotFound, texts::noProperty(name));
}

void SqliteConnection::ensureFileInPlace() const {
    int moved = 0;
    if (sqlite3_file_control(handle_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved) {
        throw Error(SQLITE_READONLY, texts::datenpoolReplaced(path_), Error::Kind::readOnly);
    }
}

// A write transaction that begins with the write lock reads what no one else can change
// until it ends: serializable in either case.
void SqliteConnection::beginTransaction(Isolation) {
    ensureFileInPlace();
    if (sqlite3_db_readonly(handle_, "main") == 1) {
        throw Error(SQLITE_READONLY, texts::datenpoolReadOnly(path_), Error::Kind::readOnly);
    }
    runScript("BEGIN IMMEDIATE");
    inTransaction_ = true;
    stopEndedTransaction_ = false;
}

void SqliteConnection::commit() {
    // What went into a file that is no longer the Datenpool would be lost unseen.
    ensureFileInPlace();
    if (stopEndedTransaction_) {
        // Refused as a whole: what the transaction did before the stop is undone, as on ODBC.
        rollback();
        throw transactionStopped();
    }
    committing_ = true;
    try {
        runScript("COMMIT");
    } catch (...) {
        committing_ = false;
        throw;
    }
    committing_ = false;
    inTransaction_ = false;
}

// BEGIN IMMEDIATE took the file's write lock, which is the import lock: another program's
// import, undo or conversion waits for it (the busy handler) until the transaction ends.
void SqliteConnection::lockImports() {
    if (!inTransaction_) throw Error(kErrorsOccurred, std::string(texts::kImportLockOutsideTransaction));
}

std::string SqliteConnection::identity() const { return fullPath(path_); }

void SqliteConnection::rollback() {
    inTransaction_ = false;
    stopEndedTransaction_ = false;
    if (!sqlite3_get_autocommit(handle_)) runScript("ROLLBACK");
}

}  // namespace db

#include "db/sqlite/SqliteTable.h"

#include <sqlite3.h>

#include <cctype>
#include <string_view>

#include "db/Error.h"
#include "db/Texts.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRowSet.h"

namespace db {

// Read by hand: opening a table for writing asks this of every column.
std::optional<std::size_t> declaredLength(std::string_view type) {
    const auto skipBlanks = [&] {
        while (!type.empty() && std::isspace(static_cast<unsigned char>(type.front()))) type.remove_prefix(1);
    };
    const auto take = [&](std::string_view word) {
        if (type.size() < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(type[i])) != word[i]) return false;
        }
        type.remove_prefix(word.size());
        return true;
    };
    skipBlanks();
    take("n");
    take("var");
    if (!take("char")) return std::nullopt;
    take("acter");
    skipBlanks();
    if (!take("(")) return std::nullopt;
    skipBlanks();
    std::size_t length = 0;
    std::size_t digits = 0;
    for (; !type.empty() && std::isdigit(static_cast<unsigned char>(type.front())); type.remove_prefix(1), ++digits) {
        length = length * 10 + static_cast<std::size_t>(type.front() - '0');
    }
    if (digits == 0 || digits > 9) return std::nullopt;
    skipBlanks();
    if (!take(")")) return std::nullopt;
    skipBlanks();
    if (!type.empty()) return std::nullopt;
    return length;
}

namespace {

// Rows written behind go in batches of 128, and one statement inserts 64 of them together; two
// batches waiting keep both threads busy in a conversion, and what waits with them small. Each
// batch wakes the writing thread once: fewer, larger batches cost less switching. The way of
// writing (its own thread or the caller's) is timed over stretches of 16 batches, some 2,000 rows.
constexpr std::size_t kRowsBehindBatch = 128;
constexpr std::size_t kRowsPerStatement = 64;
constexpr std::size_t kRowsWaitingBehind = 2 * kRowsBehindBatch;
constexpr std::size_t kBatchesTimedTogether = 16;

const Value kNull;

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

void prepare(sqlite3* db, const std::string& sql, sqlite3_stmt** statement) {
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), statement, nullptr);
    if (rc != SQLITE_OK) throwSqliteError(db, rc);
}

void bind(sqlite3* db, sqlite3_stmt* statement, int index, const Value& value) {
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(statement, index);
    } else if (value.isInteger()) {
        rc = sqlite3_bind_int64(statement, index, value.integer());
    } else if (value.isDouble()) {
        rc = sqlite3_bind_double(statement, index, value.number());
    } else if (value.isText()) {
        rc = sqlite3_bind_text(statement, index, value.text().data(), static_cast<int>(value.text().size()),
                               SQLITE_STATIC);
    } else {
        rc = sqlite3_bind_text(statement, index, formatIsoDate(value.date()).c_str(), -1, SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) throwSqliteError(db, rc);
}

void runToEnd(sqlite3* db, sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) throwSqliteError(db, rc);
}

// Per column of the table, in order: whether it has a default value.
std::vector<bool> defaults(sqlite3* handle, const std::string& table) {
    std::vector<bool> hasDefault;
    Statement info;
    prepare(handle, "PRAGMA table_info(" + quoted(table) + ")", &info.handle);
    while (sqlite3_step(info.handle) == SQLITE_ROW)
        hasDefault.push_back(sqlite3_column_type(info.handle, 4) != SQLITE_NULL);
    return hasDefault;
}

// The table's columns as SQLite declares them; an unknown table is an error.
std::vector<TableColumn> tableColumns(sqlite3* handle, const std::string& table) {
    std::vector<TableColumn> columns;
    Statement info;
    prepare(handle, "PRAGMA table_info(" + quoted(table) + ")", &info.handle);
    while (sqlite3_step(info.handle) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 1));
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 2));
        columns.push_back({name ? name : "", declaredLength(type ? type : "")});
    }
    if (columns.empty()) throw Error(kErrorsInCommand, texts::tableMissing(table));
    return columns;
}

}  // namespace

SqliteTable::SqliteTable(sqlite3* handle, std::string table, const std::string& condition)
    : TableRowSet(table, tableColumns(handle, table)), handle_(handle) {
    if (condition.empty()) return;

    Statement select;
    prepare(handle_, "SELECT rowid, * FROM " + quoted(this->table()) + " WHERE " + condition, &select.handle);
    const int rc = sqlite3_step(select.handle);
    if (rc == SQLITE_ROW) {
        std::vector<Value> stored;
        for (std::size_t i = 0; i < columns().size(); ++i)
            stored.push_back(columnValue(select.handle, static_cast<int>(i) + 1));
        TableRowSet::select(sqlite3_column_int64(select.handle, 0), std::move(stored));
    } else if (rc != SQLITE_DONE) {
        throwSqliteError(handle_, rc);
    }
}

SqliteTable::~SqliteTable() {
    behind_.reset();  // its thread uses the statements
    for (auto& [mask, statement] : inserts_) sqlite3_finalize(statement);
    for (sqlite3_stmt* statement : savepoint_) sqlite3_finalize(statement);
}

bool SqliteTable::writeBehind(RowOutcomes& outcomes) {
    if (!behind_) {
        hasDefault_ = defaults(handle_, table());
        const auto parameters = static_cast<std::size_t>(sqlite3_limit(handle_, SQLITE_LIMIT_VARIABLE_NUMBER, -1));
        rowsTogether_ = std::min(kRowsPerStatement, parameters / columns().size());
        for (std::size_t i = 0; i < savepoint_.size(); ++i) {
            static constexpr const char* kSql[] = {"SAVEPOINT zusammen", "RELEASE zusammen", "ROLLBACK TO zusammen"};
            prepare(handle_, kSql[i], &savepoint_[i]);
        }
        behind_ = std::make_unique<WriteBehind>(
            [this](std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
                writeRows(rows, failures);
            },
            outcomes, kRowsBehindBatch, kRowsWaitingBehind, kBatchesTimedTogether, viewer());
    }
    return true;
}

void SqliteTable::settle(bool wait) {
    if (behind_) behind_->tell(wait);
}

void SqliteTable::writeRows(std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
    for (std::size_t at = 0; at < rows.size();) {
        // A batch cut short (the last rows of a run) goes one by one: no statement of its own.
        const std::size_t count = std::min(rowsTogether_, rows.size() - at);
        if (count < rowsTogether_ || rowsTogether_ < 2 || !writeTogether(rows.subspan(at, count))) {
            // One by one, so that each failure belongs to its row.
            for (std::size_t i = at; i < at + count; ++i) {
                try {
                    write(rows[i]);
                } catch (...) {
                    failures[i] = std::current_exception();
                }
            }
        }
        at += count;
    }
}

bool SqliteTable::writeTogether(std::span<const WriteBehind::Values> rows) {
    // Into every column without a default, and those with one that any of the rows assigns: a
    // row that leaves a column out gives it NULL, as its insert alone does where there is no
    // default. So nearly all batches share one statement. The rows are gone through once, to
    // count who assigns each column: every pass over a batch's values costs cache misses.
    assignedIn_.assign(columns().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) assignedIn_[i] += row[i].has_value();
    }
    mask_.assign(columns().size(), '0');
    for (std::size_t i = 0; i < columns().size(); ++i) {
        if (!hasDefault_[i] || assignedIn_[i] > 0) mask_[i] = '1';
        if (hasDefault_[i] && assignedIn_[i] > 0 && assignedIn_[i] < rows.size()) return false;
    }
    if (mask_.find('1') == std::string::npos) return false;
    sqlite3_stmt* statement = nullptr;
    try {
        statement = insertStatement(rows.size());
        int index = 1;
        for (const auto& row : rows) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (mask_[i] == '1') bind(handle_, statement, index++, row[i] ? *row[i] : kNull);
            }
        }
    } catch (const Error&) {
        return false;  // one by one, each with its own failure
    }
    // Within a savepoint: a statement that fails leaves none of its rows, whatever its conflict
    // clause, and the rows are then written one by one.
    const auto run = [&](sqlite3_stmt* step) {
        const int rc = sqlite3_step(step);
        sqlite3_reset(step);
        return rc == SQLITE_DONE;
    };
    if (!run(savepoint_[0])) return false;
    const bool written = run(statement);
    if (!written) run(savepoint_[2]);
    run(savepoint_[1]);
    return written;
}

void SqliteTable::close() {
    settle(true);
    behind_.reset();
    TableRowSet::close();
}

void SqliteTable::write(const std::vector<std::optional<Value>>& assigned) {
    mask_.resize(assigned.size());
    for (std::size_t i = 0; i < assigned.size(); ++i) mask_[i] = assigned[i] ? '1' : '0';
    sqlite3_stmt* statement = insertStatement(1);
    // Its statement has a parameter for each assigned column only: all of them are bound anew
    // for every row, so the texts of the row before need not be unbound.
    bindAssigned(statement, assigned);
    runToEnd(handle_, statement);
}

void SqliteTable::insert(Row& row) {
    row.id = -1;  // counts as saved even when the insert fails
    if (behind_) {
        // The values go on whole; the row keeps buffers of a row written before.
        row.assigned = behind_->handOn(std::move(row.assigned));
        clearValues(row.assigned);
        return;
    }
    write(row.assigned);
    row.id = sqlite3_last_insert_rowid(handle_);
    showSaved(row);
}

void SqliteTable::modify(Row& row) {
    if (behind_) behind_->finish();  // the connection is the thread's while it writes
    std::string sql = "UPDATE " + quoted(table()) + " SET ";
    bool first = true;
    for (std::size_t i = 0; i < columns().size(); ++i) {
        if (!row.assigned[i]) continue;
        sql += (first ? "" : ", ") + quoted(columns()[i].name) + " = ?";
        first = false;
    }
    sql += " WHERE rowid = " + std::to_string(*row.id);
    Statement statement;
    prepare(handle_, sql, &statement.handle);
    bindAssigned(statement.handle, row.assigned);
    runToEnd(handle_, statement.handle);
}

sqlite3_stmt* SqliteTable::insertStatement(std::size_t rows) {
    key_ = mask_;
    if (rows > 1) key_ += "x" + std::to_string(rows);
    if (auto found = inserts_.find(key_); found != inserts_.end()) return found->second;

    std::string names;
    std::string places;
    for (std::size_t i = 0; i < columns().size(); ++i) {
        if (mask_[i] == '0') continue;
        names += (names.empty() ? "" : ", ") + quoted(columns()[i].name);
        places += places.empty() ? "?" : ", ?";
    }
    std::string sql = "INSERT INTO " + quoted(table());
    if (names.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        sql += " (" + names + ") VALUES (" + places + ")";
        for (std::size_t row = 1; row < rows; ++row) sql += ", (" + places + ")";
    }
    sqlite3_stmt* statement = nullptr;
    prepare(handle_, sql, &statement);
    inserts_.emplace(key_, statement);
    return statement;
}

void SqliteTable::bindAssigned(sqlite3_stmt* statement, const std::vector<std::optional<Value>>& assigned) {
    int index = 1;
    for (const auto& value : assigned) {
        if (value) bind(handle_, statement, index++, *value);
    }
}

}  // namespace db

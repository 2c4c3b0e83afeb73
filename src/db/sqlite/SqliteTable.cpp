#include "db/sqlite/SqliteTable.h"

#include <sqlite3.h>

#include <regex>

#include "db/Error.h"
#include "db/Names.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteRowSet.h"
#include "text/Characters.h"

namespace db {

namespace {

// The length of char(n), varchar(n), nchar(n), nvarchar(n); none for other types.
std::optional<std::size_t> declaredLength(const std::string& type) {
    static const std::regex pattern(R"(^\s*n?(var)?char(acter)?\s*\(\s*([0-9]{1,9})\s*\)\s*$)", std::regex::icase);
    std::smatch match;
    if (!std::regex_match(type, match, pattern)) return std::nullopt;
    return static_cast<std::size_t>(std::stoul(match[3]));
}

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
        rc = sqlite3_bind_text(statement, index, value.text().data(), static_cast<int>(value.text().size()), SQLITE_STATIC);
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

}  // namespace

bool SqliteTable::Row::hasChanges() const {
    for (const auto& value : assigned) {
        if (value) return true;
    }
    return !rowid.has_value();
}

SqliteTable::SqliteTable(sqlite3* handle, std::string table, const std::string& condition)
    : handle_(handle), table_(std::move(table)) {
    {
        Statement info;
        prepare(handle_, "PRAGMA table_info(" + quoted(table_) + ")", &info.handle);
        while (sqlite3_step(info.handle) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 1));
            const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 2));
            columns_.push_back({name ? name : "", declaredLength(type ? type : "")});
        }
    }
    if (columns_.empty()) throw Error(kErrorsInCommand, "Die Tabelle '" + table_ + "' gibt es in der Datenbank nicht.");
    if (condition.empty()) return;

    Statement select;
    prepare(handle_, "SELECT rowid, * FROM " + quoted(table_) + " WHERE " + condition, &select.handle);
    const int rc = sqlite3_step(select.handle);
    if (rc == SQLITE_ROW) {
        Row row;
        row.rowid = sqlite3_column_int64(select.handle, 0);
        for (std::size_t i = 0; i < columns_.size(); ++i) row.stored.push_back(columnValue(select.handle, static_cast<int>(i) + 1));
        row.assigned.resize(columns_.size());
        current_ = std::move(row);
    } else if (rc != SQLITE_DONE) {
        throwSqliteError(handle_, rc);
    }
}

SqliteTable::~SqliteTable() {
    for (auto& [mask, statement] : inserts_) sqlite3_finalize(statement);
}

bool SqliteTable::atEnd() const { return !current_.has_value(); }

void SqliteTable::addNew() {
    if (current_ && current_->hasChanges()) update();
    beforeNew_ = std::move(current_);
    Row row;
    row.stored.resize(columns_.size());
    row.assigned.resize(columns_.size());
    current_ = std::move(row);
}

std::size_t SqliteTable::columnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (sameName(columns_[i].name, column)) return i;
    }
    throw Error(kItemNotFound, "Die Spalte '" + std::string(column) + "' gibt es in der Tabelle '" + table_ + "' nicht.");
}

void SqliteTable::set(std::string_view column, const Value& value) {
    const std::size_t index = columnIndex(column);
    if (!current_) throw Error(static_cast<std::int32_t>(0x800A0BCDu), "Kein aktueller Datensatz.");
    const auto& limit = columns_[index].maxChars;
    if (limit && value.isText()) {
        const std::size_t length = text::charCount(value.text());
        if (length > *limit) {
            throw Error(kErrorsOccurred, "Der Text für die Spalte '" + columns_[index].name + "' ist " +
                                             std::to_string(length) + " Zeichen lang; die Spalte fasst höchstens " +
                                             std::to_string(*limit) + " Zeichen: " + value.text());
        }
    }
    current_->assigned[index] = value;
}

Value SqliteTable::get(std::string_view column) const {
    const std::size_t index = columnIndex(column);
    if (!current_) throw Error(static_cast<std::int32_t>(0x800A0BCDu), "Kein aktueller Datensatz.");
    const auto& assigned = current_->assigned[index];
    return assigned ? *assigned : current_->stored[index];
}

void SqliteTable::update() {
    if (!current_ || !current_->hasChanges()) return;
    Row& row = *current_;
    // A failed save drops the row's pending changes: the failure is reported once, and the
    // next record does not inherit it.
    struct Settle {
        Row& row;
        ~Settle() {
            for (std::size_t i = 0; i < row.assigned.size(); ++i) {
                if (row.assigned[i]) row.stored[i] = *row.assigned[i];
                row.assigned[i].reset();
            }
        }
    } settle{row};
    beforeNew_.reset();
    if (row.rowid) {
        modify(row);
    } else {
        insert(row);
    }
}

void SqliteTable::insert(Row& row) {
    row.rowid = -1;  // counts as saved even when the insert fails
    sqlite3_stmt* statement = insertStatement(row.assigned);
    bindAssigned(statement, row.assigned);
    runToEnd(handle_, statement);
    sqlite3_clear_bindings(statement);
    row.rowid = sqlite3_last_insert_rowid(handle_);
}

void SqliteTable::modify(Row& row) {
    std::string sql = "UPDATE " + quoted(table_) + " SET ";
    bool first = true;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (!row.assigned[i]) continue;
        sql += (first ? "" : ", ") + quoted(columns_[i].name) + " = ?";
        first = false;
    }
    sql += " WHERE rowid = " + std::to_string(*row.rowid);
    Statement statement;
    prepare(handle_, sql, &statement.handle);
    bindAssigned(statement.handle, row.assigned);
    runToEnd(handle_, statement.handle);
}

sqlite3_stmt* SqliteTable::insertStatement(const std::vector<std::optional<Value>>& assigned) {
    std::vector<bool> mask(assigned.size());
    for (std::size_t i = 0; i < assigned.size(); ++i) mask[i] = assigned[i].has_value();
    if (auto found = inserts_.find(mask); found != inserts_.end()) return found->second;

    std::string names;
    std::string places;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (!mask[i]) continue;
        names += (names.empty() ? "" : ", ") + quoted(columns_[i].name);
        places += places.empty() ? "?" : ", ?";
    }
    const std::string sql = names.empty() ? "INSERT INTO " + quoted(table_) + " DEFAULT VALUES"
                                          : "INSERT INTO " + quoted(table_) + " (" + names + ") VALUES (" + places + ")";
    sqlite3_stmt* statement = nullptr;
    prepare(handle_, sql, &statement);
    inserts_.emplace(std::move(mask), statement);
    return statement;
}

void SqliteTable::bindAssigned(sqlite3_stmt* statement, const std::vector<std::optional<Value>>& assigned) {
    int index = 1;
    for (const auto& value : assigned) {
        if (value) bind(handle_, statement, index++, *value);
    }
}

void SqliteTable::cancelUpdate() {
    if (!current_) return;
    if (!current_->rowid) {
        current_ = std::move(beforeNew_);
        beforeNew_.reset();
        return;
    }
    for (auto& value : current_->assigned) value.reset();
}

void SqliteTable::close() {
    current_.reset();
    beforeNew_.reset();
}

}  // namespace db

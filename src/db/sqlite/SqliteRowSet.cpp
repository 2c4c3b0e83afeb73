#include "db/sqlite/SqliteRowSet.h"

#include <sqlite3.h>

#include "db/Error.h"
#include "db/Texts.h"
#include "db/sqlite/SqliteConnection.h"

namespace db {

Value columnValue(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER: return Value(static_cast<std::int64_t>(sqlite3_column_int64(statement, column)));
        case SQLITE_FLOAT: return Value(sqlite3_column_double(statement, column));
        case SQLITE_NULL: return Value();
        default: {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            return Value(
                std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
        }
    }
}

SqliteRowSet::SqliteRowSet(sqlite3* handle, sqlite3_stmt* statement) : handle_(handle), statement_(statement) {
    const int columns = sqlite3_column_count(statement_);
    names_.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) names_.emplace_back(sqlite3_column_name(statement_, i));
    try {
        step();
    } catch (...) {
        sqlite3_finalize(statement_);
        throw;
    }
}

SqliteRowSet::~SqliteRowSet() { sqlite3_finalize(statement_); }

void SqliteRowSet::moveNext() {
    if (!atEnd_) step();
}

void SqliteRowSet::step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return;
    atEnd_ = true;
    if (rc != SQLITE_DONE) throwSqliteError(handle_, rc);
}

void SqliteRowSet::checkColumn(int column) const {
    if (atEnd_) throw Error(kNoCurrentRow, std::string(texts::kNoCurrentRecord));
    if (column < 0 || column >= columnCount()) throw Error(kItemNotFound, texts::fieldNumberMissing(column));
}

Value SqliteRowSet::value(int column) const {
    checkColumn(column);
    return columnValue(statement_, column);
}

void SqliteRowSet::appendText(int column, std::string& out) const {
    checkColumn(column);
    // The column's value is looked up once and read through it (every column call would look it
    // up anew); the connection serves one thread, so the value needs no mutex of its own.
    sqlite3_value* value = sqlite3_column_value(statement_, column);
    if (sqlite3_value_type(value) != SQLITE_TEXT) {
        out += columnValue(statement_, column).toText();
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (bytes) out.append(bytes, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

}  // namespace db

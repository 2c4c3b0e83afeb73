#include "db/odbc/OdbcTable.h"

#include "db/Names.h"
#include "db/Texts.h"
#include "db/odbc/OdbcRowSet.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/ParameterArray.h"

namespace db {

namespace {

constexpr std::int64_t kSelectedRow = 0;
constexpr std::size_t kNamedFailures = 20;  // rows named one by one in a failure message
// Rows written behind go in the batches of the parameter arrays; one batch waits while the
// other is written. The way of writing is timed over stretches of some 2,000 rows.
constexpr std::size_t kRowsWaitingBehind = 2 * RowInserter::kArrayRows;
constexpr std::size_t kBatchesTimedTogether = 4;
constexpr std::int64_t kHandedOn = -1;  // the mark of a row written behind, which is no longer held

std::vector<TableColumn> tableColumnsOf(const std::vector<CatalogColumn>& columns) {
    std::vector<TableColumn> result;
    for (const auto& column : columns) result.push_back({column.name, column.maxChars});
    return result;
}

// One code for the whole failure: the rows' common one, else the first that is not passed over.
std::int32_t combinedCode(const std::vector<RowInserter::Failure>& failures) {
    for (const auto& failure : failures) {
        if (failure.error.code() != failures.front().error.code() && !isSilent(failure.error.code()))
            return failure.error.code();
    }
    for (const auto& failure : failures) {
        if (!isSilent(failure.error.code())) return failure.error.code();
    }
    return failures.front().error.code();
}

}  // namespace

OdbcTable::OdbcTable(OdbcSession& session, std::string table, const std::string& condition)
    : OdbcTable(session, table, condition, tableColumns(session, table)) {}

OdbcTable::OdbcTable(OdbcSession& session, std::string table, const std::string& condition,
                     std::vector<CatalogColumn> columns)
    : TableRowSet(table, tableColumnsOf(columns)),
      session_(session),
      catalogColumns_(columns),
      inserter_(session, std::move(table), std::move(columns)) {
    if (catalogColumns_.empty()) throw Error(kErrorsInCommand, texts::tableMissing(this->table()));
    if (!condition.empty()) selectFirst(condition);
    session_.openTables.push_back(this);
}

void OdbcTable::selectFirst(const std::string& condition) {
    OdbcHandle statement = session_.statement();
    std::u16string sql = toWide("SELECT * FROM " + session_.quoted(table()) + " WHERE " + condition);
    session_.run(statement,
                 [&] { return SQLExecDirectW(statement.get(), sqlText(sql), static_cast<SQLINTEGER>(sql.size())); });
    const OdbcRowSet rows(session_, std::move(statement));
    if (rows.atEnd()) return;
    std::vector<Value> stored;
    for (const auto& column : catalogColumns_) {
        Value value;
        for (int i = 0; i < rows.columnCount(); ++i) {
            if (sameName(rows.columnName(i), column.name)) value = rows.value(i);
        }
        stored.push_back(std::move(value));
    }
    select(kSelectedRow, std::move(stored));
}

OdbcTable::~OdbcTable() {
    behind_.reset();  // its thread uses the inserter
    std::erase(session_.openTables, this);
    try {
        writeHeldRows();
    } catch (...) {
        // Reported by close(); a row set dropped without it has no one left to tell.
    }
}

bool OdbcTable::writeBehind(RowOutcomes& outcomes) {
    // Rows held already are told by the save that writes them: writing behind begins before the first.
    if (!behind_ && held_.empty()) {
        behind_ = std::make_unique<WriteBehind>(
            [this](std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
                writeRows(rows, failures);
            },
            outcomes, RowInserter::kArrayRows, kRowsWaitingBehind, kBatchesTimedTogether, viewer());
    }
    return behind_ != nullptr;
}

void OdbcTable::settle(bool wait) {
    if (behind_) behind_->tell(wait);
}

void OdbcTable::writeRows(std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
    for (const auto& failure : inserter_.insert(rows)) failures[failure.row] = std::make_exception_ptr(failure.error);
}

void OdbcTable::close() {
    struct Finally {
        OdbcTable& table;
        ~Finally() { table.TableRowSet::close(); }
    } finally{*this};
    settle(true);
    behind_.reset();
    writeHeldRows();
}

void OdbcTable::insert(Row& row) {
    if (behind_) {
        row.id = kHandedOn;
        // The values go on whole; the row keeps buffers of a row written before.
        row.assigned = behind_->handOn(std::move(row.assigned));
        clearValues(row.assigned);
        return;
    }
    row.id = nextId_++;
    held_.push_back({*row.id, row.assigned});
    showSaved(row);
    if (held_.size() >= RowInserter::kArrayRows) writeHeldRows();
}

void OdbcTable::modify(Row& row) {
    if (*row.id == kSelectedRow) return updateSelected(row);
    for (auto& held : held_) {
        if (held.id != *row.id) continue;
        for (std::size_t i = 0; i < row.assigned.size(); ++i) {
            if (row.assigned[i]) held.values[i] = row.assigned[i];
        }
        return;
    }
    throw Error(kErrorsOccurred, texts::recordAlreadyWritten(describe(row.assigned)));
}

void OdbcTable::updateSelected(const Row& row) {
    session_.ensureTransaction();
    const std::vector<std::string> key = primaryKey(session_, table());
    if (key.empty()) {
        throw Error(kErrorsOccurred, texts::noPrimaryKey(table()));
    }
    std::string sql = "UPDATE " + session_.quoted(table()) + " SET ";
    std::vector<std::vector<Value>> byParameter;
    for (std::size_t i = 0; i < row.assigned.size(); ++i) {
        if (!row.assigned[i]) continue;
        sql += (byParameter.empty() ? "" : ", ") + session_.quoted(catalogColumns_[i].name) + " = ?";
        byParameter.push_back({*row.assigned[i]});
    }
    std::string condition;
    for (const auto& name : key) {
        for (std::size_t i = 0; i < catalogColumns_.size(); ++i) {
            if (!sameName(catalogColumns_[i].name, name)) continue;
            condition += (condition.empty() ? " WHERE " : " AND ") + session_.quoted(catalogColumns_[i].name) + " = ?";
            byParameter.push_back({row.storedValue(i)});
        }
    }
    const OdbcHandle statement = session_.statement();
    std::u16string text = toWide(sql + condition);
    session_.check(SQLPrepareW(statement.get(), sqlText(text), static_cast<SQLINTEGER>(text.size())), statement);
    ParameterArray parameters(byParameter);
    parameters.bind(session_, statement);
    session_.run(statement, [&] { return SQLExecute(statement.get()); });
}

std::string OdbcTable::describe(const std::vector<std::optional<Value>>& values) const {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] && !values[i]->isNull()) return catalogColumns_[i].name + "=" + values[i]->toText();
    }
    return std::string(texts::kRecordWithoutValues);
}

void OdbcTable::writeHeldRows() {
    if (behind_) behind_->finish();
    if (held_.empty()) return;
    std::vector<std::vector<std::optional<Value>>> values;
    values.reserve(held_.size());
    for (auto& row : held_) values.push_back(std::move(row.values));
    held_.clear();
    const auto failures = inserter_.insert(values);
    if (failures.empty()) return;

    std::string description;
    if (failures.size() == 1) {
        description =
            texts::recordNotSaved(describe(values[failures.front().row]), failures.front().error.description());
    } else {
        description = texts::recordsNotSaved(failures.size());
        for (std::size_t i = 0; i < failures.size() && i < kNamedFailures; ++i) {
            description += "\r\n" + describe(values[failures[i].row]) + ": " + failures[i].error.description();
        }
        if (failures.size() > kNamedFailures)
            description += "\r\n" + texts::moreNotSaved(failures.size() - kNamedFailures);
    }
    throw Error(combinedCode(failures), description);
}

}  // namespace db

#include "db/odbc/RowInserter.h"

#include <algorithm>

#include "db/Texts.h"
#include "db/odbc/MoreResults.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/ParameterArray.h"

namespace db {

namespace {

// Several rows in one parameter set: within the oldest SQLite's limit of host parameters.
constexpr std::size_t kParametersPerSet = 999;
constexpr std::size_t kRowsPerSet = 50;

}  // namespace

RowInserter::RowInserter(const OdbcSession& session, std::string table, std::vector<CatalogColumn> columns)
    : session_(session), table_(std::move(table)), columns_(std::move(columns)) {
    SQLUINTEGER rowCounts = 0;
    SQLGetInfoW(session_.connection, SQL_PARAM_ARRAY_ROW_COUNTS, &rowCounts, sizeof rowCounts, nullptr);
    severalRowsPerSet_ = rowCounts != SQL_PARC_BATCH && rowCounts != SQL_PARC_NO_BATCH;
}

std::vector<bool> RowInserter::includedColumns(const std::vector<std::optional<Value>>& row) const {
    std::vector<bool> included(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) included[i] = !columns_[i].omittable || row[i].has_value();
    return included;
}

const OdbcHandle& RowInserter::statement(const std::vector<bool>& included, std::size_t width) {
    const auto key = std::make_pair(included, width);
    if (const auto found = statements_.find(key); found != statements_.end()) return found->second;
    std::string names;
    std::string places;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (!included[i]) continue;
        names += (names.empty() ? "" : ", ") + session_.quoted(columns_[i].name);
        places += places.empty() ? "?" : ", ?";
    }
    std::string rowsOfPlaces;
    for (std::size_t row = 0; row < width; ++row) rowsOfPlaces += (row == 0 ? "(" : ", (") + places + ")";
    const std::string table = session_.quoted(table_);
    const std::string sql = names.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                                          : "INSERT INTO " + table + " (" + names + ") VALUES " + rowsOfPlaces;
    OdbcHandle prepared = session_.statement();
    std::u16string text = toWide(sql);
    session_.check(SQLPrepareW(prepared.get(), sqlText(text), static_cast<SQLINTEGER>(text.size())), prepared);
    session_.check(
        SQLSetStmtAttrW(prepared.get(), SQL_ATTR_PARAM_BIND_TYPE, attributeValue(SQL_PARAM_BIND_BY_COLUMN), 0),
        prepared);
    return statements_.emplace(key, std::move(prepared)).first->second;
}

std::vector<RowInserter::Failure> RowInserter::insert(Rows rows) {
    std::vector<Failure> failures;
    std::size_t start = 0;
    while (start < rows.size()) {
        const std::vector<bool> included = includedColumns(rows[start]);
        std::vector<std::size_t> group;
        for (std::size_t row = start; row < rows.size() && includedColumns(rows[row]) == included; ++row)
            group.push_back(row);
        start += group.size();
        insertGroup(rows, group, included, failures);
    }
    std::sort(failures.begin(), failures.end(), [](const Failure& a, const Failure& b) { return a.row < b.row; });
    return failures;
}

void RowInserter::insertGroup(const Rows& rows, const std::vector<std::size_t>& group,
                              const std::vector<bool>& included, std::vector<Failure>& failures) {
    const auto parameters = static_cast<std::size_t>(std::count(included.begin(), included.end(), true));
    std::size_t widest = severalRowsPerSet_ && parameters > 0
                             ? std::clamp<std::size_t>(kParametersPerSet / parameters, 1, kRowsPerSet)
                             : 1;
    std::deque<std::size_t> waiting(group.begin(), group.end());
    std::deque<std::size_t> alone;  // the rows of a failed set of several, tried one by one in their turn
    while (!waiting.empty() || !alone.empty()) {
        if (const auto refusal = session_.writeRefusal()) {
            for (const std::size_t row : alone) failures.push_back({row, *refusal});
            for (const std::size_t row : waiting) failures.push_back({row, *refusal});
            return;
        }
        // Rows go in their order: those waiting before the first row to try alone go first.
        const bool oneByOne = !alone.empty() && (waiting.empty() || alone.front() < waiting.front());
        std::deque<std::size_t>& from = oneByOne ? alone : waiting;
        const std::size_t before =
            oneByOne || alone.empty()
                ? from.size()
                : static_cast<std::size_t>(std::lower_bound(from.begin(), from.end(), alone.front()) - from.begin());
        std::size_t width = oneByOne ? 1 : std::min(widest, before);
        const bool guarded = width > 1 && !savepoint(Savepoint::Set);
        if (width > 1 && !guarded) width = widest = 1;  // without a savepoint no set may need to go again
        const std::size_t sets = parameters == 0 ? 1 : std::min(before / width, arraySets_);
        const std::vector<std::size_t> taken(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(sets * width));
        from.erase(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(sets * width));

        Outcome outcome = run(rows, taken, included, width);
        if (guarded) undoFailedSets(outcome);
        std::vector<std::size_t> again;
        for (std::size_t set = 0; set < sets; ++set) {
            const auto first = taken.begin() + static_cast<std::ptrdiff_t>(set * width);
            if (outcome.fates[set] == SetFate::Again)
                again.insert(again.end(), first, first + static_cast<std::ptrdiff_t>(width));
            if (outcome.fates[set] != SetFate::Failed) continue;
            if (width == 1) {
                failures.push_back({*first, outcome.errors[set]});
            } else {
                alone.insert(alone.end(), first, first + static_cast<std::ptrdiff_t>(width));
            }
        }
        std::sort(alone.begin(), alone.end());
        waiting.insert(waiting.begin(), again.begin(), again.end());
    }
}

void RowInserter::undoFailedSets(Outcome& outcome) {
    // A transaction the failure ended took the savepoint with it; nothing more is written in it.
    if (session_.transactionLost) return;
    const bool failed = std::find(outcome.fates.begin(), outcome.fates.end(), SetFate::Failed) != outcome.fates.end();
    if (failed) {
        if (auto undone = savepoint(Savepoint::RollBack)) {
            // What the failed set left can no longer be told apart: the transaction holds it.
            if (session_.inTransaction && !session_.transactionLost) session_.transactionLost = undone;
            throw *undone;
        }
        std::replace(outcome.fates.begin(), outcome.fates.end(), SetFate::Saved, SetFate::Again);
    }
    savepoint(Savepoint::Release);
}

std::optional<Error> RowInserter::savepoint(Savepoint step) const {
    const Savepoints& savepoints = session_.dialect.savepoints;
    if (!session_.inTransaction && !savepoints.outsideTransaction) return std::nullopt;
    const char* sql = step == Savepoint::Set        ? savepoints.set
                      : step == Savepoint::RollBack ? savepoints.rollBack
                                                    : savepoints.release;
    if (!sql) return std::nullopt;
    try {
        const OdbcHandle statement = session_.statement();
        std::u16string text = toWide(sql);
        session_.run(statement, [&] {
            return SQLExecDirectW(statement.get(), sqlText(text), static_cast<SQLINTEGER>(text.size()));
        });
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

void RowInserter::failWhole(const Error& error, Outcome& outcome) const {
    if (!session_.inTransaction) throw error;
    if (!session_.transactionLost) {
        session_.transactionLost = Error(error.code(), texts::writeFailedUnnamed(error.description()));
    }
    std::fill(outcome.fates.begin(), outcome.fates.end(), SetFate::Failed);
    std::fill(outcome.errors.begin(), outcome.errors.end(), *session_.transactionLost);
}

RowInserter::Outcome RowInserter::run(const Rows& rows, const std::vector<std::size_t>& taken,
                                      const std::vector<bool>& included, std::size_t width) {
    const std::size_t sets = taken.size() / width;
    std::vector<std::vector<Value>> byParameter;
    std::vector<ColumnType> declared;
    for (std::size_t row = 0; row < width; ++row) {
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            if (!included[column]) continue;
            declared.push_back(columns_[column].type);
            std::vector<Value> values;
            values.reserve(sets);
            for (std::size_t set = 0; set < sets; ++set)
                values.push_back(rows[taken[set * width + row]][column].value_or(Value()));
            byParameter.push_back(std::move(values));
        }
    }
    return execute(statement(included, width), byParameter, declared, std::max<std::size_t>(sets, 1));
}

bool RowInserter::takeArrays(const OdbcHandle& prepared, std::size_t sets) {
    if (!SQL_SUCCEEDED(SQLSetStmtAttrW(prepared.get(), SQL_ATTR_PARAMSET_SIZE, attributeValue(sets), 0))) return false;
    SQLULEN taken = 0;
    SQLGetStmtAttrW(prepared.get(), SQL_ATTR_PARAMSET_SIZE, &taken, 0, nullptr);
    return taken == sets;
}

RowInserter::Outcome RowInserter::execute(const OdbcHandle& prepared,
                                          const std::vector<std::vector<Value>>& byParameter,
                                          const std::vector<ColumnType>& declared, std::size_t sets) {
    const Error unknown = failureWithoutDescription();
    Outcome outcome{std::vector<SetFate>(sets, SetFate::Saved), std::vector<Error>(sets, unknown)};
    if (!takeArrays(prepared, sets) && sets > 1) {
        // The driver takes one set at a time (a driver without arrays at all does so by itself).
        arraySets_ = 1;
        std::fill(outcome.fates.begin(), outcome.fates.end(), SetFate::Again);
        return outcome;
    }
    std::vector<SQLUSMALLINT> statuses(sets, kStatusNotReported);
    SQLULEN processed = 0;
    SQLSetStmtAttrW(prepared.get(), SQL_ATTR_PARAM_STATUS_PTR, statuses.data(), 0);
    SQLSetStmtAttrW(prepared.get(), SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0);
    // Also when a request to stop cancels the execution: the statement keeps no pointer to this call's arrays.
    struct Closing {
        SQLHSTMT statement;
        ~Closing() {
            SQLFreeStmt(statement, SQL_CLOSE);
            SQLSetStmtAttrW(statement, SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
            SQLSetStmtAttrW(statement, SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr, 0);
        }
    } closing{prepared.get()};
    ParameterArray parameters(byParameter, declared);
    parameters.bind(session_, prepared);

    const SQLRETURN rc = session_.watched(prepared, [&] { return SQLExecute(prepared.get()); });
    std::vector<Diagnostic> found =
        rc == SQL_SUCCESS ? std::vector<Diagnostic>() : diagnostics(SQL_HANDLE_STMT, prepared.get());
    // Some drivers report the later parameter sets as further results, and a trigger without
    // SET NOCOUNT ON adds results of its own: every one is read, and the errors they carry.
    passEveryResult([&] { return session_.watched(prepared, [&] { return SQLMoreResults(prepared.get()); }); },
                    [&](SQLRETURN) {
                        const auto further = diagnostics(SQL_HANDLE_STMT, prepared.get());
                        found.insert(found.end(), further.begin(), further.end());
                        return !further.empty();
                    });

    // The failure of set i: the diagnostic that names it, else the first failure reported.
    const Diagnostic* first = firstFailure(found);
    const auto errorOf = [&](std::size_t i) {
        for (const auto& diagnostic : found) {
            if (diagnostic.row == static_cast<SQLLEN>(i + 1) && diagnostic.state.rfind("01", 0) != 0) {
                return session_.failure(diagnostic);
            }
        }
        return first ? session_.failure(*first) : unknown;
    };

    SetFates settled = fatesOf(rc, statuses, processed);
    outcome.fates = std::move(settled.fates);
    bool told = false;
    for (std::size_t i = 0; i < sets; ++i) {
        if (outcome.fates[i] != SetFate::Failed) continue;
        outcome.errors[i] = errorOf(i);
        told = true;
    }
    // Also a failure no set carries may have ended the transaction on the server's side.
    if (!SQL_SUCCEEDED(rc) && !told) {
        const Error error = first ? session_.failure(*first) : unknown;
        if (settled.failureUnexplained) failWhole(error, outcome);
    }
    return outcome;
}

}  // namespace db

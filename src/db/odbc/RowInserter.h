#pragma once
// New rows of one table written with parameter arrays (SQL_ATTR_PARAMSET_SIZE, column-wise
// binding), row by row where the driver takes no arrays. Rows that assign the same columns an
// insert may leave out go together in one array.
//
// A driver that does not declare how it runs parameter arrays (SQL_PARAM_ARRAY_ROW_COUNTS; the
// SQLite ODBC driver) prepares every parameter set anew; there one set carries several rows
// (INSERT … VALUES (…), (…), …), and the rows of a set that fails are tried again one by one.
//
// Every set's fate is learned from the parameter status array (ParameterStatuses). So a failing
// row fails alone, the others keep their order, and no row counts as saved that was not: an
// execution that failed although every set reads as saved ends the transaction it ran in.
//
// A set of several rows that fails may leave the rows it inserted before the failing one
// (SQLite's FAIL keeps them); such sets run within a savepoint, which is rolled back before
// their rows go again, so that none is written twice.

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "db/Error.h"
#include "db/Value.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/ParameterStatuses.h"

namespace db {

class RowInserter {
public:
    static constexpr std::size_t kArrayRows = 500;

    RowInserter(const OdbcSession& session, std::string table, std::vector<CatalogColumn> columns);

    struct Failure {
        std::size_t row;
        Error error;
    };
    using Rows = std::span<const std::vector<std::optional<Value>>>;
    // Inserts the rows in their order (a value per column; none where nothing was assigned);
    // answers the rows that failed.
    std::vector<Failure> insert(Rows rows);

private:
    struct Outcome {
        std::vector<SetFate> fates;
        std::vector<Error> errors;  // for each set, meaningful where it failed
    };

    std::vector<bool> includedColumns(const std::vector<std::optional<Value>>& row) const;
    // The prepared insert of the columns marked in `included`, `width` rows per parameter set.
    const OdbcHandle& statement(const std::vector<bool>& included, std::size_t width);
    void insertGroup(const Rows& rows, const std::vector<std::size_t>& group, const std::vector<bool>& included,
                     std::vector<Failure>& failures);
    // Runs `taken` in sets of `width` rows; answers each set's fate.
    Outcome run(const Rows& rows, const std::vector<std::size_t>& taken, const std::vector<bool>& included,
                std::size_t width);
    // declared: the columns' types by parameter, so that every batch binds them alike.
    Outcome execute(const OdbcHandle& statement, const std::vector<std::vector<Value>>& byParameter,
                    const std::vector<ColumnType>& declared, std::size_t sets);
    bool takeArrays(const OdbcHandle& statement, std::size_t sets);
    // An execution failed although every set reads as saved: in a transaction, the transaction
    // counts as lost and every set as failed; outside one, the failure is thrown.
    void failWhole(const Error& error, Outcome& outcome) const;
    // Rolls back to the savepoint when a set failed: the sets saved with it go again.
    void undoFailedSets(Outcome& outcome);
    enum class Savepoint { Set, RollBack, Release };
    // Answers the failure of the savepoint's statement; none when it ran or has none here.
    std::optional<Error> savepoint(Savepoint step) const;

    const OdbcSession& session_;
    std::string table_;
    std::vector<CatalogColumn> columns_;
    std::map<std::pair<std::vector<bool>, std::size_t>, OdbcHandle> statements_;
    bool severalRowsPerSet_ = false;
    std::size_t arraySets_ = kArrayRows;  // 1 once the driver refused an array
};

}  // namespace db

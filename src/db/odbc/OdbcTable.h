#pragma once
// A table opened for writing through ODBC. New rows are held back and written in batches with
// parameter arrays when the batch is full, on close() and before the transaction commits
// (a rollback drops them); a row that fails is reported by the update() or close() that
// wrote it, named by its first assigned column ("fremdid=4711"). A selected row is edited in
// place by its primary key. Written behind, the batches are written by the thread of a
// WriteBehind, and each row's outcome is told for that row alone.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "db/TableRowSet.h"
#include "db/WriteBehind.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/RowInserter.h"

namespace db {

class OdbcTable : public TableRowSet {
public:
    // condition: empty for the whole table opened for adding rows, else a WHERE condition
    // whose rows are selected for editing (the row set stands on the first).
    OdbcTable(OdbcSession& session, std::string table, const std::string& condition);
    // Writes the rows still held back; close() is where their failures are reported.
    ~OdbcTable() override;
    OdbcTable(const OdbcTable&) = delete;
    OdbcTable& operator=(const OdbcTable&) = delete;

    bool writeBehind(RowOutcomes& outcomes) override;
    void settle(bool wait) override;
    void close() override;
    // Writes the rows held back; throws an error that names the rows that failed. Rows
    // written behind tell their outcomes through settle().
    void writeHeldRows();
    // Forgets the rows held back: their transaction was rolled back.
    void dropHeldRows() { held_.clear(); }

private:
    struct HeldRow {
        std::int64_t id;
        std::vector<std::optional<Value>> values;
    };

    OdbcTable(OdbcSession& session, std::string table, const std::string& condition,
              std::vector<CatalogColumn> columns);
    void selectFirst(const std::string& condition);
    void insert(Row& row) override;
    void modify(Row& row) override;
    void updateSelected(const Row& row);
    std::string describe(const std::vector<std::optional<Value>>& values) const;
    void writeRows(std::span<const WriteBehind::Values> rows, std::span<std::exception_ptr> failures);

    OdbcSession& session_;
    std::vector<CatalogColumn> catalogColumns_;
    RowInserter inserter_;
    std::vector<HeldRow> held_;
    std::int64_t nextId_ = 1;  // ids of new rows; 0 marks the selected row
    std::unique_ptr<WriteBehind> behind_;
};

}  // namespace db

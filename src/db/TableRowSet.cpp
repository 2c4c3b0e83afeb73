#include "db/TableRowSet.h"

#include "db/Error.h"
#include "db/Names.h"
#include "db/Texts.h"
#include "text/Characters.h"

namespace db {

bool TableRowSet::Row::hasChanges() const {
    for (const auto& value : assigned) {
        if (value) return true;
    }
    return !id.has_value();
}

const Value& TableRowSet::Row::storedValue(std::size_t column) const {
    static const Value null;
    return stored[column] ? *stored[column] : null;
}

namespace {

std::vector<std::string> namesOf(const std::vector<TableColumn>& columns) {
    std::vector<std::string> names;
    for (const auto& column : columns) names.push_back(column.name);
    return names;
}

}  // namespace

void TableRowSet::clearValues(std::vector<std::optional<Value>>& values) const {
    if (values.size() != columns_.size()) return values.assign(columns_.size(), std::nullopt);
    for (auto& value : values) {
        if (value) value.reset();
    }
}

TableRowSet::TableRowSet(std::string table, std::vector<TableColumn> columns)
    : table_(std::move(table)), columns_(std::move(columns)), columnPositions_(namesOf(columns_)) {}

void TableRowSet::select(std::int64_t id, std::vector<Value> stored) {
    Row row;
    row.id = id;
    row.stored.resize(columns_.size());
    for (std::size_t i = 0; i < stored.size() && i < columns_.size(); ++i) row.stored[i] = std::move(stored[i]);
    row.assigned.resize(columns_.size());
    current_ = std::move(row);
}

bool TableRowSet::atEnd() const { return !current_.has_value(); }

void TableRowSet::addNew() {
    if (current_ && current_->hasChanges()) update();
    // A new row takes the buffers of a row given up before: no allocation per row.
    Row row;
    if (spare_) row = std::move(*spare_);
    spare_.reset();
    beforeNew_ = std::move(current_);
    row.id.reset();
    clearValues(row.stored);
    clearValues(row.assigned);
    current_ = std::move(row);
}

Column TableRowSet::column(std::string_view name) const {
    return {name, columnPositions_.find(name).value_or(Column::kMissing)};
}

std::size_t TableRowSet::columnIndex(const Column& column) const {
    if (column.position < columns_.size()) return column.position;
    throw Error(kItemNotFound, texts::fieldMissing(column.name, table_));
}

TableRowSet::Row& TableRowSet::currentRow() {
    if (!current_) throw Error(kNoCurrentRow, std::string(texts::kNoCurrentRecord));
    return *current_;
}

void TableRowSet::set(const Column& column, Value&& value) {
    const std::size_t index = columnIndex(column);
    Row& row = currentRow();
    const auto& limit = columns_[index].maxChars;
    // A text has at most as many characters as bytes: only a longer one is counted.
    if (limit && value.isText() && value.text().size() > *limit) {
        const std::size_t length = text::charCount(value.text());
        if (length > *limit) {
            throw Error(kErrorsOccurred, texts::textTooLong(columns_[index].name, length, *limit, value.text()));
        }
    }
    row.assigned[index] = std::move(value);
}

const Value& TableRowSet::get(const Column& column) const {
    const std::size_t index = columnIndex(column);
    if (!current_) throw Error(kNoCurrentRow, std::string(texts::kNoCurrentRecord));
    const auto& assigned = current_->assigned[index];
    return assigned ? *assigned : current_->storedValue(index);
}

void TableRowSet::update() {
    if (!current_ || !current_->hasChanges()) return;
    Row& row = *current_;
    const bool modified = row.id.has_value();
    {
        // A failed save drops the row's pending changes: the failure is reported once, and the
        // next record does not inherit it.
        struct Settle {
            Row& row;
            bool wasNew;
            ~Settle() {
                // A new row held nothing before: it takes the assigned values over whole.
                if (wasNew) {
                    row.stored.swap(row.assigned);
                    return;
                }
                for (std::size_t i = 0; i < row.assigned.size(); ++i) {
                    if (row.assigned[i]) row.stored[i] = std::move(*row.assigned[i]);
                    row.assigned[i].reset();
                }
            }
        } settle{row, !modified};
        spare_ = std::move(beforeNew_);
        beforeNew_.reset();
        if (modified) {
            modify(row);
        } else {
            insert(row);
        }
    }
    // A row saved before is seen whole, with what it held and what was changed.
    if (modified && viewer_) viewer_->view(0, row.stored);
}

void TableRowSet::showRowsTo(RowViewer* viewer) {
    viewer_ = viewer;
    if (!viewer) return;
    viewer->columnsAre(
        [this](std::string_view name) -> std::optional<std::size_t> { return columnPositions_.find(name); });
}

void TableRowSet::showSaved(const Row& row) const {
    if (viewer_) viewer_->view(0, row.assigned);
}

void TableRowSet::cancelUpdate() {
    if (!current_) return;
    if (!current_->id) {
        current_ = std::move(beforeNew_);
        beforeNew_.reset();
        return;
    }
    for (auto& value : current_->assigned) value.reset();
}

void TableRowSet::close() {
    current_.reset();
    beforeNew_.reset();
    spare_.reset();
}

}  // namespace db

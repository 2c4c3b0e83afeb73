#include "db/HeldRowSet.h"

#include "db/Error.h"
#include "db/Texts.h"

namespace db {

HeldRowSet::HeldRowSet(RowSet& rows) {
    for (int column = 0; column < rows.columnCount(); ++column) names_.push_back(rows.columnName(column));
    for (; !rows.atEnd(); rows.moveNext()) {
        std::vector<Value> row;
        row.reserve(names_.size());
        for (int column = 0; column < rows.columnCount(); ++column) row.push_back(rows.value(column));
        rows_.push_back(std::move(row));
    }
}

void HeldRowSet::moveNext() {
    if (!atEnd()) ++current_;
}

Value HeldRowSet::value(int column) const {
    if (atEnd()) throw Error(kNoCurrentRow, std::string(texts::kNoCurrentRecord));
    if (column < 0 || column >= columnCount()) throw Error(kItemNotFound, texts::fieldNumberMissing(column));
    return rows_[current_][static_cast<std::size_t>(column)];
}

}  // namespace db

#include "db/RowSet.h"

#include "db/Error.h"
#include "db/Names.h"

namespace db {

Value RowSet::value(std::string_view column) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (sameName(columnName(i), column)) return value(i);
    }
    throw Error(kItemNotFound, "Die Spalte '" + std::string(column) + "' gibt es in der Tabelle nicht.");
}

}  // namespace db

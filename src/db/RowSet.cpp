#include "db/RowSet.h"

#include "db/Error.h"
#include "db/Names.h"
#include "db/Texts.h"

namespace db {

int RowSet::position(std::string_view column) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (sameName(columnName(i), column)) return i;
    }
    return -1;
}

Value RowSet::value(std::string_view column) const {
    if (const int at = position(column); at >= 0) return value(at);
    throw Error(kItemNotFound, texts::fieldMissing(column));
}

}  // namespace db

#pragma once
// What a Datenpool file's staging table holds, read the way a test checks it.

#include <string>
#include <vector>

#include "db/sqlite/SqliteConnection.h"

namespace testing_support {

// The values of one column of AdressenImport, in the order the rows were added.
inline std::vector<db::Value> stagingColumn(const std::string& datenpoolFile, const std::string& column) {
    const auto connection = db::SqliteConnection::open(datenpoolFile);
    std::vector<db::Value> values;
    for (auto rows = connection->execute("SELECT \"" + column + "\" FROM AdressenImport ORDER BY id"); !rows->atEnd();
         rows->moveNext()) {
        values.push_back(rows->value(0));
    }
    return values;
}

}  // namespace testing_support

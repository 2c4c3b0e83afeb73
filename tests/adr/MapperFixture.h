#pragma once
// A real Datenpool in a fresh directory with the field mapper that writes into it; the
// mapper fixture also adds a staging row, maps lines onto it and reads the columns back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ValuePrinter.h"
#include "adr/FieldMapper.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/RecordingEvents.h"
#include "support/StagingTable.h"
#include "support/TempDir.h"

namespace adr_test {

class DatenpoolFixture : public ::testing::Test {
protected:
    // The values of a column of the saved staging rows, in the order they were added.
    std::vector<db::Value> stored(const char* column) const { return testing_support::stagingColumn(pool, column); }

    testing_support::TempDir dir;
    std::string pool = dir.file("pool.db");
    std::unique_ptr<db::SqliteConnection> connection = db::SqliteConnection::create(pool);
    testing_support::RecordingEvents events;
    adr::FieldMapper mapper{events};
};

class MapperFixture : public DatenpoolFixture {
protected:
    MapperFixture() : rows(connection->openForWriting("AdressenImport")) { rows->addNew(); }
    void map(std::uint64_t fld, std::string line) { mapper.Auslesen(line, fld, *rows); }
    db::Value column(const char* name) const { return rows->get(name); }
    std::int64_t savedRows() {
        return connection->execute("SELECT COUNT(*) AS n FROM AdressenImport")->value("n").integer();
    }

    std::unique_ptr<db::EditableRowSet> rows;
};

}  // namespace adr_test

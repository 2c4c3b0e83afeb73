#pragma once
// The field mapper writing into a real Datenpool: a staging row is added, lines are mapped
// onto it and the columns read back as the row holds them.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "adr/FieldMapper.h"
#include "ValuePrinter.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/RecordingEvents.h"
#include "support/TempDir.h"

namespace adr_test {

class MapperFixture : public ::testing::Test {
protected:
    MapperFixture() : connection(db::SqliteConnection::create(dir.file("pool.db"))) {
        rows = connection->openForWriting("AdressenImport");
        rows->addNew();
    }
    void map(std::uint64_t fld, std::string line) { mapper.Auslesen(line, fld, *rows); }
    db::Value column(const char* name) const { return rows->get(name); }
    std::int64_t savedRows() {
        return connection->execute("SELECT COUNT(*) AS n FROM AdressenImport")->value("n").integer();
    }

    testing_support::TempDir dir;
    testing_support::RecordingEvents events;
    adr::FieldMapper mapper{events};
    std::unique_ptr<db::SqliteConnection> connection;
    std::unique_ptr<db::EditableRowSet> rows;
};

}  // namespace adr_test

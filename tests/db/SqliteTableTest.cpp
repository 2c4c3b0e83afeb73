// Writing rows through the editable row set of the embedded Datenpool.

#include <gtest/gtest.h>

#include "db/Error.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/TempDir.h"

namespace {

class EditableRows : public ::testing::Test {
protected:
    void SetUp() override { connection = db::SqliteConnection::create(dir.file("pool.db")); }
    std::int64_t count() { return connection->execute("SELECT COUNT(*) AS n FROM AdressenImport")->value("n").integer(); }

    testing_support::TempDir dir;
    std::unique_ptr<db::SqliteConnection> connection;
};

TEST_F(EditableRows, NewRowReadsBackWhatWasAssignedAndNullOtherwise) {
    auto rows = connection->openForWriting("AdressenImport");
    EXPECT_TRUE(rows->atEnd());
    rows->addNew();
    EXPECT_FALSE(rows->atEnd());
    rows->set("NACHNAME", "Müller");
    EXPECT_EQ(rows->get("nachname"), db::Value("Müller"));
    EXPECT_TRUE(rows->get("vorname").isNull());
    rows->update();
    auto stored = connection->execute("AdressenImport");
    EXPECT_EQ(stored->value("nachname"), db::Value("Müller"));
    EXPECT_TRUE(stored->value("vorname").isNull());
}

TEST_F(EditableRows, ValuesKeepTheirKind) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("fremdid", 4711.0);
    rows->set("Geburtstag", db::Date{1942, 7, 18});
    rows->set("telefon1", "  ");
    rows->update();
    auto stored = connection->execute("AdressenImport");
    EXPECT_EQ(stored->value("fremdid"), db::Value(4711.0));
    EXPECT_EQ(stored->value("Geburtstag"), db::Value("1942-07-18"));
    EXPECT_EQ(stored->value("telefon1"), db::Value("  "));
}

TEST_F(EditableRows, CancelledNewRowIsNeverWrittenAndUpdateWithoutChangesDoesNothing) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Erster");
    rows->update();
    rows->update();
    rows->addNew();
    rows->set("nachname", "");
    rows->cancelUpdate();
    EXPECT_FALSE(rows->atEnd()) << "back on the row saved before";
    rows->update();
    EXPECT_EQ(count(), 1);
}

TEST_F(EditableRows, AddNewSavesThePendingRowFirst) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Eins");
    rows->addNew();
    rows->set("nachname", "Zwei");
    rows->update();
    EXPECT_EQ(count(), 2);
}

TEST_F(EditableRows, SelectedRowIsEditedInPlace) {
    {
        auto rows = connection->openForWriting("AdressenImport");
        for (double id : {7.0, 8.0}) {
            rows->addNew();
            rows->set("fremdid", id);
            rows->set("nachname", "alt");
            rows->set("vorname", "bleibt");
            rows->update();
        }
    }
    auto selected = connection->openForWriting("AdressenImport WHERE fremdid=8");
    ASSERT_FALSE(selected->atEnd());
    EXPECT_EQ(selected->get("vorname"), db::Value("bleibt"));
    selected->set("nachname", "neu");
    selected->update();
    EXPECT_EQ(count(), 2);
    auto rows = connection->execute("SELECT nachname, vorname FROM AdressenImport ORDER BY id");
    EXPECT_EQ(rows->value("nachname"), db::Value("alt"));
    rows->moveNext();
    EXPECT_EQ(rows->value("nachname"), db::Value("neu"));
    EXPECT_EQ(rows->value("vorname"), db::Value("bleibt"));

    auto none = connection->openForWriting("AdressenImport WHERE fremdid=9");
    EXPECT_TRUE(none->atEnd());
}

TEST_F(EditableRows, UnknownColumnAndOverlongTextAreRefusedNeverCut) {
    connection->runScript("CREATE TABLE Kurz (id INTEGER PRIMARY KEY, name VARCHAR(5))");
    auto rows = connection->openForWriting("Kurz");
    rows->addNew();
    try {
        rows->set("gibtsnicht", "x");
        FAIL();
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kItemNotFound);
        EXPECT_NE(std::string(error.description()).find("gibtsnicht"), std::string::npos);
    }
    rows->set("name", "Äöüß!");  // five characters, ten bytes
    try {
        rows->set("name", "Müller");
        FAIL();
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kErrorsOccurred);
        EXPECT_FALSE(db::isSilent(error.code()));
        EXPECT_NE(std::string(error.description()).find("höchstens 5 Zeichen"), std::string::npos);
    }
    rows->update();
    EXPECT_EQ(connection->execute("Kurz")->value("name"), db::Value("Äöüß!"));
}

TEST_F(EditableRows, FailedSaveIsReportedOnceAndTheNextRowIsClean) {
    connection->runScript("CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, name TEXT NOT NULL, ort TEXT)");
    auto rows = connection->openForWriting("Pflicht");
    rows->addNew();
    rows->set("ort", "Berlin");
    try {
        rows->update();
        FAIL();
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kIntegrityViolation);
    }
    rows->addNew();
    rows->set("name", "Zweite");
    rows->update();
    auto stored = connection->execute("Pflicht");
    EXPECT_EQ(stored->value("name"), db::Value("Zweite"));
    EXPECT_TRUE(stored->value("ort").isNull()) << "the failed row's values must not leak into the next";
}

TEST_F(EditableRows, SourceThatNamesNoTableIsAnError) {
    EXPECT_THROW(connection->openForWriting("GibtsNicht"), db::Error);
    EXPECT_THROW(connection->openForWriting("SELECT 1"), db::Error);
}

TEST_F(EditableRows, TransactionKeepsOrDropsTheRows) {
    connection->beginTransaction();
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "verworfen");
    rows->update();
    connection->rollback();
    EXPECT_EQ(count(), 0);
    connection->beginTransaction();
    rows->addNew();
    rows->set("nachname", "bleibt");
    rows->update();
    connection->commit();
    EXPECT_EQ(count(), 1);
}

TEST_F(EditableRows, SecondWriterIsRefusedWhileTheFirstHoldsTheDatenpool) {
    auto other = db::SqliteConnection::open(dir.file("pool.db"));
    other->runScript("PRAGMA busy_timeout = 0");
    connection->beginTransaction();
    try {
        other->beginTransaction();
        FAIL() << "two writers at once";
    } catch (const db::Error& error) {
        EXPECT_FALSE(db::isSilent(error.code()));
        EXPECT_NE(std::string(error.description()).find("locked"), std::string::npos) << error.description();
    }
    connection->rollback();
}

}  // namespace

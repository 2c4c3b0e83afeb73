// The embedded Datenpool reads command texts three ways and translates the two T-SQL statements.

#include <gtest/gtest.h>

#include "db/Error.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/TempDir.h"

namespace {

class CommandTexts : public ::testing::Test {
protected:
    void SetUp() override {
        connection = db::SqliteConnection::create(dir.file("pool.db"));
        auto rows = connection->openForWriting("AdressenImport");
        for (const char* name : {"Ahrens", "Bauer", "Claasen"}) {
            rows->addNew();
            rows->set("nachname", name);
            rows->update();
        }
        rows->close();
    }
    std::vector<std::string> surnames(const std::string& commandText) {
        std::vector<std::string> names;
        for (auto rows = connection->execute(commandText); !rows->atEnd(); rows->moveNext()) {
            names.push_back(rows->value("nachname").toText());
        }
        return names;
    }

    testing_support::TempDir dir;
    std::unique_ptr<db::SqliteConnection> connection;
};

TEST_F(CommandTexts, BareTableNameSelectsAllRowsWhateverItsCase) {
    EXPECT_EQ(surnames("AdressenImport"), (std::vector<std::string>{"Ahrens", "Bauer", "Claasen"}));
    EXPECT_EQ(surnames("  Adressenimport "), (std::vector<std::string>{"Ahrens", "Bauer", "Claasen"}));
}

TEST_F(CommandTexts, TableNameWithConditionSelectsMatchingRows) {
    EXPECT_EQ(surnames("AdressenImport WHERE id=2"), (std::vector<std::string>{"Bauer"}));
    EXPECT_EQ(surnames("adressenimport where nachname like 'C%'"), (std::vector<std::string>{"Claasen"}));
}

TEST_F(CommandTexts, RoutineNameRunsTheStoredRoutine) {
    connection->execute("AdressImport");
    auto count = connection->execute("SELECT COUNT(*) AS n FROM Adressen");
    EXPECT_EQ(count->value("n").integer(), 3);
    EXPECT_NO_THROW(connection->execute("datenpflege"));
}

TEST_F(CommandTexts, AnyOtherTextRunsAsStatement) {
    connection->execute("DELETE FROM AdressenImport WHERE nachname = 'Bauer'");
    EXPECT_EQ(surnames("AdressenImport"), (std::vector<std::string>{"Ahrens", "Claasen"}));
}

TEST_F(CommandTexts, TruncateEmptiesTheTableAndRestartsItsIds) {
    connection->execute("truncate table AdressenImport");
    EXPECT_TRUE(surnames("AdressenImport").empty());
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Neu");
    rows->update();
    EXPECT_EQ(connection->execute("SELECT id FROM AdressenImport")->value("id").integer(), 1);
}

TEST_F(CommandTexts, ReseedMakesTheNextIdFollowTheGivenValue) {
    connection->execute("AdressImport");
    connection->execute("DELETE FROM Adressen WHERE id>1 AND id<=3");
    connection->execute("DBCC CHECKIDENT('Adressen', RESEED, 1)");
    connection->execute("AdressImport");
    EXPECT_EQ(connection->execute("SELECT MIN(id) AS lo FROM Adressen WHERE id > 1")->value("lo").integer(), 2);

    connection->execute("DELETE FROM Adressen");
    connection->execute("dbcc checkident ('Adressen', reseed, 0)");
    connection->execute("AdressImport");
    EXPECT_EQ(connection->execute("SELECT MIN(id) AS lo FROM Adressen")->value("lo").integer(), 1);
}

TEST_F(CommandTexts, FailuresCarryTheTwoOleDbCodes) {
    try {
        connection->execute("SELEC nachname FROM AdressenImport");
        FAIL() << "syntax error passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kErrorsInCommand);
        EXPECT_NE(std::string(error.description()).find("syntax"), std::string::npos);
    }
    try {
        connection->execute("NoSuchTable");
        FAIL() << "unknown object passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kErrorsInCommand);
    }
    connection->runScript("CREATE TABLE Einmalig (wert TEXT UNIQUE); INSERT INTO Einmalig VALUES ('x');");
    try {
        connection->execute("INSERT INTO Einmalig VALUES ('x')");
        FAIL() << "constraint violation passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kIntegrityViolation);
    }
}

TEST_F(CommandTexts, PropertiesNameTheFileAndCatalog) {
    EXPECT_EQ(connection->property("Data Source"), dir.file("pool.db"));
    EXPECT_EQ(connection->property("Initial Catalog"), "main");
    EXPECT_THROW(connection->property("Provider Version"), db::Error);
}

TEST(Datenpool, CreateRefusesAnExistingFileAndOpenAMissingOne) {
    testing_support::TempDir dir;
    const std::string path = dir.write("schon-da.db", "kein Datenpool");
    EXPECT_THROW(db::SqliteConnection::create(path), db::Error);
    EXPECT_THROW(db::SqliteConnection::open(dir.file("fehlt.db")), db::Error);
}

}  // namespace

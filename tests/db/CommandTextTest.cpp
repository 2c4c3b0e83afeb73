// Both backends read command texts three ways and translate the two T-SQL statements; a script
// reaches the SQLite ODBC driver one statement at a time.

#include <gtest/gtest.h>

#include "db/Backends.h"
#include "db/Error.h"
#include "db/TsqlTranslation.h"
#include "db/odbc/SqliteStatements.h"
#include "support/ReadOnly.h"
#include "support/RunCli.h"

namespace {

using db_tests::Backend;

class CommandTexts : public db_tests::DatenpoolTest {
protected:
    void SetUp() override {
        DatenpoolTest::SetUp();
        stage({"Ahrens", "Bauer", "Claasen"});
    }
    std::vector<std::string> surnames(const std::string& commandText) {
        std::vector<std::string> names;
        for (auto rows = connection->execute(commandText); !rows->atEnd(); rows->moveNext()) {
            names.push_back(rows->value("nachname").toText());
        }
        return names;
    }
    std::int64_t number(const std::string& query) {
        const db::Value value = connection->execute(query)->value(0);
        return value.isInteger() ? value.integer() : -1;
    }
};

TEST_P(CommandTexts, BareTableNameSelectsAllRowsWhateverItsCase) {
    EXPECT_EQ(surnames("AdressenImport"), (std::vector<std::string>{"Ahrens", "Bauer", "Claasen"}));
    EXPECT_EQ(surnames("  Adressenimport "), (std::vector<std::string>{"Ahrens", "Bauer", "Claasen"}));
}

TEST_P(CommandTexts, TableNameWithConditionSelectsMatchingRows) {
    EXPECT_EQ(surnames("AdressenImport WHERE id=2"), (std::vector<std::string>{"Bauer"}));
    EXPECT_EQ(surnames("adressenimport where nachname like 'C%'"), (std::vector<std::string>{"Claasen"}));
}

TEST_P(CommandTexts, FieldThatAResultLacksIsNamedByNameOrNumber) {
    const auto rows = connection->execute("SELECT 1 AS eins");
    try {
        rows->value("zwei");
        FAIL() << "a missing field was read";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kItemNotFound);
        EXPECT_STREQ(error.description(), "Das Feld 'zwei' fehlt.");
    }
    try {
        rows->value(1);
        FAIL() << "a missing field was read";
    } catch (const db::Error& error) {
        EXPECT_STREQ(error.description(), "Das Feld Nr. 1 fehlt.");
    }
}

TEST_P(CommandTexts, RoutineNameRunsTheStoredRoutine) {
    connection->execute("AdressImport");
    EXPECT_EQ(number("SELECT COUNT(*) AS n FROM Adressen"), 3);
    EXPECT_EQ(surnames("SELECT nachname FROM Adressen ORDER BY id"),
              (std::vector<std::string>{"Ahrens", "Bauer", "Claasen"}));
    EXPECT_NO_THROW(connection->execute("datenpflege"));
}

// The import calls its routines by name alone; a table is no routine, and a missing one is named.
TEST_P(CommandTexts, RoutineCalledByNameRunsOnlyARoutine) {
    connection->callRoutine("AdressImport");
    EXPECT_EQ(number("SELECT COUNT(*) AS n FROM Adressen"), 3);
    EXPECT_NO_THROW(connection->callRoutine("Datenpflege"));
    for (const char* name : {"AdressenImport", "Fehlt"}) {
        try {
            connection->callRoutine(name);
            FAIL() << name << " ran";
        } catch (const db::Error& error) {
            EXPECT_EQ(std::string(error.description()),
                      "Im Datenpool fehlt die Routine " + std::string(name) + "; das Datenbankskript legt sie an.");
        }
    }
}

TEST_P(CommandTexts, RoutineThatFailsAfterItsRowsIsReported) {
    connection->execute("CREATE TABLE Zahlen (id INTEGER PRIMARY KEY)");
    connection->execute(
        "INSERT INTO Routinen (Name, Rumpf) VALUES ('Zweiteilig', "
        "'SELECT nachname FROM AdressenImport; INSERT INTO Zahlen (id) VALUES (''keine Zahl'');')");
    try {
        connection->execute("Zweiteilig");
        FAIL() << "the failure after the rows passed";
    } catch (const db::Error& error) {
        EXPECT_FALSE(db::isSilent(error.code())) << error.description();
    }
}

TEST_P(CommandTexts, AnyOtherTextRunsAsStatement) {
    connection->execute("DELETE FROM AdressenImport WHERE nachname = 'Bauer'");
    EXPECT_EQ(surnames("AdressenImport"), (std::vector<std::string>{"Ahrens", "Claasen"}));
}

TEST_P(CommandTexts, SeveralStatementsRunInTurnAndTheLastGivesTheRows) {
    const auto rows = connection->execute(
        "UPDATE AdressenImport SET vorname = 'Anna' WHERE id = 1; SELECT vorname FROM AdressenImport WHERE id = 1");
    EXPECT_EQ(rows->value("vorname"), db::Value("Anna"));
}

// A semicolon in a literal or a trigger's body ends no statement: a statement that begins with
// a write is one the SQLite ODBC driver takes only alone.
TEST_P(CommandTexts, ScriptWithTriggerAndQuotedSemicolonsRunsWhole) {
    connection->execute(
        "UPDATE AdressenImport SET Bemerkungen = 'a;b' WHERE id = 1;\n"
        "CREATE TRIGGER Nachgetragen AFTER INSERT ON AdressenImport BEGIN\n"
        "  UPDATE AdressenImport SET vorname = CASE WHEN NEW.nachname = 'Dorn' THEN 'D;' END WHERE id = NEW.id;\n"
        "  UPDATE AdressenImport SET Beruf = 'nachgetragen; von Hand' WHERE id = NEW.id;\n"
        "END;\n"
        "INSERT INTO AdressenImport (nachname) VALUES ('Dorn');");
    const auto rows = connection->execute("SELECT vorname, Beruf FROM AdressenImport WHERE nachname = 'Dorn'");
    EXPECT_EQ(rows->value("vorname"), db::Value("D;"));
    EXPECT_EQ(rows->value("Beruf"), db::Value("nachgetragen; von Hand"));
    EXPECT_EQ(surnames("AdressenImport WHERE Bemerkungen = 'a;b'"), (std::vector<std::string>{"Ahrens"}));
}

TEST_P(CommandTexts, ScriptThatEndsInACommentGivesTheRowsOfItsLastStatement) {
    const auto rows = connection->execute(
        "UPDATE AdressenImport SET vorname = 'Anna' WHERE id = 1; -- die erste\n"
        "SELECT vorname FROM AdressenImport WHERE id = 1; -- und nur sie\n/* Ende */");
    EXPECT_EQ(rows->value("vorname"), db::Value("Anna"));
}

TEST_P(CommandTexts, TruncateEmptiesTheTableAndRestartsItsIds) {
    connection->execute("truncate table AdressenImport");
    EXPECT_TRUE(surnames("AdressenImport").empty());
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Neu");
    rows->update();
    rows->close();
    EXPECT_EQ(number("SELECT id FROM AdressenImport"), 1);
}

TEST_P(CommandTexts, ReseedMakesTheNextIdFollowTheGivenValue) {
    connection->execute("AdressImport");
    connection->execute("DELETE FROM Adressen WHERE id>1 AND id<=3");
    connection->execute("DBCC CHECKIDENT('Adressen', RESEED, 1)");
    connection->execute("AdressImport");
    EXPECT_EQ(number("SELECT MIN(id) AS lo FROM Adressen WHERE id > 1"), 2);

    connection->execute("DELETE FROM Adressen");
    connection->execute("dbcc checkident ('Adressen', reseed, 0)");
    connection->execute("AdressImport");
    EXPECT_EQ(number("SELECT MIN(id) AS lo FROM Adressen"), 1);
}

TEST_P(CommandTexts, FailuresCarryTheTwoOleDbCodes) {
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
    connection->execute("CREATE TABLE Einmalig (wert TEXT UNIQUE); INSERT INTO Einmalig VALUES ('x');");
    try {
        connection->execute("INSERT INTO Einmalig VALUES ('x')");
        FAIL() << "constraint violation passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kIntegrityViolation);
    }
}

TEST_P(CommandTexts, OtherFailuresKeepTheDatabaseOwnCodeAndText) {
    connection->execute("CREATE TABLE Zahlen (id INTEGER PRIMARY KEY)");
    try {
        connection->execute("INSERT INTO Zahlen (id) VALUES ('keine Zahl')");
        FAIL() << "a text in the rowid column passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), 20);  // SQLITE_MISMATCH
        EXPECT_FALSE(db::isSilent(error.code()));
        EXPECT_NE(std::string(error.description()).find("datatype mismatch"), std::string::npos) << error.description();
    }
}

TEST_P(CommandTexts, PropertiesNameTheFileAndCatalog) {
    const std::string file =
        GetParam() == Backend::Odbc ? testing_support::hostPath(dir.file("pool.db")) : dir.file("pool.db");
    EXPECT_EQ(connection->property("Data Source"), file);
    EXPECT_EQ(connection->property("Initial Catalog"), "main");
    EXPECT_THROW(connection->property("Provider Version"), db::Error);
}

TEST_P(CommandTexts, TextsKeepEveryCharacterBothWays) {
    // In the statement's own text: every character of Windows-1252, which is all a conversion
    // produces (unixODBC hands an ANSI driver no characters beyond the BMP in SQL text).
    const std::string literal = "Grüße, Œuvre € – ÿ";
    connection->execute("UPDATE AdressenImport SET vorname = '" + literal + "' WHERE id = 1");
    EXPECT_EQ(connection->execute("SELECT vorname FROM AdressenImport WHERE id = 1")->value(0), db::Value(literal));
    EXPECT_EQ(number("SELECT COUNT(*) FROM AdressenImport WHERE vorname = '" + literal + "'"), 1);

    // As a value of a row: any character.
    const std::string any = "Grüße 😀 𝄞";
    auto rows = connection->openForWriting("AdressenImport WHERE id = 2");
    rows->set("vorname", any);
    rows->update();
    rows->close();
    EXPECT_EQ(connection->execute("SELECT vorname FROM AdressenImport WHERE id = 2")->value(0), db::Value(any));
}

TEST_P(CommandTexts, CatalogNamesTablesAndViewsWithoutReadingTheirRows) {
    EXPECT_TRUE(connection->hasTable("AdressenImport"));
    EXPECT_TRUE(connection->hasTable("adressenimport")) << "names compare without regard to case";
    EXPECT_FALSE(connection->hasTable("AdressenImprt"));
    EXPECT_FALSE(connection->hasTable("AdressImport")) << "a routine is no table";
    // A view whose table is gone: its rows cannot be read, the catalog still names it.
    connection->execute("CREATE TABLE Verschwunden (nachname TEXT)");
    connection->execute("CREATE VIEW Kaputt AS SELECT nachname FROM Verschwunden");
    connection->execute("DROP TABLE Verschwunden");
    EXPECT_THROW(connection->execute("Kaputt"), db::Error);
    EXPECT_TRUE(connection->hasTable("Kaputt"));
}

TEST_P(CommandTexts, DatenpoolThatTakesNoWritesSaysWhyBeforeAnyWrite) {
    EXPECT_EQ(connection->whyReadOnly(), std::nullopt);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no probe file left beside it";
    connection.reset();
    const auto reopened = [&] {
        return GetParam() == Backend::Embedded ? db::openConnection("Provider=SQLite; Data Source=" + file())
                                               : db::openConnection(db_tests::odbcConnectionStringFor(file()));
    };
    {
        const testing_support::ReadOnly readOnly(file());
        if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
        EXPECT_EQ(reopened()->whyReadOnly(), "die Datei lässt sich nicht beschreiben");
    }
    const testing_support::ReadOnly readOnlyFolder(dir.path().string());
    if (!readOnlyFolder.made()) GTEST_SKIP() << "this file system cannot make the folder read-only";
    const std::optional<std::string> why = reopened()->whyReadOnly();
    ASSERT_TRUE(why);
    EXPECT_TRUE(
        why->starts_with("im Ordner \"") &&
        why->ends_with("\" lässt sich keine Datei anlegen; dort legt der Datenpool beim Schreiben sein Journal an"))
        << *why;
}

INSTANTIATE_FOR_BOTH_BACKENDS(CommandTexts);

TEST(TsqlTranslation, ReadsBothStatementsInAnyCaseAndSpacing) {
    const std::string emptied =
        "DELETE FROM AdressenImport; DELETE FROM sqlite_sequence WHERE name = 'AdressenImport' COLLATE NOCASE;";
    EXPECT_EQ(db::translateTsql("truncate table AdressenImport"), emptied);
    EXPECT_EQ(db::translateTsql(" \tTRUNCATE\n  Table  AdressenImport ; \r\n"), emptied);
    const auto reseeded = db::translateTsql("dbcc  CheckIdent ( 'Adr_2' ,RESEED,\t-17 ) ;");
    ASSERT_TRUE(reseeded.has_value());
    EXPECT_NE(reseeded->find("SELECT name, -17 FROM sqlite_master WHERE type = 'table' AND name = 'Adr_2'"),
              std::string::npos);
    EXPECT_NE(db::translateTsql("DBCC CHECKIDENT('Adressen', RESEED, 123456789012345678)"), std::nullopt);
}

TEST(TsqlTranslation, LeavesEveryOtherTextAlone) {
    for (const char* other :
         {"truncatetable AdressenImport", "truncate tableAdressenImport", "truncate table 1abc",
          "truncate table AdressenImport;;", "truncate table Adressen Import", "truncate table",
          "DBCC CHECKIDENT('Adressen', RESEED, 1234567890123456789)", "DBCC CHECKIDENT('Adressen', RESEED, -)",
          "DBCC CHECKIDENT(Adressen, RESEED, 1)", "DBCC CHECKIDENT('Adressen', RESEED, 1",
          "DBCCCHECKIDENT('Adressen', RESEED, 1)", "DBCC CHECKIDENT('Adressen', NORESEED, 1)", "SELECT 1", ""}) {
        EXPECT_EQ(db::translateTsql(other), std::nullopt) << other;
    }
}

using Statements = std::vector<std::string>;

TEST(SqliteStatements, EachStatementEndsAtItsSemicolonAndKeepsWhatCameBefore) {
    EXPECT_EQ(db::splitSqliteStatements("CREATE TABLE a (x); INSERT INTO a VALUES (1);SELECT x FROM a"),
              (Statements{"CREATE TABLE a (x);", " INSERT INTO a VALUES (1);", "SELECT x FROM a"}));
    EXPECT_EQ(db::splitSqliteStatements("SELECT 1;;\n ;\t"), (Statements{"SELECT 1;"})) << "empty ones are dropped";
    EXPECT_EQ(db::splitSqliteStatements(" ;\r\n"), Statements{});
    EXPECT_EQ(db::splitSqliteStatements(""), Statements{});
}

TEST(SqliteStatements, SemicolonInALiteralOrQuotedNameEndsNothing) {
    EXPECT_EQ(
        db::splitSqliteStatements("INSERT INTO a VALUES ('x;y', 'it''s; so'); SELECT \"a;b\", [c;d], `e;f` FROM t;"),
        (Statements{"INSERT INTO a VALUES ('x;y', 'it''s; so');", " SELECT \"a;b\", [c;d], `e;f` FROM t;"}));
    EXPECT_EQ(db::splitSqliteStatements("SELECT 'offen; SELECT 2;"), (Statements{"SELECT 'offen; SELECT 2;"}))
        << "a literal that never ends runs to the end";
}

TEST(SqliteStatements, SemicolonInACommentEndsNothing) {
    EXPECT_EQ(db::splitSqliteStatements("-- eins; zwei\nSELECT 1; /* drei; */ SELECT 2 -- vier;"),
              (Statements{"-- eins; zwei\nSELECT 1;", " /* drei; */ SELECT 2 -- vier;"}));
    EXPECT_EQ(db::splitSqliteStatements("SELECT 1; /* offen; SELECT 2;"), (Statements{"SELECT 1;"}))
        << "a comment that never ends runs to the end";
    EXPECT_EQ(db::splitSqliteStatements("SELECT 4-2; SELECT 4/2;"), (Statements{"SELECT 4-2;", " SELECT 4/2;"}));
}

TEST(SqliteStatements, CommentsAloneAreNoStatement) {
    EXPECT_EQ(db::splitSqliteStatements("SELECT 1; -- danach\n/* Ende; */ ; -- wirklich"), (Statements{"SELECT 1;"}));
    EXPECT_EQ(db::splitSqliteStatements("-- nur ein Kommentar"), Statements{});
    EXPECT_EQ(db::splitSqliteStatements("/* davor */ SELECT 1"), (Statements{"/* davor */ SELECT 1"}));
}

TEST(SqliteStatements, TriggerEndsOnlyAfterTheEndOfItsBody) {
    const std::string trigger =
        "CREATE TRIGGER t AFTER INSERT ON a BEGIN\n"
        "  UPDATE a SET x = CASE WHEN NEW.x > 0 THEN 1 END;\n"
        "  DELETE FROM b; -- END;\n"
        "END;";
    EXPECT_EQ(db::splitSqliteStatements(trigger + " INSERT INTO a VALUES (1);"),
              (Statements{trigger, " INSERT INTO a VALUES (1);"}));
    EXPECT_EQ(
        db::splitSqliteStatements("create temp trigger t before delete on a begin select 1; end /* ; */ ; select 2"),
        (Statements{"create temp trigger t before delete on a begin select 1; end /* ; */ ;", " select 2"}));
    EXPECT_EQ(db::splitSqliteStatements("CREATE TEMPORARY TRIGGER t BEGIN SELECT 1;END;"),
              (Statements{"CREATE TEMPORARY TRIGGER t BEGIN SELECT 1;END;"}));
    // Only a statement that begins so is a trigger.
    EXPECT_EQ(db::splitSqliteStatements("CREATE TABLE trigger_log (x); SELECT 'CREATE TRIGGER'; SELECT 1;"),
              (Statements{"CREATE TABLE trigger_log (x);", " SELECT 'CREATE TRIGGER';", " SELECT 1;"}));
    EXPECT_EQ(db::splitSqliteStatements("SELECT 1 AS create_trigger; SELECT 2;"),
              (Statements{"SELECT 1 AS create_trigger;", " SELECT 2;"}));
}

TEST(SqliteStatements, DatenpoolScriptGoesStatementByStatement) {
    const Statements statements =
        db::splitSqliteStatements(testing_support::readWhole(SCHEMA_DIR "/datenpool.sqlite.sql"));
    ASSERT_EQ(statements.size(), 6u);
    EXPECT_NE(statements[0].find("PRAGMA foreign_keys = ON;"), std::string::npos);
    EXPECT_NE(statements[4].find("FROM AdressenImport ORDER BY id;\n');"), std::string::npos)
        << "the routine's body is one literal: " << statements[4];
    EXPECT_NE(statements[5].find("'Datenpflege', 'ANALYZE Adressen;');"), std::string::npos);
}

TEST(Datenpool, CreateRefusesAnExistingFileAndOpenAMissingOne) {
    testing_support::TempDir dir;
    const std::string path = dir.write("schon-da.db", "kein Datenpool");
    EXPECT_THROW(db::SqliteConnection::create(path), db::Error);
    EXPECT_THROW(db::SqliteConnection::open(dir.file("fehlt.db")), db::Error);
}

TEST(Datenpool, FileThatIsNoDatabaseSaysSo) {
    testing_support::TempDir dir;
    const std::string path = dir.write("text.db", "Dies ist eine Textdatei und kein Datenpool.\n");
    try {
        db::SqliteConnection::open(path);
        FAIL() << "a text file opened as Datenpool";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.kind(), db::Error::Kind::notADatabase) << error.description();
    }
}

TEST(Datenpool, ReadOnlyFileRefusesWritesAndSaysSo) {
    testing_support::TempDir dir;
    const std::string path = dir.file("pool.db");
    db::SqliteConnection::create(path);
    const testing_support::ReadOnly readOnly(path);
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only";
    const auto connection = db::SqliteConnection::open(path);
    try {
        connection->beginTransaction();
        FAIL() << "a write transaction on a read-only Datenpool";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.kind(), db::Error::Kind::readOnly) << error.description();
    }
}

}  // namespace

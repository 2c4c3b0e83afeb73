// What the ODBC catalog tells about a table: its columns in order, the declared text lengths,
// the columns an insert may leave out, and the primary key.

#include <gtest/gtest.h>

#include "db/Backends.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcText.h"
#include "db/odbc/SqlServerProbes.h"

namespace {

class Catalog : public ::testing::Test {
protected:
    void SetUp() override {
        db::SqliteConnection::create(dir.file("pool.db"))
            ->runScript(
                "CREATE TABLE Probe (id INTEGER PRIMARY KEY AUTOINCREMENT, name VARCHAR(5) NOT NULL, "
                "ort TEXT DEFAULT 'Köln', leer TEXT DEFAULT NULL, betrag FLOAT)");
        connection = environment.allocate(SQL_HANDLE_DBC);
        std::u16string text = db::toWide(db_tests::odbcConnectionStringFor(dir.file("pool.db")));
        ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnectW(connection.get(), nullptr, db::sqlText(text),
                                                    static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                                    SQL_DRIVER_NOPROMPT)));
        session.connection = connection.get();
        session.dialect = db::dialectOf("SQLite");
    }
    void TearDown() override {
        if (connection.get()) SQLDisconnect(connection.get());
    }

    testing_support::TempDir dir;
    db::OdbcHandle environment = db::OdbcHandle::environment();
    db::OdbcHandle connection;
    db::OdbcSession session;
};

TEST_F(Catalog, ColumnsWithLengthsAndWhatAnInsertMayLeaveOut) {
    const auto columns = db::tableColumns(session, "probe");
    ASSERT_EQ(columns.size(), 5u);
    std::vector<std::string> names;
    for (const auto& column : columns) names.push_back(column.name);
    EXPECT_EQ(names, (std::vector<std::string>{"id", "name", "ort", "leer", "betrag"}));
    EXPECT_TRUE(columns[0].omittable) << "the counted id";
    EXPECT_FALSE(columns[1].omittable);
    EXPECT_TRUE(columns[2].omittable) << "a default";
    EXPECT_FALSE(columns[3].omittable) << "a null default is no default";
    EXPECT_FALSE(columns[4].omittable);
    EXPECT_EQ(columns[1].maxChars, 5u);
    EXPECT_TRUE(db::isTextType(columns[1].type.sqlType)) << columns[1].type.sqlType;
    EXPECT_EQ(columns[1].type.size, 5u);
    EXPECT_FALSE(db::isTextType(columns[4].type.sqlType)) << "FLOAT: " << columns[4].type.sqlType;
    EXPECT_NE(columns[4].type.sqlType, 0);
    EXPECT_FALSE(columns[2].maxChars) << "TEXT has no declared length";
    EXPECT_FALSE(columns[4].maxChars);
}

TEST_F(Catalog, TablesProceduresAndKeys) {
    EXPECT_EQ(db::findTable(session, "PROBE"), "Probe");
    EXPECT_EQ(db::findTable(session, "Adressenimport"), "AdressenImport");
    EXPECT_FALSE(db::findTable(session, "Prob"));
    EXPECT_FALSE(db::isProcedure(session, "AdressImport")) << "SQLite keeps its routines in a table";
    EXPECT_EQ(db::primaryKey(session, "Probe"), std::vector<std::string>{"id"});
}

TEST_F(Catalog, CursorIsClosedWhenTheRowsAreReadOrTheSearchStopsEarly) {
    // Without MARS, SQL Server takes no other statement while a catalog result is still open.
    for (const bool stopEarly : {true, false}) {
        const db::OdbcHandle statement = session.statement();
        std::u16string table = u"Probe";
        ASSERT_TRUE(SQL_SUCCEEDED(
            SQLColumnsW(statement.get(), nullptr, 0, nullptr, 0, db::sqlText(table), SQL_NTS, nullptr, 0)));
        int rows = 0;
        db::forEachRow(session, statement, [&] { return ++rows < 2 || !stopEarly; });
        EXPECT_EQ(rows, stopEarly ? 2 : 5);
        EXPECT_EQ(SQLFetch(statement.get()), SQL_ERROR) << "no open cursor left to fetch from";
    }
}

TEST_F(Catalog, NamesAreQuotedAsTheDatabaseWantsThem) {
    EXPECT_EQ(session.quoted("Adressen"), "\"Adressen\"");
    EXPECT_EQ(session.quoted("a\"b"), "\"a\"\"b\"");
    session.dialect = db::dialectOf("Microsoft SQL Server");  // brackets need no QUOTED_IDENTIFIER
    EXPECT_EQ(session.quoted("AdressenImport"), "[AdressenImport]");
    EXPECT_EQ(session.quoted("a]b"), "[a]]b]");
}

TEST(SqlServerProbes, AskTheMetadataFunctionsAndReadNoRowOfTheTable) {
    // A statement that reads the table waits for the schema lock of another session's TRUNCATE
    // until its timeout; the metadata functions answer at once.
    EXPECT_EQ(db::sqlServerTableExists("AdressenImport"),
              "SELECT CASE WHEN OBJECT_ID(N'[AdressenImport]', N'U') IS NOT NULL OR "
              "OBJECT_ID(N'[AdressenImport]', N'V') IS NOT NULL THEN 1 ELSE 0 END");
    EXPECT_NE(db::sqlServerTableExists("a.b]c'd").find("OBJECT_ID(N'[a.b]]c''d]', N'U')"), std::string::npos)
        << "a dot, a bracket and a quote stay within the one name: " << db::sqlServerTableExists("a.b]c'd");
    const std::string readOnly = db::kSqlServerReadOnly;
    EXPECT_NE(readOnly.find("DATABASEPROPERTYEX(DB_NAME(), 'Updateability') = 'READ_ONLY'"), std::string::npos);
    EXPECT_EQ(readOnly.find("FROM"), std::string::npos);
}

}  // namespace

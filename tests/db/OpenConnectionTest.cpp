// Opening what a connection string names: the embedded Datenpool, an ODBC data source, SQL
// Server through its driver, or nothing usable.

#include <gtest/gtest.h>

#include <algorithm>

#include "db/Backends.h"
#include "db/Error.h"
#include "db/odbc/SqlServerDriver.h"

namespace {

using testing_support::hostPath;

constexpr const char* kNoDataSource =
    "Der Datenquellenname wurde nicht gefunden, und es wurde kein Standardtreiber angegeben.";

db::Error openingError(const std::string& connectionString) {
    try {
        db::openConnection(connectionString);
    } catch (const db::Error& error) {
        return error;
    }
    ADD_FAILURE() << "opened: " << connectionString;
    return db::Error(0, "");
}

class OpenConnection : public ::testing::Test {
protected:
    void SetUp() override { db::SqliteConnection::create(file); }
    testing_support::TempDir dir;
    const std::string file = dir.file("pool.db");
};

TEST_F(OpenConnection, SqliteProviderOpensTheEmbeddedDatenpool) {
    const auto connection = db::openConnection("Provider=SQLite; Data Source=" + file + "; ");
    EXPECT_EQ(connection->property("Data Source"), file);
    EXPECT_EQ(connection->property("Initial Catalog"), "main");
    EXPECT_TRUE(connection->execute("AdressenImport")->atEnd());

    const db::Error missing = openingError("Provider=SQLite; Data Source=" + dir.file("fehlt.db") + "; ");
    EXPECT_NE(std::string(missing.description()).find("existiert nicht"), std::string::npos) << missing.description();

#ifndef _WIN32
    // A name too long for the file system names no file that could be there: its length is the reason.
    const db::Error tooLong = openingError("Provider=SQLite; Data Source=" + dir.file(std::string(260, 'x')) + "; ");
    EXPECT_NE(std::string(tooLong.description()).find("lässt sich nicht öffnen: ein Name darin ist 260 Byte lang"),
              std::string::npos)
        << tooLong.description();
#endif
}

TEST_F(OpenConnection, OdbcKeywordsReachTheDriverAsStoredWithBlanks) {
    for (const std::string& text : {"Driver=SQLite3; Database=" + hostPath(file) + "; ",
                                    "Provider=MSDASQL.1; Driver={SQLite3}; Database=" + hostPath(file) + "; "}) {
        const auto connection = db::openConnection(text);
        EXPECT_EQ(connection->property("Data Source"), hostPath(file)) << text;
        EXPECT_TRUE(connection->execute("AdressenImport")->atEnd()) << text;
    }
}

TEST_F(OpenConnection, StringThatNamesNothingUsableFailsAsTheProviderDoes) {
    for (const char* text : {"=; ", "", "Data Source=x; Initial Catalog=y; "}) {
        const db::Error error = openingError(text);
        EXPECT_EQ(error.code(), static_cast<std::int32_t>(0x80004005u)) << text;
        EXPECT_EQ(std::string(error.description()), kNoDataSource) << text;
    }
    const db::Error unknown = openingError("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=x.mdb; ");
    EXPECT_EQ(std::string(unknown.description()),
              "Der Provider 'Microsoft.Jet.OLEDB.4.0' wurde nicht gefunden. Er ist möglicherweise nicht ordnungsgemäß "
              "installiert.");
}

TEST_F(OpenConnection, UnknownOdbcDriverFailsWithTheDriverManagersText) {
    const db::Error error = openingError("Driver=KeinSolcherTreiber; Database=x; ");
    EXPECT_FALSE(db::isSilent(error.code()));
    EXPECT_NE(std::string(error.description()).find("Driver Manager"), std::string::npos) << error.description();
}

TEST_F(OpenConnection, SqlServerProviderGoesThroughTheSqlServerDriver) {
    const auto drivers = db::installedOdbcDrivers();
    if (std::find(drivers.begin(), drivers.end(), "FreeTDS") == drivers.end())
        GTEST_SKIP() << "no FreeTDS driver installed";
    // No server listens on port 1: the failure is FreeTDS's, so the keywords reached it.
    const db::Error error = openingError(
        "Provider=SQLOLEDB.1; Persist Security Info=False; User ID=norvel; Password=x; Initial Catalog=Norvel; "
        "Data Source=127.0.0.1,1; Connect Timeout=5; ");
    EXPECT_FALSE(db::isSilent(error.code()));
    EXPECT_NE(std::string(error.description()).find("[FreeTDS]"), std::string::npos) << error.description();
}

}  // namespace

// Connection strings as the law-office system stores them, and the SQL Server ODBC strings they
// become.

#include <gtest/gtest.h>

#include "db/ConnectionString.h"
#include "db/odbc/SqlServerDriver.h"
#include "db/odbc/SqlServerKeywords.h"

namespace {

std::vector<std::pair<std::string, std::string>> pairs(const std::vector<db::Keyword>& keywords) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& [name, value] : keywords) result.emplace_back(name, value);
    return result;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(ConnectionString, KeywordsAsStoredWithTheTrailingBlank) {
    EXPECT_EQ(pairs(db::readConnectionString("A=1; B=2; ")), (Pairs{{"A", "1"}, {"B", "2"}}));
    EXPECT_EQ(pairs(db::readConnectionString("Provider=SQLOLEDB.1; Data Source = SRV\\KANZLEI ;Initial Catalog=Norvel")),
              (Pairs{{"Provider", "SQLOLEDB.1"}, {"Data Source", "SRV\\KANZLEI"}, {"Initial Catalog", "Norvel"}}));
}

TEST(ConnectionString, EmptyProfileAndPiecesWithoutNameOrEqualsGiveNothing) {
    EXPECT_TRUE(db::readConnectionString("=; ").empty());
    EXPECT_TRUE(db::readConnectionString("").empty());
    EXPECT_EQ(pairs(db::readConnectionString("Unsinn; A=; =x; B=2")), (Pairs{{"A", ""}, {"B", "2"}}));
}

TEST(ConnectionString, QuotedValuesHoldSemicolonsAndDoubledQuotes) {
    EXPECT_EQ(pairs(db::readConnectionString("Password=\"ge;heim\"\"s\"; User ID='O''Neil' ; X=1")),
              (Pairs{{"Password", "ge;heim\"s"}, {"User ID", "O'Neil"}, {"X", "1"}}));
}

TEST(ConnectionString, SettingIsFoundWhateverItsCaseAndTheLastOneCounts) {
    const auto keywords = db::readConnectionString("Provider=A; provider=B; Data Source=x; ");
    EXPECT_EQ(db::setting(keywords, "PROVIDER"), "B");
    EXPECT_EQ(db::setting(keywords, "data source"), "x");
    EXPECT_FALSE(db::setting(keywords, "Initial Catalog"));
}

TEST(ConnectionString, OdbcValuesGoInBracesWhereTheyMust) {
    EXPECT_EQ(db::odbcConnectionString({{"Driver", "{SQL Server}"}, {"PWD", "a;b}c"}, {"UID", " x"}, {"Server", "srv"}}),
              "Driver={SQL Server};PWD={a;b}}c};UID={ x};Server=srv;");
}

TEST(SqlServerKeywords, ProviderKeywordsBecomeTheDriversOwn) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString("Provider=SQLOLEDB.1; Persist Security Info=False; User ID=norvel; Password=\"ge;heim\"; "
                                 "Initial Catalog=Norvel; Data Source=SRV\\KANZLEI; Application Name=Adressimport; "
                                 "Use Encryption for Data=True; Connect Timeout=15; "),
        "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(target.connectionString,
              "Driver={ODBC Driver 17 for SQL Server};Server=SRV\\KANZLEI;Database=Norvel;UID=norvel;PWD={ge;heim};APP=Adressimport;"
              "Encrypt=Yes;");
    EXPECT_EQ(target.dataSource, "SRV\\KANZLEI");
    EXPECT_EQ(target.catalog, "Norvel");
    EXPECT_EQ(target.loginTimeoutSeconds, 15u);
}

TEST(SqlServerKeywords, IntegratedSecurityIsATrustedConnection) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString("Provider=SQLNCLI11; Integrated Security=SSPI; Data Source=.; Initial Catalog=Norvel; "),
        "SQL Server Native Client 11.0");
    EXPECT_EQ(target.connectionString, "Driver={SQL Server Native Client 11.0};Server=.;Database=Norvel;Trusted_Connection=Yes;");
    EXPECT_FALSE(target.loginTimeoutSeconds);
}

TEST(SqlServerKeywords, Driver18KeepsTheOldProvidersUnencryptedDefault) {
    const auto old = db::sqlServerTarget(db::readConnectionString("Provider=SQLOLEDB; Data Source=srv; "), "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(old.connectionString, "Driver={ODBC Driver 18 for SQL Server};Server=srv;Encrypt=No;");
    const auto newest =
        db::sqlServerTarget(db::readConnectionString("Provider=MSOLEDBSQL19; Data Source=srv; "), "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(newest.connectionString, "Driver={ODBC Driver 18 for SQL Server};Server=srv;");
}

TEST(SqlServerKeywords, FreeTdsGetsHostAndPortAndOnlyWhatItKnows) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString("Provider=SQLOLEDB.1; Data Source=tcp:srv.kanzlei.local,1433; Initial Catalog=Norvel; "
                                 "User ID=sa; Password=x; Network Library=DBMSSOCN; Use Encryption for Data=True; "
                                 "MARS Connection=True; "),
        "FreeTDS");
    EXPECT_EQ(target.connectionString,
              "Driver={FreeTDS};Server=srv.kanzlei.local;Port=1433;Database=Norvel;UID=sa;PWD=x;Encryption=require;");
    EXPECT_EQ(target.dataSource, "tcp:srv.kanzlei.local,1433");

    const auto local = db::sqlServerTarget(db::readConnectionString("Provider=SQLOLEDB; Data Source=(local); "), "FreeTDS");
    EXPECT_EQ(local.connectionString, "Driver={FreeTDS};Server=localhost;");
}

TEST(SqlServerDriver, TheNewestInstalledDriverIsChosen) {
    EXPECT_EQ(db::chooseSqlServerDriver({"SQL Server", "SQL Server Native Client 11.0", "ODBC Driver 17 for SQL Server"}),
              "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(db::chooseSqlServerDriver({"SQL Server", "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server"}),
              "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(db::chooseSqlServerDriver({"SQLite3", "FreeTDS", "SQL Server"}), "FreeTDS");
    EXPECT_EQ(db::chooseSqlServerDriver({"SQLite3", "SQL Server"}), "SQL Server");
#ifdef _WIN32
    EXPECT_EQ(db::chooseSqlServerDriver({"SQLite3"}), "SQL Server");
#else
    EXPECT_EQ(db::chooseSqlServerDriver({"SQLite3"}), "FreeTDS");
#endif
}

TEST(SqlServerDriver, TheDriverManagerListsTheInstalledDrivers) {
    const auto drivers = db::installedOdbcDrivers();
    EXPECT_NE(std::find(drivers.begin(), drivers.end(), "SQLite3"), drivers.end()) << "libsqliteodbc registers SQLite3";
}

}  // namespace

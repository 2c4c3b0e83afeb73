// Connection strings as the law-office system stores them, and the SQL Server ODBC strings they
// become.

#include <gtest/gtest.h>

#include "app/CnnString.h"
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
    EXPECT_EQ(
        pairs(db::readConnectionString("Provider=SQLOLEDB.1; Data Source = SRV\\KANZLEI ;Initial Catalog=Norvel")),
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
    EXPECT_EQ(
        db::odbcConnectionString({{"Driver", "{SQL Server}"}, {"PWD", "a;b}c"}, {"UID", " x"}, {"Server", "srv"}}),
        "Driver={SQL Server};PWD={a;b}}c};UID={ x};Server=srv;");
}

TEST(ConnectionString, OdbcValuesInBracesAreTheUsersOwnTextExceptTheDriversName) {
    EXPECT_EQ(db::odbcConnectionString({{"Driver", "{SQL Server}"}, {"PWD", "{geheim}"}, {"X", "a=b"}}),
              "Driver={SQL Server};PWD={{geheim}}};X={a=b};");
}

TEST(ConnectionString, StoredPasswordWithSemicolonBraceAndEqualsReachesTheDriverWhole) {
    const std::vector<settings::NamedText> stored{{"Provider", "SQLOLEDB.1"},
                                                  {"Data Source", "srv"},
                                                  {"User ID", "norvel"},
                                                  {"Password", "ge;h}e=im{"},
                                                  {"Application Name", " Adressen \"x\" 'y' "}};
    const std::string joined = app::joinConnectionKeywords(stored);
    EXPECT_EQ(pairs(db::readConnectionString(joined)), (Pairs{{"Provider", "SQLOLEDB.1"},
                                                              {"Data Source", "srv"},
                                                              {"User ID", "norvel"},
                                                              {"Password", "ge;h}e=im{"},
                                                              {"Application Name", " Adressen \"x\" 'y' "}}));
    EXPECT_EQ(db::sqlServerTarget(db::readConnectionString(joined), "ODBC Driver 17 for SQL Server").connectionString,
              "Driver={ODBC Driver 17 for SQL Server};Server=srv;UID=norvel;PWD={ge;h}}e=im{};"
              "APP={ Adressen \"x\" 'y' };");
    EXPECT_EQ(app::joinConnectionKeywords({{"A", "1"}, {"B", "2"}}), "A=1; B=2; ") << "plain settings stay as stored";
}

TEST(SqlServerKeywords, ProviderKeywordsBecomeTheDriversOwn) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString(
            "Provider=SQLOLEDB.1; Persist Security Info=False; User ID=norvel; Password=\"ge;heim\"; "
            "Initial Catalog=Norvel; Data Source=SRV\\KANZLEI; Application Name=Adressimport; "
            "Use Encryption for Data=True; Connect Timeout=15; "),
        "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(target.connectionString,
              "Driver={ODBC Driver 17 for SQL "
              "Server};Server=SRV\\KANZLEI;Database=Norvel;UID=norvel;PWD={ge;heim};APP=Adressimport;"
              "Encrypt=Yes;");
    EXPECT_EQ(target.dataSource, "SRV\\KANZLEI");
    EXPECT_EQ(target.catalog, "Norvel");
    EXPECT_EQ(target.loginTimeoutSeconds, 15u);
}

TEST(SqlServerKeywords, IntegratedSecurityIsATrustedConnection) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString(
            "Provider=SQLNCLI11; Integrated Security=SSPI; Data Source=.; Initial Catalog=Norvel; "),
        "SQL Server Native Client 11.0");
    EXPECT_EQ(target.connectionString,
              "Driver={SQL Server Native Client 11.0};Server=.;Database=Norvel;Trusted_Connection=Yes;");
    EXPECT_EQ(target.loginTimeoutSeconds, 30u) << "the wait where none is stored";
}

TEST(SqlServerKeywords, Driver18KeepsTheOldProvidersUnencryptedDefault) {
    const auto old = db::sqlServerTarget(db::readConnectionString("Provider=SQLOLEDB; Data Source=srv; "),
                                         "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(old.connectionString,
              "Driver={ODBC Driver 18 for SQL Server};Server=srv;Encrypt=No;TrustServerCertificate=Yes;");
    const auto newest = db::sqlServerTarget(db::readConnectionString("Provider=MSOLEDBSQL19; Data Source=srv; "),
                                            "ODBC Driver 18 for SQL Server");
    EXPECT_EQ(newest.connectionString, "Driver={ODBC Driver 18 for SQL Server};Server=srv;");
}

TEST(SqlServerKeywords, FreeTdsGetsHostAndPortAndOnlyWhatItKnows) {
    const auto target = db::sqlServerTarget(
        db::readConnectionString("Provider=SQLOLEDB.1; Data Source=tcp:srv.kanzlei.local,1433; Initial Catalog=Norvel; "
                                 "User ID=sa; Password=x; Network Library=DBMSSOCN; Use Encryption for Data=True; "
                                 "MARS Connection=True; "),
        "FreeTDS");
    EXPECT_EQ(target.connectionString,
              "Driver={FreeTDS};Server=srv.kanzlei.local;Port=1433;Database=Norvel;UID=sa;PWD=x;Encryption=require;"
              "TDS_Version=7.4;ClientCharset=UTF-8;");
    EXPECT_EQ(target.dataSource, "tcp:srv.kanzlei.local,1433");

    const auto local =
        db::sqlServerTarget(db::readConnectionString("Provider=SQLOLEDB; Data Source=(local); "), "FreeTDS");
    EXPECT_EQ(local.connectionString,
              "Driver={FreeTDS};Server=localhost;Encryption=request;TDS_Version=7.4;ClientCharset=UTF-8;");
}

// What each driver is given for what an office stored, so that a connection that works with the
// office's own provider works here as well.
TEST(SqlServerKeywords, EncryptionAndCertificateCheckAsTheStoredProviderHadThem) {
    struct Case {
        const char* stored;
        const char* driver;
        const char* odbc;  // behind "Driver={…};Server=srv;"
    };
    const Case cases[] = {
        // Driver 18 checks the certificate whenever it encrypts, also where the server forces it;
        // the providers before MSOLEDBSQL 19 did not unless asked to encrypt.
        {"Provider=SQLOLEDB.1; ", "ODBC Driver 18 for SQL Server", "Encrypt=No;TrustServerCertificate=Yes;"},
        {"Provider=SQLNCLI11; Use Encryption for Data=False; ", "ODBC Driver 18 for SQL Server",
         "Encrypt=No;TrustServerCertificate=Yes;"},
        {"Provider=SQLOLEDB; Trust Server Certificate=False; ", "ODBC Driver 18 for SQL Server",
         "Encrypt=No;TrustServerCertificate=Yes;"},
        {"Provider=MSOLEDBSQL; Use Encryption for Data=True; ", "ODBC Driver 18 for SQL Server", "Encrypt=Yes;"},
        {"Provider=SQLOLEDB; Use Encryption for Data=True; Trust Server Certificate=True; ",
         "ODBC Driver 18 for SQL Server", "Encrypt=Yes;TrustServerCertificate=Yes;"},
        // MSOLEDBSQL 19 encrypts by default and checks as the driver does; its words stay.
        {"Provider=MSOLEDBSQL19; ", "ODBC Driver 18 for SQL Server", ""},
        {"Provider=MSOLEDBSQL19.1; Use Encryption for Data=Mandatory; ", "ODBC Driver 18 for SQL Server",
         "Encrypt=Mandatory;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Strict; ", "ODBC Driver 18 for SQL Server", "Encrypt=Strict;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Optional; ", "ODBC Driver 18 for SQL Server",
         "Encrypt=Optional;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Irgendwie; ", "ODBC Driver 18 for SQL Server",
         "Encrypt=Irgendwie;"},
        // Driver 17 and the older ones encrypt only when asked and know Yes and No alone.
        {"Provider=SQLOLEDB.1; ", "ODBC Driver 17 for SQL Server", ""},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Mandatory; ", "ODBC Driver 17 for SQL Server", "Encrypt=Yes;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Strict; ", "ODBC Driver 17 for SQL Server", "Encrypt=Yes;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Optional; ", "ODBC Driver 17 for SQL Server", "Encrypt=No;"},
        {"Provider=SQLOLEDB.1; Use Encryption for Data=True; ", "SQL Server", "Encrypt=Yes;"},
        {"Provider=SQLOLEDB.1; ", "SQL Server", ""},
        {"Provider=SQLNCLI11; Use Encryption for Data=yes; Trust Server Certificate=1; ",
         "SQL Server Native Client 11.0", "Encrypt=Yes;TrustServerCertificate=Yes;"},
        // FreeTDS asks for encryption where the server has it, and checks no certificate unless
        // its configuration names the authorities.
        {"Provider=SQLOLEDB.1; ", "FreeTDS", "Encryption=request;TDS_Version=7.4;ClientCharset=UTF-8;"},
        {"Provider=SQLOLEDB.1; Use Encryption for Data=False; ", "FreeTDS",
         "Encryption=request;TDS_Version=7.4;ClientCharset=UTF-8;"},
        {"Provider=SQLOLEDB.1; Use Encryption for Data=True; ", "FreeTDS",
         "Encryption=require;TDS_Version=7.4;ClientCharset=UTF-8;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Mandatory; ", "FreeTDS",
         "Encryption=require;TDS_Version=7.4;ClientCharset=UTF-8;"},
        {"Provider=MSOLEDBSQL19; Use Encryption for Data=Strict; ", "FreeTDS",
         "Encryption=strict;TDS_Version=7.4;ClientCharset=UTF-8;"},
    };
    for (const Case& c : cases) {
        const auto target =
            db::sqlServerTarget(db::readConnectionString(std::string(c.stored) + "Data Source=srv; "), c.driver);
        EXPECT_EQ(target.connectionString, "Driver={" + std::string(c.driver) + "};Server=srv;" + c.odbc)
            << c.stored << " / " << c.driver;
    }
}

TEST(SqlServerKeywords, FreeTdsTakesAnInstanceOrAPortNotBoth) {
    const std::pair<const char*, const char*> cases[] = {
        {"SRV\\KANZLEI", "Server=SRV\\KANZLEI;"},
        {"SRV\\KANZLEI,1433", "Server=SRV;Port=1433;"},  // the port counts, as with Microsoft's drivers
        {"tcp:SRV\\KANZLEI,49172", "Server=SRV;Port=49172;"},
        {"srv,1433", "Server=srv;Port=1433;"},
        {".\\SQLEXPRESS", "Server=localhost\\SQLEXPRESS;"},
        {"(local)", "Server=localhost;"},
        {"10.0.0.5", "Server=10.0.0.5;"},
    };
    for (const auto& [dataSource, odbc] : cases) {
        const auto target = db::sqlServerTarget(
            db::readConnectionString("Provider=SQLOLEDB; Data Source=" + std::string(dataSource) + "; "), "FreeTDS");
        EXPECT_EQ(target.connectionString,
                  "Driver={FreeTDS};" + std::string(odbc) + "Encryption=request;TDS_Version=7.4;ClientCharset=UTF-8;")
            << dataSource;
        EXPECT_EQ(target.dataSource, dataSource) << "shown as stored";
    }
    // Microsoft's drivers take "server\instance,port" themselves.
    const auto microsoft =
        db::sqlServerTarget(db::readConnectionString("Provider=SQLOLEDB; Data Source=SRV\\KANZLEI,1433; "),
                            "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(microsoft.connectionString, "Driver={ODBC Driver 17 for SQL Server};Server=SRV\\KANZLEI,1433;");
}

TEST(SqlServerKeywords, WaitsForLoginAndStatementsAsAdoReadsThem) {
    struct Case {
        const char* stored;
        std::uint32_t login;
        std::uint32_t query;
    };
    const Case cases[] = {
        {"", 30, 30},
        {"Connect Timeout=15; ", 15, 15},
        {"Connection Timeout=5; Command Timeout=120; ", 5, 120},
        {"Command Timeout=0; ", 30, 0},  // 0: as long as it takes, as ADO has it
        {"Connect Timeout=viel; Command Timeout=-1; ", 30, 30},
        {"Connect Timeout=99999999999; ", 30, 30},
    };
    for (const Case& c : cases) {
        for (const char* driver : {"ODBC Driver 18 for SQL Server", "FreeTDS"}) {
            const auto target = db::sqlServerTarget(
                db::readConnectionString("Provider=SQLOLEDB; Data Source=srv; " + std::string(c.stored)), driver);
            EXPECT_EQ(target.loginTimeoutSeconds, c.login) << c.stored;
            EXPECT_EQ(target.queryTimeoutSeconds, c.query) << c.stored;
            EXPECT_EQ(target.connectionString.find("Timeout"), std::string::npos)
                << "no driver keyword: " << target.connectionString;
        }
    }
}

TEST(SqlServerDriver, TheNewestInstalledDriverIsChosen) {
    EXPECT_EQ(
        db::chooseSqlServerDriver({"SQL Server", "SQL Server Native Client 11.0", "ODBC Driver 17 for SQL Server"}),
        "ODBC Driver 17 for SQL Server");
    EXPECT_EQ(
        db::chooseSqlServerDriver({"SQL Server", "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server"}),
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

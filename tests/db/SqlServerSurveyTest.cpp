// What the check makes of SQL Server's answers, without a server: the encryption as the server
// reports it and as each driver checks the certificate, the rights and routines of the login,
// other sessions' locks, and a question refused with the text the drivers deliver for it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/odbc/OdbcError.h"
#include "db/odbc/SqlServerSurvey.h"

namespace {

using db::Finding;
using db::Value;
using db::Verdict;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

constexpr const char* kDriver18Windows = "msodbcsql18.dll";
constexpr const char* kDriver18Linux = "libmsodbcsql-18.3.so.3.1";
constexpr const char* kDriver17 = "msodbcsql17.dll";
constexpr const char* kFreeTds = "libtdsodbc.so";

// The finding warns and names each of the parts.
void expectWarning(const Finding& finding, std::initializer_list<const char*> parts) {
    EXPECT_EQ(finding.verdict, Verdict::warning) << finding.text;
    for (const char* part : parts) EXPECT_TRUE(contains(finding.text, part)) << part << ": " << finding.text;
}

Verdict encryption(std::optional<bool> encrypted, const char* driver, const char* keywords) {
    return db::sqlServerEncryption(encrypted, driver, keywords).verdict;
}

TEST(SqlServerSurvey, CertificateIsCheckedWhereTheDriverChecksIt) {
    // Driver 18 checks whenever it encrypts, also where only the server asked for encryption.
    EXPECT_EQ(encryption(true, kDriver18Windows, "Driver={ODBC Driver 18 for SQL Server};Server=srv"), Verdict::ok);
    EXPECT_EQ(encryption(true, kDriver18Linux, "Encrypt=No;Server=srv"), Verdict::ok);
    // The drivers before it check only where the connection string asked for encryption.
    EXPECT_EQ(encryption(true, kDriver17, "Server=srv"), Verdict::warning);
    EXPECT_EQ(encryption(true, kDriver17, "Server=srv;Encrypt=Yes"), Verdict::ok);
    EXPECT_EQ(encryption(true, "SQLSRV32.DLL", "Server=srv;Encrypt=yes"), Verdict::ok);
}

TEST(SqlServerSurvey, TrustedServerCertificateIsAWarningUnlessStrict) {
    expectWarning(db::sqlServerEncryption(true, kDriver18Windows, "Server=srv;Encrypt=No;TrustServerCertificate=Yes"),
                  {"nicht geprüft", "TrustServerCertificate=Yes"});
    // Strict checks the certificate whatever TrustServerCertificate says.
    EXPECT_EQ(encryption(true, kDriver18Windows, "Encrypt=Strict;TrustServerCertificate=Yes"), Verdict::ok);
}

TEST(SqlServerSurvey, UnencryptedOrUnknownEncryptionIsAWarning) {
    expectWarning(db::sqlServerEncryption(false, kDriver18Windows, "Server=srv;Encrypt=No"), {"NICHT verschlüsselt"});
    expectWarning(db::sqlServerEncryption(std::nullopt, kDriver18Windows, "Server=srv;Encrypt=Yes"),
                  {"VIEW SERVER STATE", "Encrypt=Yes"});
    EXPECT_EQ(encryption(true, kFreeTds, "Server=srv;Encryption=require"), Verdict::warning);
}

TEST(SqlServerSurvey, KeywordsShownNeverHoldThePassword) {
    const Finding finding = db::sqlServerEncryption(false, kDriver17, "Server=srv;UID=norvel;PWD={ge;heim}");
    EXPECT_FALSE(contains(finding.text, "heim")) << finding.text;
}

std::vector<Value> granted(std::initializer_list<int> answers) {
    std::vector<Value> values;
    for (int answer : answers) values.push_back(answer < 0 ? Value() : Value(answer));
    return values;
}

std::vector<Verdict> verdicts(const std::vector<Finding>& findings) {
    std::vector<Verdict> result;
    for (const Finding& finding : findings) result.push_back(finding.verdict);
    return result;
}

TEST(SqlServerSurvey, EveryRightTheMigrationNeedsIsAskedInTheOrderItIsRead) {
    const std::string query = db::kSqlServerRightsQuery;
    const std::vector<std::string> inOrder = {
        "N'AdressenImport', N'OBJECT', N'ALTER'",  "N'AdressenImport', N'OBJECT', N'INSERT'",
        "N'AdressenImport', N'OBJECT', N'SELECT'", "N'AdressenImport', N'OBJECT', N'UPDATE'",
        "N'Adressen', N'OBJECT', N'SELECT'",       "N'Adressen', N'OBJECT', N'DELETE'",
        "IS_ROLEMEMBER(N'db_ddladmin')",           "N'Adressen', N'OBJECT', N'ALTER'",
        "N'AdressenImport', N'OBJECT', N'DELETE'"};
    std::size_t last = 0;
    for (const std::string& part : inOrder) {
        const std::size_t at = query.find(part);
        ASSERT_NE(at, std::string::npos) << part;
        EXPECT_GT(at, last) << part;
        last = at;
    }
    EXPECT_EQ(verdicts(db::sqlServerRights(granted({1, 1, 1, 1, 1, 1, 1, 1, 1}))),
              std::vector<Verdict>(6, Verdict::ok));
}

TEST(SqlServerSurvey, MissingRightIsAFailureThatNamesWhatToGrant) {
    const std::vector<Finding> noAlter = db::sqlServerRights(granted({0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(verdicts(noAlter), (std::vector<Verdict>{Verdict::failure, Verdict::ok, Verdict::ok, Verdict::ok,
                                                       Verdict::ok, Verdict::ok}));
    EXPECT_TRUE(contains(noAlter[0].text, "GRANT ALTER ON AdressenImport")) << noAlter[0].text;

    // Without db_owner, db_ddladmin or the schema, DBCC CHECKIDENT of the undo is refused.
    const std::vector<Finding> noReseed = db::sqlServerRights(granted({1, 1, 1, 1, 1, 1, 0, 1, 1}));
    EXPECT_EQ(noReseed[3].verdict, Verdict::failure);
    EXPECT_TRUE(contains(noReseed[3].text, "db_ddladmin")) << noReseed[3].text;

    // A table the login does not see answers null: no right.
    EXPECT_EQ(db::sqlServerRights(granted({1, 1, 1, 1, -1, -1, 1, 1, 1}))[2].verdict, Verdict::failure);
    // The statistics of the script's Datenpflege only warn: an office's own routine may do otherwise.
    EXPECT_EQ(db::sqlServerRights(granted({1, 1, 1, 1, 1, 1, 1, 0, 1}))[4].verdict, Verdict::warning);
    // Without DELETE on the staging table only the import of the new addresses is refused: a warning.
    const std::vector<Finding> noSetAside = db::sqlServerRights(granted({1, 1, 1, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(noSetAside[5].verdict, Verdict::warning);
    EXPECT_TRUE(contains(noSetAside[5].text, "GRANT DELETE ON AdressenImport")) << noSetAside[5].text;
    // An answer without its columns grants nothing.
    EXPECT_EQ(verdicts(db::sqlServerRights({})),
              (std::vector<Verdict>{Verdict::failure, Verdict::failure, Verdict::failure, Verdict::failure,
                                    Verdict::warning, Verdict::warning}));
}

TEST(SqlServerSurvey, RoutineMustBeAProcedureThisLoginMayRun) {
    EXPECT_TRUE(contains(db::sqlServerRoutineQuery("AdressImport"),
                         "HAS_PERMS_BY_NAME(N'AdressImport', N'OBJECT', N'EXECUTE')"));
    EXPECT_EQ(db::sqlServerRoutine("AdressImport", Value(1), Value(1)).verdict, Verdict::ok);
    const Finding refused = db::sqlServerRoutine("AdressImport", Value(1), Value(0));
    EXPECT_EQ(refused.verdict, Verdict::failure);
    EXPECT_TRUE(contains(refused.text, "GRANT EXECUTE ON AdressImport")) << refused.text;
    EXPECT_EQ(db::sqlServerRoutine("Datenpflege", Value(), Value()).verdict, Verdict::failure);
    // A table of that name is no procedure.
    EXPECT_EQ(db::sqlServerRoutine("Datenpflege", Value(0), Value(1)).verdict, Verdict::failure);
}

TEST(SqlServerSurvey, LocksOfOtherSessionsFailAndNameThem) {
    EXPECT_EQ(db::sqlServerLocks({}).verdict, Verdict::ok);
    const Finding held = db::sqlServerLocks({{57, "X", "AdressenImport"}, {61, "IX", "Adressen"}});
    EXPECT_EQ(held.verdict, Verdict::failure);
    EXPECT_TRUE(contains(held.text, "Sitzung 57 X auf AdressenImport, Sitzung 61 IX auf Adressen")) << held.text;
    EXPECT_TRUE(contains(db::kSqlServerLocksQuery, "request_session_id <> @@SPID"));
}

TEST(SqlServerSurvey, LocksQueryRefusedWithoutViewServerStateIsAWarningWithTheServersText) {
    const db::Diagnostic refused{"42000", 300,
                                 "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]VIEW SERVER STATE permission "
                                 "was denied on object 'server', database 'master'.",
                                 0};
    expectWarning(db::sqlServerLocksUnknown(db::errorFor(refused, db::ErrorNumbers::SqlServer)),
                  {"VIEW SERVER STATE permission was denied"});
}

}  // namespace

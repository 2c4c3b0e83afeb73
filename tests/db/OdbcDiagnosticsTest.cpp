// Diagnostics as the drivers deliver them (SQLSTATE, native number, text) and what they become:
// only unknown objects and syntax pass as "errors in command", only constraints as integrity
// violations; every other failure is reported with its own number. And the results a statement
// has after its first: each return code is looked at.

#include <gtest/gtest.h>

#include <vector>

#include "db/Error.h"
#include "db/Texts.h"
#include "db/odbc/ImportLock.h"
#include "db/odbc/MoreResults.h"
#include "db/odbc/OdbcError.h"
#include "db/odbc/OdbcSession.h"
#include "db/odbc/ParameterStatuses.h"

namespace {

using db::ErrorNumbers;

constexpr std::int32_t kUnspecified = static_cast<std::int32_t>(0x80004005u);

struct Case {
    const char* state;
    std::int32_t native;
    const char* text;
    std::int32_t code;                   // what the error carries
    bool endsTransaction;                // the run cannot go on writing
    const char* missingTable = nullptr;  // the table the text says the Datenpool lacks
};

void expectClassified(const std::vector<Case>& cases, ErrorNumbers numbers) {
    for (const Case& c : cases) {
        const db::Diagnostic diagnostic{c.state, c.native, c.text, 0};
        const db::Error error = db::errorFor(diagnostic, numbers);
        EXPECT_EQ(error.code(), c.code) << c.state << " " << c.native << " " << c.text;
        const std::string expected = c.missingTable ? db::texts::tableMissing(c.missingTable, c.text) : c.text;
        EXPECT_EQ(error.description(), expected) << "the driver's own text";
        EXPECT_EQ(db::endsTransaction(diagnostic, numbers), c.endsTransaction) << c.state << " " << c.native;
    }
}

TEST(OdbcDiagnostics, SqlServerErrorsAreToldApartByTheirNumbers) {
    const std::int32_t command = db::kErrorsInCommand;
    const std::int32_t integrity = db::kIntegrityViolation;
    expectClassified(
        {
            // SQLSTATE 42000 holds far more than syntax: these are reported.
            {"42000", 229,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]The SELECT permission was denied on the object "
             "'Adressen', database 'Norvel', schema 'dbo'.",
             229, false},
            {"42000", 230,
             "[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]The UPDATE permission was denied on the column "
             "'nachname' of the object 'AdressenImport', database 'Norvel', schema 'dbo'.",
             230, false},
            {"42000", 1088,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cannot find the object \"AdressenImport\" "
             "because it does not exist or you do not have permissions.",
             1088, false},
            {"42000", 2557,
             "[FreeTDS][SQL Server]User 'norvel' does not have permission to run DBCC CHECKIDENT for object "
             "'Adressen'.",
             2557, false},
            {"42000", 50000,
             "[Microsoft][ODBC SQL Server Driver][SQL Server]Adressimport abgebrochen: doppelte fremdid.", 50000,
             false},
            {"42000", 4060,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cannot open database \"Norvel\" requested by "
             "the login. The login failed.",
             4060, false},
            {"42000", 262, "[FreeTDS][SQL Server]CREATE TABLE permission denied in database 'Norvel'.", 262, false},
            // Unknown objects and syntax: the provider's "errors in command".
            {"42000", 102, "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Incorrect syntax near 'FORM'.",
             command, false},
            {"42000", 156, "[FreeTDS][SQL Server]Incorrect syntax near the keyword 'WHERE'.", command, false},
            {"37000", 170, "[Microsoft][ODBC SQL Server Driver][SQL Server]Line 1: Incorrect syntax near ','.", command,
             false},
            {"42S22", 207, "[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]Invalid column name 'nachnam'.",
             command, false},
            {"42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'AdressenImprt'.", command, false,
             "AdressenImprt"},
            // Constraints.
            {"23000", 2627,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Violation of PRIMARY KEY constraint "
             "'PK_Adressen'. Cannot insert duplicate key in object 'dbo.Adressen'.",
             integrity, false},
            {"23000", 2601,
             "[FreeTDS][SQL Server]Cannot insert duplicate key row in object 'dbo.Adressen' with unique index "
             "'IX_fremdid'.",
             integrity, false},
            {"23000", 547,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]The INSERT statement conflicted with the "
             "CHECK constraint \"CK_PLZ\".",
             integrity, false},
            {"23000", 515,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cannot insert the value NULL into column "
             "'nachname', table 'Norvel.dbo.AdressenImport'; column does not allow nulls. INSERT fails.",
             integrity, false},
            // A class 23 or 42 state with another number is no constraint and no syntax.
            {"23000", 8152,
             "[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]String or binary data would be truncated.", 8152,
             false},
            // The driver's own failures: no native number; a lock wait that ran out ends the run.
            {"HYT00", 0, "[Microsoft][ODBC Driver 18 for SQL Server]Query timeout expired", kUnspecified, true},
            {"HYT00", 0, "[FreeTDS][SQL Server]Query timeout expired", kUnspecified, true},
            {"40001", 1205,
             "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Transaction (Process ID 57) was deadlocked on "
             "lock resources with another process and has been chosen as the deadlock victim. Rerun the "
             "transaction.",
             1205, true},
            {"08S01", 0, "[Microsoft][ODBC Driver 18 for SQL Server]Communication link failure", kUnspecified, true},
            {"HY000", 0,
             "[Microsoft][ODBC Driver 17 for SQL Server]Connection is busy with results for another command",
             kUnspecified, false},
        },
        ErrorNumbers::SqlServer);
}

TEST(OdbcDiagnostics, MissingTableIsNamedBeforeTheDriversTextInTheServersLanguage) {
    const auto description = [](std::int32_t native, const char* text, ErrorNumbers numbers) {
        return std::string(db::errorFor({"42S02", native, text, 0}, numbers).description());
    };
    EXPECT_EQ(description(208, "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Invalid object name 'Adressen'.",
                          ErrorNumbers::SqlServer),
              "Im Datenpool fehlt die Tabelle Adressen; das Datenbankskript legt sie an. ([Microsoft][ODBC Driver 18 "
              "for SQL Server][SQL Server]Invalid object name 'Adressen'.)");
    EXPECT_EQ(description(208,
                          "[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]Ungültiger Objektname "
                          "'dbo.AdressenImport'.",
                          ErrorNumbers::SqlServer),
              "Im Datenpool fehlt die Tabelle AdressenImport; das Datenbankskript legt sie an. ([Microsoft][ODBC "
              "Driver 17 for SQL Server][SQL Server]Ungültiger Objektname 'dbo.AdressenImport'.)");
    EXPECT_EQ(description(1, "no such table: main.Adressen (1)", ErrorNumbers::Sqlite),
              "Im Datenpool fehlt die Tabelle Adressen; das Datenbankskript legt sie an. (no such table: "
              "main.Adressen (1))");
    // A missing column is no missing table: the text stays the driver's own.
    EXPECT_EQ(description(207, "[SQL Server]Invalid column name 'nachnam'.", ErrorNumbers::SqlServer),
              "[SQL Server]Invalid column name 'nachnam'.");
}

TEST(OdbcDiagnostics, OtherDriversAreReadBySqlstate) {
    expectClassified(
        {
            {"42S02", 1146, "[MySQL][ODBC 8.0 Driver]Table 'norvel.adressenimprt' doesn't exist", db::kErrorsInCommand,
             false},
            {"42000", 229, "[Irgendein Treiber]Zugriff verweigert", db::kErrorsInCommand, false},
            {"23505", 7, "ERROR: duplicate key value violates unique constraint", db::kIntegrityViolation, false},
            {"HY000", 3, "[Irgendein Treiber]Festplatte voll", 3, false},
        },
        ErrorNumbers::Unknown);
}

TEST(OdbcDiagnostics, SqliteErrorsAreToldApartByItsResultCodes) {
    expectClassified(
        {
            {"HY000", 1, "no such table: AdressenImprt (1)", db::kErrorsInCommand, false, "AdressenImprt"},
            {"HY000", 19, "UNIQUE constraint failed: Nummern.code (19)", db::kIntegrityViolation, false},
            {"HY000", 5, "database is locked (5)", 5, true},
            {"HY000", 13, "database or disk is full (13)", 13, true},
            {"HY000", 1032, "attempt to write a readonly database (1032)", 1032, true},
            {"HY000", 7, "out of memory (7)", 7, true},
            {"HY000", 9, "interrupted (9)", 9, true},
            {"HY000", 266, "disk I/O error (266)", 266, true},
            {"HY000", 11, "database disk image is malformed (11)", 11, true},
            {"HY000", 26, "file is not a database (26)", 26, true},
            {"HY000", 6, "database table is locked (6)", 6, false},
            {"HY000", 20, "datatype mismatch (20)", 20, false},
        },
        ErrorNumbers::Sqlite);
}

TEST(OdbcDiagnostics, FailuresSayTheirKindWhereTheNumbersTellIt) {
    using Kind = db::Error::Kind;
    const auto kindOf = [](const char* state, std::int32_t native, ErrorNumbers numbers) {
        return db::errorFor({state, native, "text", 0}, numbers).kind();
    };
    EXPECT_EQ(kindOf("HY000", 5, ErrorNumbers::Sqlite), Kind::locked);
    EXPECT_EQ(kindOf("HY000", 6, ErrorNumbers::Sqlite), Kind::locked);
    EXPECT_EQ(kindOf("HY000", 26, ErrorNumbers::Sqlite), Kind::notADatabase);
    EXPECT_EQ(kindOf("HY000", 11, ErrorNumbers::Sqlite), Kind::notADatabase);
    EXPECT_EQ(kindOf("HY000", 1032, ErrorNumbers::Sqlite), Kind::readOnly) << "an extended code";
    EXPECT_EQ(kindOf("HY000", 13, ErrorNumbers::Sqlite), Kind::other);
    EXPECT_EQ(kindOf("HY000", 1222, ErrorNumbers::SqlServer), Kind::locked);
    EXPECT_EQ(kindOf("42000", 3906, ErrorNumbers::SqlServer), Kind::readOnly);
    EXPECT_EQ(kindOf("25006", 0, ErrorNumbers::Unknown), Kind::readOnly);
    EXPECT_EQ(kindOf("HY000", 5, ErrorNumbers::Unknown), Kind::other)
        << "a number of an unknown database tells nothing";
    EXPECT_EQ(kindOf("HY000", 5, ErrorNumbers::SqlServer), Kind::other);
    EXPECT_EQ(kindOf("IM003", 0, ErrorNumbers::Unknown), Kind::driverNotLoaded);
    EXPECT_EQ(db::errorFor({"01000", 0, "[unixODBC][Driver Manager]Can't open lib 'Nix' : file not found", 0},
                           ErrorNumbers::Unknown)
                  .kind(),
              Kind::driverNotLoaded)
        << "unixODBC tells it in a warning of its own";
}

TEST(OdbcDiagnostics, FailedConnectionTellsEveryRecordOnceInItsOrder) {
    const char* timeout = "[Microsoft][ODBC Driver 18 for SQL Server]Login timeout expired";
    const char* why =
        "[Microsoft][ODBC Driver 18 for SQL Server]A network-related or instance-specific error has occurred "
        "while establishing a connection to SQL Server. Server is not found or not accessible.";
    const char* tcp = "[Microsoft][ODBC Driver 18 for SQL Server]TCP Provider: Error code 0x2AF9";
    const std::vector<db::Diagnostic> found{
        {"01S00", 0, "[unixODBC]Invalid connection string attribute", 0},
        {"HYT00", 0, timeout, 0},
        {"08001", 11001, why, 0},
        {"08001", 11001, tcp, 0},
        {"08001", 11001, why, 0},
    };
    const db::Error error = db::connectionError(found, ErrorNumbers::SqlServer);
    EXPECT_EQ(std::string(error.description()),
              std::string("[unixODBC]Invalid connection string attribute\r\n") + timeout + "\r\n" + why + "\r\n" + tcp);
    EXPECT_EQ(error.code(), kUnspecified) << "the first failure's code: the timeout has no number";

    const db::Error refused = db::connectionError(
        {{"28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'norvel'.", 0}}, ErrorNumbers::SqlServer);
    EXPECT_STREQ(refused.description(), "[FreeTDS][SQL Server]Login failed for user 'norvel'.");
    EXPECT_EQ(refused.code(), 18456);
    EXPECT_EQ(db::connectionError({}, ErrorNumbers::SqlServer).code(), kUnspecified) << "no record at all";
}

TEST(OdbcDiagnostics, SessionTakesTheNumbersOfItsDatabase) {
    db::OdbcSession session;
    EXPECT_EQ(session.errorNumbers(), ErrorNumbers::Unknown);
    session.dialect = db::dialectOf("Microsoft SQL Server");
    EXPECT_EQ(session.errorNumbers(), ErrorNumbers::SqlServer);
    EXPECT_FALSE(db::isSilent(session.failure({"42000", 229, "permission denied", 0}).code()));
    session.dialect = db::dialectOf("SQLite");
    EXPECT_EQ(session.errorNumbers(), ErrorNumbers::Sqlite);
}

TEST(OdbcDiagnostics, DialectFollowsTheDbmsNameTheDriverGives) {
    for (const char* name : {"Microsoft SQL Server", "SQL Server"}) {
        const db::Dialect sqlServer = db::dialectOf(name);
        EXPECT_EQ(sqlServer.errorNumbers, ErrorNumbers::SqlServer) << name;
        EXPECT_TRUE(sqlServer.bracketQuotes && sqlServer.asksWhetherTransactionStands && sqlServer.sqlServerMetadata);
        EXPECT_STREQ(sqlServer.savepoints.rollBack, "ROLLBACK TRANSACTION mehrzeilig");
        EXPECT_EQ(sqlServer.savepoints.release, nullptr) << "a savepoint of SQL Server ends with its transaction";
        EXPECT_FALSE(sqlServer.savepoints.outsideTransaction);
        EXPECT_EQ(sqlServer.importLocking, db::ImportLocking::ApplicationLock);
        EXPECT_EQ(sqlServer.identity, db::Identity::ServerAndDatabase);
        EXPECT_EQ(sqlServer.splitScript, nullptr) << "a batch goes whole";
    }
    for (const char* name : {"SQLite", "sqlite"}) {
        const db::Dialect sqlite = db::dialectOf(name);
        EXPECT_EQ(sqlite.errorNumbers, ErrorNumbers::Sqlite) << name;
        EXPECT_EQ(sqlite.catalog, "main");
        EXPECT_TRUE(sqlite.datesAsText && sqlite.routinesInTable && sqlite.rollbackNeedsFreshTransaction);
        ASSERT_NE(sqlite.splitScript, nullptr);
        EXPECT_EQ(sqlite.splitScript("SELECT 1; SELECT 2").size(), 2u);
        EXPECT_EQ(sqlite.importLocking, db::ImportLocking::FileWriteLock);
        EXPECT_EQ(sqlite.identity, db::Identity::DatabaseFile);
        EXPECT_STREQ(sqlite.savepoints.release, "RELEASE SAVEPOINT mehrzeilig");
    }
    // Any other DBMS gets what ODBC itself offers.
    for (const char* name : {"PostgreSQL", "MySQL", "SQLite3", ""}) {
        const db::Dialect other = db::dialectOf(name);
        EXPECT_EQ(other.errorNumbers, ErrorNumbers::Unknown) << name;
        EXPECT_FALSE(other.bracketQuotes || other.sqlServerMetadata || other.datesAsText || other.routinesInTable);
        EXPECT_EQ(other.splitScript, nullptr);
        EXPECT_TRUE(other.catalog.empty()) << "the driver names the database";
        EXPECT_STREQ(other.savepoints.set, "SAVEPOINT mehrzeilig");
        EXPECT_TRUE(other.savepoints.outsideTransaction);
        EXPECT_EQ(other.importLocking, db::ImportLocking::None);
        EXPECT_EQ(other.identity, db::Identity::DataSourceAndCatalog);
    }
}

TEST(OdbcDiagnostics, LockWaitThatRanOutEndsTheTransactionSoNothingMoreIsWritten) {
    db::OdbcSession session;
    session.dialect = db::dialectOf("Microsoft SQL Server");
    session.inTransaction = true;
    session.failure({"HYT00", 0, "[Microsoft][ODBC Driver 18 for SQL Server]Query timeout expired", 0});
    const auto refusal = session.writeRefusal();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(std::string(refusal->description()).find("Query timeout expired"), std::string::npos)
        << refusal->description();
}

TEST(OdbcDiagnostics, SqlServerTransactionStandsOnlyWhileItCanBeCommitted) {
    EXPECT_TRUE(db::transactionStands(1, 1));
    EXPECT_TRUE(db::transactionStands(2, 1)) << "a transaction begun within the tool's";
    EXPECT_FALSE(db::transactionStands(0, 0)) << "rolled back by the server";
    EXPECT_FALSE(db::transactionStands(1, -1)) << "doomed: it can only be rolled back";
    EXPECT_FALSE(db::transactionStands(0, 1));
}

TEST(OdbcDiagnostics, FailureInASqlServerTransactionEndsItUnlessTheServerSaysItStands) {
    // An error in a trigger with XACT_ABORT on: a constraint's SQLSTATE, and the server has
    // rolled back. Without a connection the question gets no answer, which counts as no.
    db::OdbcSession session;
    session.dialect = db::dialectOf("Microsoft SQL Server");
    session.inTransaction = true;
    session.failure({"23000", 547,
                     "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]The INSERT statement conflicted with the "
                     "CHECK constraint \"CK_plz\".",
                     0});
    const auto refusal = session.writeRefusal();
    ASSERT_TRUE(refusal.has_value()) << "nothing more is written into a transaction the server may have ended";
    EXPECT_NE(std::string(refusal->description()).find("CK_plz"), std::string::npos) << refusal->description();

    // Outside a transaction, and on another database, a refused row ends nothing.
    session.transactionLost.reset();
    session.inTransaction = false;
    session.failure({"23000", 547, "conflicted with the CHECK constraint", 0});
    EXPECT_FALSE(session.writeRefusal().has_value());
    db::OdbcSession sqlite;
    sqlite.dialect = db::dialectOf("SQLite");
    sqlite.inTransaction = true;
    sqlite.failure({"HY000", 19, "CHECK constraint failed: plz", 0});
    EXPECT_FALSE(sqlite.writeRefusal().has_value());
}

// The return codes of SQLMoreResults as a driver hands them out, one per call.
class Results {
public:
    explicit Results(std::vector<SQLRETURN> codes) : codes_(std::move(codes)) {}
    SQLRETURN next() { return calls_ < codes_.size() ? codes_[calls_++] : SQL_NO_DATA; }
    std::size_t calls() const { return calls_; }

private:
    std::vector<SQLRETURN> codes_;
    std::size_t calls_ = 0;
};

// Throws for what the session would throw for: anything that did not succeed.
void check(SQLRETURN rc) {
    if (!SQL_SUCCEEDED(rc)) throw db::Error(50000, "Fehler nach dem Ergebnis");
}

TEST(OdbcDiagnostics, EveryFurtherResultIsPassedUntilThereIsNoMore) {
    Results results({SQL_SUCCESS, SQL_SUCCESS_WITH_INFO, SQL_SUCCESS, SQL_NO_DATA, SQL_ERROR});
    std::vector<SQLRETURN> checked;
    db::passMoreResults([&] { return results.next(); }, [&](SQLRETURN rc) { checked.push_back(rc); });
    EXPECT_EQ(checked, (std::vector<SQLRETURN>{SQL_SUCCESS, SQL_SUCCESS_WITH_INFO, SQL_SUCCESS}));
    EXPECT_EQ(results.calls(), 4u) << "nothing asked for after SQL_NO_DATA";
}

TEST(OdbcDiagnostics, ErrorRaisedAfterAResultIsReportedAndEndsThePassing) {
    for (const int failure : {SQL_ERROR, SQL_INVALID_HANDLE, SQL_STILL_EXECUTING, SQL_NEED_DATA}) {
        Results results({SQL_SUCCESS, static_cast<SQLRETURN>(failure), SQL_SUCCESS});
        EXPECT_THROW(db::passMoreResults([&] { return results.next(); }, check), db::Error) << failure;
        EXPECT_EQ(results.calls(), 2u) << "a driver that keeps failing is not asked forever";
    }
    Results none({});
    EXPECT_NO_THROW(db::passMoreResults([&] { return none.next(); }, check));
}

// A trigger without SET NOCOUNT ON adds results beyond one per parameter set; an error of one
// set does not hide the sets after it.
TEST(OdbcDiagnostics, ArrayResultsArePassedToTheLastWhateverTheyCarry) {
    std::vector<SQLRETURN> many(40, SQL_SUCCESS_WITH_INFO);
    many[3] = SQL_ERROR;
    Results results(many);
    std::size_t taken = 0;
    db::passEveryResult([&] { return results.next(); }, [&](SQLRETURN) { return ++taken > 0; });
    EXPECT_EQ(taken, 40u);
    EXPECT_EQ(results.calls(), 40u) << "every result up to the end";
    for (const int end : {SQL_INVALID_HANDLE, SQL_STILL_EXECUTING, SQL_NEED_DATA, SQL_ERROR}) {
        Results stopping({SQL_SUCCESS, static_cast<SQLRETURN>(end), SQL_SUCCESS});
        db::passEveryResult([&] { return stopping.next(); }, [](SQLRETURN) { return false; });
        EXPECT_EQ(stopping.calls(), 2u) << end << ": a failure that tells nothing is not asked again";
    }
}

TEST(OdbcDiagnostics, ParameterSetFatesFromStatusesAndReturnCode) {
    using db::SetFate;
    constexpr SQLUSMALLINT unset = db::kStatusNotReported;
    struct Fates {
        SQLRETURN rc;
        std::vector<SQLUSMALLINT> statuses;
        SQLULEN processed;
        std::vector<SetFate> fates;
        bool unexplained;
    };
    const std::vector<Fates> cases{
        {SQL_ERROR,
         {unset, unset, unset, unset},
         2,
         {SetFate::Saved, SetFate::Saved, SetFate::Failed, SetFate::Again},
         false},
        {SQL_SUCCESS, {unset, unset}, 2, {SetFate::Saved, SetFate::Saved}, false},
        {SQL_SUCCESS_WITH_INFO,
         {SQL_PARAM_SUCCESS, SQL_PARAM_ERROR, SQL_PARAM_UNUSED},
         3,
         {SetFate::Saved, SetFate::Failed, SetFate::Again},
         false},
        {SQL_ERROR, {SQL_PARAM_UNUSED, SQL_PARAM_UNUSED}, 0, {SetFate::Failed, SetFate::Again}, false},
        {SQL_ERROR, {SQL_PARAM_SUCCESS, SQL_PARAM_UNUSED}, 1, {SetFate::Saved, SetFate::Again}, false},
        // The server rolled back what the statuses call saved (a trigger's error under XACT_ABORT).
        {SQL_ERROR, {SQL_PARAM_SUCCESS, SQL_PARAM_SUCCESS_WITH_INFO}, 2, {SetFate::Saved, SetFate::Saved}, true},
        {SQL_SUCCESS, {SQL_PARAM_SUCCESS, SQL_PARAM_SUCCESS}, 2, {SetFate::Saved, SetFate::Saved}, false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const db::SetFates settled = db::fatesOf(cases[i].rc, cases[i].statuses, cases[i].processed);
        EXPECT_EQ(settled.fates, cases[i].fates) << "case " << i;
        EXPECT_EQ(settled.failureUnexplained, cases[i].unexplained) << "case " << i;
    }
}

TEST(OdbcDiagnostics, SqlServerImportLockIsTheTransactionsAndAnswersBeforeTheStatementTimesOut) {
    const std::string lock = db::sqlServerImportLock(30);
    EXPECT_NE(lock.find("@LockOwner = N'Transaction'"), std::string::npos) << lock;
    EXPECT_NE(lock.find("@LockMode = N'Exclusive'"), std::string::npos) << lock;
    EXPECT_NE(lock.find("@LockTimeout = 29500;"), std::string::npos) << lock;
    EXPECT_NE(db::sqlServerImportLock(std::nullopt).find("@LockTimeout = -1;"), std::string::npos);
    EXPECT_NE(db::sqlServerImportLock(0).find("@LockTimeout = -1;"), std::string::npos)
        << "0 waits as long as it takes";

    const db::Error ranOut = db::importLockRefused(-1);
    EXPECT_EQ(ranOut.kind(), db::Error::Kind::locked);
    EXPECT_NE(std::string(ranOut.description()).find("Ein anderer Arbeitsplatz importiert gerade"), std::string::npos);
    EXPECT_NE(std::string(db::importLockRefused(-3).description()).find("Verklemmung"), std::string::npos);
    EXPECT_STREQ(db::importLockRefused(-999).description(),
                 "Die Importsperre des Datenpools ließ sich nicht erlangen. Der Datenpool hat sie verweigert. "
                 "(sp_getapplock: -999)");
}

}  // namespace

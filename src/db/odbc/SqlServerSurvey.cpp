#include "db/odbc/SqlServerSurvey.h"

#include <algorithm>
#include <cctype>

#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/Texts.h"

namespace db {

const char* const kSqlServerEncryptionQuery =
    "SELECT encrypt_option FROM sys.dm_exec_connections WHERE session_id = @@SPID";

// TRUNCATE TABLE needs ALTER; DBCC CHECKIDENT needs the schema's ownership, db_owner or
// db_ddladmin (or sysadmin); UPDATE STATISTICS in the script's Datenpflege ALTER on Adressen;
// importing only the new addresses DELETE on AdressenImport, to set the others aside.
const char* const kSqlServerRightsQuery =
    "SELECT HAS_PERMS_BY_NAME(N'AdressenImport', N'OBJECT', N'ALTER'), "
    "HAS_PERMS_BY_NAME(N'AdressenImport', N'OBJECT', N'INSERT'), "
    "HAS_PERMS_BY_NAME(N'AdressenImport', N'OBJECT', N'SELECT'), "
    "HAS_PERMS_BY_NAME(N'AdressenImport', N'OBJECT', N'UPDATE'), "
    "HAS_PERMS_BY_NAME(N'Adressen', N'OBJECT', N'SELECT'), "
    "HAS_PERMS_BY_NAME(N'Adressen', N'OBJECT', N'DELETE'), "
    "CASE WHEN IS_SRVROLEMEMBER(N'sysadmin') = 1 OR IS_ROLEMEMBER(N'db_owner') = 1 "
    "OR IS_ROLEMEMBER(N'db_ddladmin') = 1 OR EXISTS (SELECT 1 FROM sys.schemas "
    "WHERE schema_id = OBJECTPROPERTY(OBJECT_ID(N'Adressen'), 'SchemaId') "
    "AND principal_id = DATABASE_PRINCIPAL_ID()) THEN 1 ELSE 0 END, "
    "HAS_PERMS_BY_NAME(N'Adressen', N'OBJECT', N'ALTER'), "
    "HAS_PERMS_BY_NAME(N'AdressenImport', N'OBJECT', N'DELETE')";

// Readers' intent locks and the schema stability of a compiling query keep no one waiting.
const char* const kSqlServerLocksQuery =
    "SELECT request_session_id, request_mode, OBJECT_NAME(resource_associated_entity_id) "
    "FROM sys.dm_tran_locks WHERE resource_database_id = DB_ID() AND resource_type = N'OBJECT' "
    "AND resource_associated_entity_id IN (OBJECT_ID(N'AdressenImport'), OBJECT_ID(N'Adressen')) "
    "AND request_session_id <> @@SPID AND request_mode NOT IN (N'IS', N'Sch-S') "
    "ORDER BY request_session_id";

std::string sqlServerRoutineQuery(const std::string& name) {
    return "SELECT OBJECTPROPERTY(OBJECT_ID(N'" + name + "'), 'IsProcedure'), HAS_PERMS_BY_NAME(N'" + name +
           "', N'OBJECT', N'EXECUTE')";
}

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool isOne(const Value& value) { return value.isInteger() && value.integer() == 1; }

bool saysYes(const std::optional<std::string>& setting) {
    const std::string value = lower(setting.value_or(""));
    return value == "yes" || value == "true" || value == "mandatory" || value == "strict";
}

enum class Driver { freeTds, checksWheneverEncrypted, checksWhenAsked };

// ODBC Driver 18 and later ("msodbcsql18.dll", "libmsodbcsql-18.3.so.2.1") check the certificate
// whenever the connection is encrypted, also where only the server asked for it; the drivers
// before them only where the connection string asked for encryption.
Driver driverOf(const std::string& driverName) {
    const std::string name = lower(driverName);
    if (name.find("tds") != std::string::npos) return Driver::freeTds;
    const std::size_t at = name.find("msodbcsql");
    if (at == std::string::npos) return Driver::checksWhenAsked;
    std::size_t digit = at + 9;
    if (digit < name.size() && name[digit] == '-') ++digit;
    int major = 0;
    for (; digit < name.size() && std::isdigit(static_cast<unsigned char>(name[digit])); ++digit) {
        major = major * 10 + (name[digit] - '0');
    }
    return major >= 18 ? Driver::checksWheneverEncrypted : Driver::checksWhenAsked;
}

}  // namespace

Finding sqlServerEncryption(const std::optional<bool>& encrypted, const std::string& driverName,
                            const std::string& driverKeywords) {
    const std::vector<Keyword> keywords = readConnectionString(driverKeywords);
    const std::optional<std::string> encrypt = setting(keywords, "Encrypt");
    const bool strict = lower(encrypt.value_or("")) == "strict";
    const bool trusted = saysYes(setting(keywords, "TrustServerCertificate"));
    const std::string asked = "Encrypt=" + encrypt.value_or(std::string(texts::kNotGiven)) +
                              ", TrustServerCertificate=" + (trusted ? "Yes" : "No");
    if (!encrypted) {
        return {Verdict::warning, std::string(texts::kSubjectEncryption), texts::encryptionNotVisible(asked)};
    }
    if (!*encrypted) {
        return {Verdict::warning, std::string(texts::kSubjectEncryption), texts::notEncrypted(asked)};
    }
    const Driver driver = driverOf(driverName);
    if (driver == Driver::freeTds) {
        return {Verdict::warning, std::string(texts::kSubjectEncryption), std::string(texts::kFreeTdsEncrypted)};
    }
    const bool checked = strict || (!trusted && (driver == Driver::checksWheneverEncrypted || saysYes(encrypt)));
    if (checked) {
        return {Verdict::ok, std::string(texts::kSubjectEncryption), texts::certificateChecked(asked)};
    }
    return {Verdict::warning, std::string(texts::kSubjectEncryption), texts::certificateNotChecked(asked)};
}

Finding sqlServerRoutine(const std::string& name, const Value& isProcedure, const Value& mayExecute) {
    if (!isOne(isProcedure)) {
        return {Verdict::failure, name, std::string(texts::kSqlServerRoutineMissing)};
    }
    if (!isOne(mayExecute)) {
        return {Verdict::failure, name, texts::routineNotExecutable(name)};
    }
    return {Verdict::ok, name, std::string(texts::kRoutineExecutable)};
}

std::vector<Finding> sqlServerRights(const std::vector<Value>& granted) {
    struct Need {
        std::vector<std::size_t> columns;
        Verdict missing;
        std::string_view what;
        std::string_view grant;
    };
    static const std::vector<Need> needs = {
        {{0}, Verdict::failure, texts::kRightEmptyStaging, "GRANT ALTER ON AdressenImport"},
        {{1, 2, 3}, Verdict::failure, texts::kRightWriteStaging, "GRANT INSERT, SELECT, UPDATE ON AdressenImport"},
        {{4, 5}, Verdict::failure, texts::kRightDeleteImport, "GRANT SELECT, DELETE ON Adressen"},
        {{6}, Verdict::failure, texts::kRightReseed, texts::kRightReseedGrant},
        {{7}, Verdict::warning, texts::kRightMaintenance, "GRANT ALTER ON Adressen"},
        // Only an import of the new addresses needs it: the whole import works without.
        {{8}, Verdict::warning, texts::kRightSetAside, "GRANT DELETE ON AdressenImport"},
    };
    std::vector<Finding> findings;
    for (const Need& need : needs) {
        const bool all = std::all_of(need.columns.begin(), need.columns.end(),
                                     [&](std::size_t c) { return c < granted.size() && isOne(granted[c]); });
        if (all) {
            findings.push_back({Verdict::ok, std::string(texts::kSubjectRights), std::string(need.what)});
        } else {
            findings.push_back(
                {need.missing, std::string(texts::kSubjectRights), texts::rightMissing(need.what, need.grant)});
        }
    }
    return findings;
}

Finding sqlServerLocks(const std::vector<HeldLock>& held) {
    if (held.empty()) return {Verdict::ok, std::string(texts::kSubjectLocks), std::string(texts::kNoSessionLocks)};
    std::string who;
    for (const HeldLock& lock : held) {
        who += (who.empty() ? "" : ", ") + texts::sessionLock(lock.session, lock.mode, lock.table);
    }
    return {Verdict::failure, std::string(texts::kSubjectLocks), texts::sessionsLock(who)};
}

Finding sqlServerLocksUnknown(const Error& error) {
    return {Verdict::warning, std::string(texts::kSubjectLocks), texts::locksNotVisible(error.description())};
}

std::vector<Finding> SqlServerSurvey::connectionFindings() {
    std::vector<Finding> findings = odbcDriverFindings(connection_);
    std::optional<bool> encrypted;
    try {
        const auto rows = connection_.execute(kSqlServerEncryptionQuery);
        if (!rows->atEnd()) encrypted = lower(rows->value(0).toText()) == "true";
    } catch (const Error&) {
        // Asked without VIEW SERVER STATE; the finding says so.
    }
    findings.push_back(sqlServerEncryption(encrypted, connection_.info(SQL_DRIVER_NAME), connection_.driverKeywords()));
    return findings;
}

Finding SqlServerSurvey::routine(const std::string& name) {
    try {
        const auto rows = connection_.execute(sqlServerRoutineQuery(name));
        return sqlServerRoutine(name, rows->value(0), rows->value(1));
    } catch (const Error& error) {
        return {Verdict::failure, name, texts::notAsked(error.description())};
    }
}

std::vector<Finding> SqlServerSurvey::rights() {
    try {
        const auto rows = connection_.execute(kSqlServerRightsQuery);
        std::vector<Value> granted;
        for (int c = 0; c < rows->columnCount(); ++c) granted.push_back(rows->value(c));
        return sqlServerRights(granted);
    } catch (const Error& error) {
        return {{Verdict::failure, std::string(texts::kSubjectRights), texts::rightsNotAsked(error.description())}};
    }
}

Finding SqlServerSurvey::locks() {
    std::vector<HeldLock> held;
    try {
        const auto rows = connection_.execute(kSqlServerLocksQuery);
        for (; !rows->atEnd(); rows->moveNext()) {
            const Value session = rows->value(0);
            held.push_back(
                {session.isInteger() ? session.integer() : 0, rows->value(1).toText(), rows->value(2).toText()});
        }
    } catch (const Error& error) {
        return sqlServerLocksUnknown(error);
    }
    return sqlServerLocks(held);
}

}  // namespace db

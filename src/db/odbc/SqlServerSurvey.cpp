#include "db/odbc/SqlServerSurvey.h"

#include <algorithm>
#include <cctype>

#include "db/ConnectionString.h"
#include "db/Error.h"

namespace db {

const char* const kSqlServerEncryptionQuery =
    "SELECT encrypt_option FROM sys.dm_exec_connections WHERE session_id = @@SPID";

// TRUNCATE TABLE needs ALTER; DBCC CHECKIDENT needs the schema's ownership, db_owner or
// db_ddladmin (or sysadmin); UPDATE STATISTICS in the script's Datenpflege ALTER on Adressen.
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
    "HAS_PERMS_BY_NAME(N'Adressen', N'OBJECT', N'ALTER')";

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

std::string refusal(const Error& error) { return std::string(" (") + error.description() + ")"; }

}  // namespace

Finding sqlServerEncryption(const std::optional<bool>& encrypted, const std::string& driverName,
                            const std::string& driverKeywords) {
    const std::vector<Keyword> keywords = readConnectionString(driverKeywords);
    const std::optional<std::string> encrypt = setting(keywords, "Encrypt");
    const bool strict = lower(encrypt.value_or("")) == "strict";
    const bool trusted = saysYes(setting(keywords, "TrustServerCertificate"));
    const std::string asked =
        "Encrypt=" + encrypt.value_or("(nicht angegeben)") + ", TrustServerCertificate=" + (trusted ? "Yes" : "No");
    if (!encrypted) {
        return {Verdict::warning, "Verschlüsselung",
                "ob die Verbindung verschlüsselt ist, darf diese Anmeldung nicht erfragen (sys.dm_exec_connections "
                "braucht VIEW SERVER STATE); verlangt ist " +
                    asked};
    }
    if (!*encrypted) {
        return {Verdict::warning, "Verschlüsselung",
                "die Verbindung ist NICHT verschlüsselt: Anmeldung und Adressen gehen lesbar durchs Netz (" + asked +
                    "). Im Datenbankprofil \"Use Encryption for Data\"=\"True\" eintragen oder die Verschlüsselung "
                    "am Server erzwingen."};
    }
    const Driver driver = driverOf(driverName);
    if (driver == Driver::freeTds) {
        return {Verdict::warning, "Verschlüsselung",
                "die Verbindung ist verschlüsselt; FreeTDS prüft das Zertifikat des Servers nur, wenn freetds.conf "
                "die Zertifizierungsstellen nennt (\"ca file\")."};
    }
    const bool checked = strict || (!trusted && (driver == Driver::checksWheneverEncrypted || saysYes(encrypt)));
    if (checked) {
        return {Verdict::ok, "Verschlüsselung",
                "die Verbindung ist verschlüsselt, das Zertifikat des Servers wird geprüft (" + asked + ")"};
    }
    return {Verdict::warning, "Verschlüsselung",
            "die Verbindung ist verschlüsselt, aber das Zertifikat des Servers wird nicht geprüft (" + asked +
                "): ein anderer Rechner im Netz könnte sich als Server ausgeben. Richten Sie am Server ein Zertifikat "
                "einer Stelle ein, der dieser Rechner vertraut, und nehmen Sie \"Trust Server Certificate\" aus dem "
                "Profil."};
}

Finding sqlServerRoutine(const std::string& name, const Value& isProcedure, const Value& mayExecute) {
    if (!isOne(isProcedure)) {
        return {Verdict::failure, name,
                "fehlt, ist keine gespeicherte Prozedur oder ist für diese Anmeldung unsichtbar. Führen Sie "
                "db/schema/datenpool.sqlserver.sql aus oder geben Sie das Recht EXECUTE."};
    }
    if (!isOne(mayExecute)) {
        return {
            Verdict::failure, name,
            "vorhanden, aber diese Anmeldung darf sie nicht ausführen: GRANT EXECUTE ON " + name + " TO <Anmeldung>."};
    }
    return {Verdict::ok, name, "vorhanden, diese Anmeldung darf sie ausführen"};
}

std::vector<Finding> sqlServerRights(const std::vector<Value>& granted) {
    struct Need {
        std::vector<std::size_t> columns;
        Verdict missing;
        const char* what;
        const char* grant;
    };
    static const std::vector<Need> needs = {
        {{0}, Verdict::failure, "AdressenImport leeren (TRUNCATE TABLE)", "GRANT ALTER ON AdressenImport"},
        {{1, 2, 3},
         Verdict::failure,
         "AdressenImport beschreiben und lesen",
         "GRANT INSERT, SELECT, UPDATE ON AdressenImport"},
        {{4, 5}, Verdict::failure, "Adressen lesen und den letzten Import löschen", "GRANT SELECT, DELETE ON Adressen"},
        {{6},
         Verdict::failure,
         "den ID-Zähler von Adressen zurücksetzen (DBCC CHECKIDENT)",
         "Besitz des Schemas von Adressen, oder die Rolle db_owner oder db_ddladmin"},
        {{7},
         Verdict::warning,
         "Statistiken von Adressen erneuern (Datenpflege des Skripts)",
         "GRANT ALTER ON Adressen"},
    };
    std::vector<Finding> findings;
    for (const Need& need : needs) {
        const bool all = std::all_of(need.columns.begin(), need.columns.end(),
                                     [&](std::size_t c) { return c < granted.size() && isOne(granted[c]); });
        if (all) {
            findings.push_back({Verdict::ok, "Rechte", need.what});
        } else {
            findings.push_back({need.missing, "Rechte",
                                std::string(need.what) + ": fehlt dieser Anmeldung; nötig ist " + need.grant + "."});
        }
    }
    return findings;
}

Finding sqlServerLocks(const std::vector<HeldLock>& held) {
    if (held.empty()) return {Verdict::ok, "Sperren", "keine andere Sitzung sperrt AdressenImport oder Adressen"};
    std::string who;
    for (const HeldLock& lock : held) {
        who += (who.empty() ? "" : ", ") +
               ("Sitzung " + std::to_string(lock.session) + " " + lock.mode + " auf " + lock.table);
    }
    return {Verdict::failure, "Sperren",
            "andere Sitzungen sperren die Tabellen gerade (" + who +
                "); eine Konvertierung oder ein Import warteten jetzt darauf. Beenden Sie die Transaktion der "
                "Sitzung (sys.dm_exec_sessions nennt Rechner und Programm)."};
}

Finding sqlServerLocksUnknown(const Error& error) {
    return {Verdict::warning, "Sperren",
            "ließen sich nicht erfragen; sys.dm_tran_locks braucht VIEW SERVER STATE" + refusal(error)};
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
        return {Verdict::failure, name, "ließ sich nicht erfragen" + refusal(error)};
    }
}

std::vector<Finding> SqlServerSurvey::rights() {
    try {
        const auto rows = connection_.execute(kSqlServerRightsQuery);
        std::vector<Value> granted;
        for (int c = 0; c < rows->columnCount(); ++c) granted.push_back(rows->value(c));
        return sqlServerRights(granted);
    } catch (const Error& error) {
        return {{Verdict::failure, "Rechte", "ließen sich nicht erfragen" + refusal(error)}};
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

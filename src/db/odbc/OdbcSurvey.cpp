#include "db/odbc/OdbcSurvey.h"

#include "db/odbc/OdbcCatalog.h"

namespace db {

namespace {

// Microsoft's drivers report the SQL Server type datetimeoffset by a number of their own.
constexpr SQLSMALLINT kSqlServerDateTimeOffset = -155;

std::string withVersion(const std::string& name, const std::string& version) {
    if (name.empty()) return "nennt sich nicht";
    return version.empty() ? name : name + " " + version;
}

std::string typeText(const CatalogColumn& column) {
    if (column.maxChars) return column.typeName + "(" + std::to_string(*column.maxChars) + ")";
    return column.typeName;
}

}  // namespace

std::vector<Finding> odbcDriverFindings(const OdbcConnection& connection) {
    return {{Verdict::ok, "Treiber", withVersion(connection.info(SQL_DRIVER_NAME), connection.info(SQL_DRIVER_VER))},
            {Verdict::ok, "Server", withVersion(connection.info(SQL_DBMS_NAME), connection.info(SQL_DBMS_VER))}};
}

ColumnKind odbcColumnKind(SQLSMALLINT sqlType) {
    if (isTextType(sqlType)) return ColumnKind::text;
    switch (sqlType) {
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATE:
        case SQL_TIMESTAMP:
        case kSqlServerDateTimeOffset: return ColumnKind::date;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_FLOAT:
        case SQL_REAL:
        case SQL_DOUBLE:
        case SQL_BIGINT:
        case SQL_TINYINT: return ColumnKind::number;
        default: return ColumnKind::other;
    }
}

std::vector<Finding> OdbcSurvey::connectionFindings() {
    std::vector<Finding> findings = odbcDriverFindings(connection_);
    findings.push_back({Verdict::warning, "Verschlüsselung",
                        "ob die Verbindung verschlüsselt ist, sagt ODBC bei diesem Datenbanksystem nicht; fragen Sie "
                        "den Betreuer des Servers."});
    return findings;
}

std::optional<std::vector<ColumnFacts>> OdbcSurvey::columns(const std::string& table) {
    const auto found = findTable(connection_.session(), table);
    if (!found) return std::nullopt;
    std::vector<ColumnFacts> columns;
    for (const CatalogColumn& column : tableColumns(connection_.session(), *found)) {
        columns.push_back({column.name, typeText(column), odbcColumnKind(column.type.sqlType), column.maxChars});
    }
    return columns;
}

Finding OdbcSurvey::routine(const std::string& name) {
    if (!isProcedure(connection_.session(), name)) {
        return {Verdict::failure, name,
                "fehlt (oder diese Anmeldung sieht sie nicht). Führen Sie das Datenbankskript aus."};
    }
    return {Verdict::warning, name,
            "vorhanden; ob diese Anmeldung sie ausführen darf, sagt ODBC bei diesem Datenbanksystem nicht"};
}

std::vector<Finding> OdbcSurvey::rights() {
    return {{Verdict::warning, "Rechte",
             "lassen sich bei diesem Datenbanksystem nicht erfragen; die Probe unten schreibt in AdressenImport, "
             "Import und Rückgängigmachen zeigen sich erst beim ersten Lauf"}};
}

Finding OdbcSurvey::locks() {
    return {Verdict::warning, "Sperren", "lassen sich bei diesem Datenbanksystem nicht erfragen"};
}

}  // namespace db

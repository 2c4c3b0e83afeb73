#include "db/odbc/OdbcSurvey.h"

#include "db/Texts.h"
#include "db/odbc/OdbcCatalog.h"

namespace db {

namespace {

// Microsoft's drivers report the SQL Server type datetimeoffset by a number of their own.
constexpr SQLSMALLINT kSqlServerDateTimeOffset = -155;

std::string withVersion(const std::string& name, const std::string& version) {
    if (name.empty()) return std::string(texts::kUnnamed);
    return version.empty() ? name : name + " " + version;
}

std::string typeText(const CatalogColumn& column) {
    if (column.maxChars) return column.typeName + "(" + std::to_string(*column.maxChars) + ")";
    return column.typeName;
}

}  // namespace

std::vector<Finding> odbcDriverFindings(const OdbcConnection& connection) {
    return {{Verdict::ok, std::string(texts::kSubjectDriver),
             withVersion(connection.info(SQL_DRIVER_NAME), connection.info(SQL_DRIVER_VER))},
            {Verdict::ok, std::string(texts::kSubjectServer),
             withVersion(connection.info(SQL_DBMS_NAME), connection.info(SQL_DBMS_VER))}};
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
    findings.push_back(
        {Verdict::warning, std::string(texts::kSubjectEncryption), std::string(texts::kOdbcEncryptionUnknown)});
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
        return {Verdict::failure, name, std::string(texts::kOdbcRoutineMissing)};
    }
    return {Verdict::warning, name, std::string(texts::kOdbcRoutinePresent)};
}

std::vector<Finding> OdbcSurvey::rights() {
    return {{Verdict::warning, std::string(texts::kSubjectRights), std::string(texts::kOdbcRightsUnknown)}};
}

Finding OdbcSurvey::locks() {
    return {Verdict::warning, std::string(texts::kSubjectLocks), std::string(texts::kOdbcLocksUnknown)};
}

}  // namespace db

#include "db/odbc/OdbcCatalog.h"

#include "db/Names.h"
#include "db/odbc/OdbcText.h"

namespace db {

namespace {

// A text of the statement's current row; catalog texts are short.
std::optional<std::string> text(const OdbcHandle& statement, SQLUSMALLINT column) {
    SQLWCHAR buffer[512];
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator)) ||
        indicator == SQL_NULL_DATA) {
        return std::nullopt;
    }
    const SQLLEN characters = indicator == SQL_NO_TOTAL ? 511 : indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR));
    return fromWide(buffer, static_cast<std::size_t>(characters < 511 ? characters : 511));
}

std::optional<SQLINTEGER> number(const OdbcHandle& statement, SQLUSMALLINT column) {
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement.get(), column, SQL_C_SLONG, &value, 0, &indicator)) ||
        indicator == SQL_NULL_DATA) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> tableMatching(const OdbcSession& session, const std::string& name,
                                         const std::string& pattern) {
    const OdbcHandle statement = session.statement();
    std::u16string widePattern = toWide(pattern);
    std::u16string types = u"TABLE,VIEW";
    session.run(statement, [&] {
        return SQLTablesW(statement.get(), nullptr, 0, nullptr, 0, sqlText(widePattern), SQL_NTS, sqlText(types),
                          SQL_NTS);
    });
    std::optional<std::string> found;
    forEachRow(session, statement, [&] {
        if (auto table = text(statement, 3); table && sameName(*table, name)) found = std::move(table);
        return !found;
    });
    return found;
}

// A procedure name as SQL Server lists it: "AdressImport;1" (the number of its procedure group).
std::string withoutGroupNumber(std::string name) {
    if (const std::size_t semicolon = name.find(';'); semicolon != std::string::npos) name.erase(semicolon);
    return name;
}

// The columns an insert may leave out, found in an empty result of the table.
std::vector<std::string> generatedColumns(const OdbcSession& session, const std::string& table) {
    const OdbcHandle statement = session.statement();
    std::u16string sql = toWide("SELECT * FROM " + session.quoted(table) + " WHERE 1=0");
    session.run(statement, [&] { return SQLExecDirectW(statement.get(), sqlText(sql), SQL_NTS); });
    SQLSMALLINT columns = 0;
    session.check(SQLNumResultCols(statement.get(), &columns), statement);
    std::vector<std::string> generated;
    for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(columns); ++column) {
        SQLLEN automatic = SQL_FALSE;
        SQLLEN updatable = SQL_ATTR_READWRITE_UNKNOWN;
        SQLColAttributeW(statement.get(), column, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr, &automatic);
        SQLColAttributeW(statement.get(), column, SQL_DESC_UPDATABLE, nullptr, 0, nullptr, &updatable);
        if (automatic != SQL_TRUE && updatable != SQL_ATTR_READONLY) continue;
        SQLWCHAR name[256];
        SQLSMALLINT length = 0;
        SQLColAttributeW(statement.get(), column, SQL_DESC_NAME, name, sizeof name, &length, nullptr);
        const auto characters = static_cast<std::size_t>(length) / sizeof(SQLWCHAR);
        generated.push_back(fromWide(name, characters < 255 ? characters : 255));
    }
    return generated;
}

}  // namespace

bool isTextType(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR: return true;
        default: return false;
    }
}

void forEachRow(const OdbcSession& session, const OdbcHandle& statement, const std::function<bool()>& row) {
    try {
        SQLRETURN rc = SQL_SUCCESS;
        while ((rc = session.watched(statement, [&] { return SQLFetch(statement.get()); })) != SQL_NO_DATA) {
            session.check(rc, statement);
            if (!row()) break;
        }
    } catch (...) {
        SQLFreeStmt(statement.get(), SQL_CLOSE);  // the failure above is the one to report
        throw;
    }
    session.check(SQLFreeStmt(statement.get(), SQL_CLOSE), statement);
}

std::optional<std::string> findTable(const OdbcSession& session, const std::string& name) {
    // The name is its own search pattern ("_" matches any character, the comparison sorts that
    // out); a catalog that compares with regard to case is searched through once more.
    if (auto found = tableMatching(session, name, name)) return found;
    return tableMatching(session, name, "%");
}

bool isProcedure(const OdbcSession& session, const std::string& name) {
    const OdbcHandle statement = session.statement();
    std::u16string pattern = toWide(name);
    session.run(statement,
                [&] { return SQLProceduresW(statement.get(), nullptr, 0, nullptr, 0, sqlText(pattern), SQL_NTS); });
    bool found = false;
    forEachRow(session, statement, [&] {
        found = sameName(withoutGroupNumber(text(statement, 3).value_or("")), name);
        return !found;
    });
    return found;
}

std::vector<CatalogColumn> tableColumns(const OdbcSession& session, const std::string& table) {
    const OdbcHandle statement = session.statement();
    std::u16string wideTable = toWide(table);
    session.run(statement, [&] {
        return SQLColumnsW(statement.get(), nullptr, 0, nullptr, 0, sqlText(wideTable), SQL_NTS, nullptr, 0);
    });
    std::vector<CatalogColumn> columns;
    std::optional<std::string> schema;
    forEachRow(session, statement, [&] {
        // Tables of the same name in other schemas, or matched by "_" in the pattern, are not this one.
        const std::string columnSchema = text(statement, 2).value_or("");  // columns are read in their order
        if (!sameName(text(statement, 3).value_or(""), table)) return true;
        if (!schema) schema = columnSchema;
        if (columnSchema != *schema) return true;
        CatalogColumn column;
        column.name = text(statement, 4).value_or("");
        const auto type = number(statement, 5);
        column.typeName = text(statement, 6).value_or("");
        const auto size = number(statement, 7);
        if (type) column.type.sqlType = static_cast<SQLSMALLINT>(*type);
        if (size && *size > 0) column.type.size = static_cast<SQLULEN>(*size);
        column.type.digits = static_cast<SQLSMALLINT>(number(statement, 9).value_or(0));
        const bool longText = column.type.sqlType == SQL_LONGVARCHAR || column.type.sqlType == SQL_WLONGVARCHAR;
        if (isTextType(column.type.sqlType) && !longText && column.type.size > 0) column.maxChars = column.type.size;
        // COLUMN_DEF: the column's default; the word NULL where it defaults to null.
        const auto byDefault = text(statement, 13);
        column.omittable = byDefault && !sameName(*byDefault, "NULL");
        columns.push_back(std::move(column));
        return true;
    });
    for (const auto& generated : generatedColumns(session, table)) {
        for (auto& column : columns) {
            if (sameName(column.name, generated)) column.omittable = true;
        }
    }
    return columns;
}

std::vector<std::string> primaryKey(const OdbcSession& session, const std::string& table) {
    const OdbcHandle statement = session.statement();
    std::u16string wideTable = toWide(table);
    session.run(statement,
                [&] { return SQLPrimaryKeysW(statement.get(), nullptr, 0, nullptr, 0, sqlText(wideTable), SQL_NTS); });
    std::vector<std::string> key;
    forEachRow(session, statement, [&] {
        key.push_back(text(statement, 4).value_or(""));
        return true;
    });
    return key;
}

}  // namespace db

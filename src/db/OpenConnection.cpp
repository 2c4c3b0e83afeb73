#include "db/OpenConnection.h"

#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/Names.h"
#include "db/Texts.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/SqlServerDriver.h"
#include "db/odbc/SqlServerKeywords.h"
#include "db/sqlite/SqliteConnection.h"

namespace db {

namespace {

bool startsWith(const std::string& text, std::string_view prefix) {
    return sameName(text.substr(0, prefix.size()), prefix);
}

bool isSqlServerProvider(const std::string& provider) {
    return startsWith(provider, "SQLOLEDB") || startsWith(provider, "SQLNCLI") || startsWith(provider, "MSOLEDBSQL");
}

}  // namespace

std::unique_ptr<Connection> openConnection(const std::string& connectionString) {
    const std::vector<Keyword> keywords = readConnectionString(connectionString);
    if (const auto provider = setting(keywords, "Provider"); provider && !startsWith(*provider, "MSDASQL")) {
        if (startsWith(*provider, "SQLite")) {
            const std::string file = setting(keywords, "Data Source").value_or("");
            if (file.empty()) throw Error(kUnspecifiedFailure, std::string(texts::kNoDataSource));
            return SqliteConnection::open(file);
        }
        if (isSqlServerProvider(*provider)) {
            return OdbcConnection::open(sqlServerTarget(keywords, chooseSqlServerDriver(installedOdbcDrivers())));
        }
        throw Error(kProviderNotFound, texts::providerNotFound(*provider));
    }
    // As ADO's provider for ODBC (MSDASQL) does, the keywords go to the driver manager as they
    // are, without the blanks around them.
    if (setting(keywords, "Driver") || setting(keywords, "DSN") || setting(keywords, "FILEDSN")) {
        std::vector<Keyword> odbc;
        for (const auto& keyword : keywords) {
            if (!sameName(keyword.name, "Provider")) odbc.push_back(keyword);
        }
        OdbcTarget target;
        target.connectionString = odbcConnectionString(odbc);
        setTimeouts(target, keywords);
        return OdbcConnection::open(target);
    }
    throw Error(kUnspecifiedFailure, std::string(texts::kNoDataSource));
}

}  // namespace db

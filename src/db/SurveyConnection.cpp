#include "db/SurveyConnection.h"

#include <stdexcept>

#include "db/Texts.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcSurvey.h"
#include "db/odbc/SqlServerSurvey.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteFileSurvey.h"

namespace db {

std::unique_ptr<Survey> surveyConnection(Connection& connection) {
    if (dynamic_cast<SqliteConnection*>(&connection)) {
        return std::make_unique<SqliteFileSurvey>(
            connection, connection.identity(),
            std::vector<Finding>{
                {Verdict::ok, std::string(texts::kSubjectDatenpool), texts::embedded(sqliteLibraryVersion())}});
    }
    if (auto* odbc = dynamic_cast<OdbcConnection*>(&connection)) {
        if (odbc->session().dialect.identity == Identity::DatabaseFile) {
            return std::make_unique<SqliteFileSurvey>(connection, connection.identity(), odbcDriverFindings(*odbc));
        }
        if (odbc->session().dialect.sqlServerMetadata) return std::make_unique<SqlServerSurvey>(*odbc);
        return std::make_unique<OdbcSurvey>(*odbc);
    }
    throw std::logic_error(std::string(texts::kNoSurveyForConnection));
}

}  // namespace db

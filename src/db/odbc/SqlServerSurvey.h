#pragma once
// The check of a Datenpool on SQL Server: the server's own answers about this connection's
// encryption (sys.dm_exec_connections), the routines and the rights of this login
// (HAS_PERMS_BY_NAME, IS_ROLEMEMBER, the owner of the schema of Adressen) and the locks other
// sessions hold on the two tables (sys.dm_tran_locks). A question the login may not ask is
// answered as unknown, with the server's text.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/Error.h"
#include "db/Value.h"
#include "db/odbc/OdbcSurvey.h"

namespace db {

class SqlServerSurvey : public OdbcSurvey {
public:
    using OdbcSurvey::OdbcSurvey;

    std::vector<Finding> connectionFindings() override;
    Finding routine(const std::string& name) override;
    std::vector<Finding> rights() override;
    Finding locks() override;
};

// The statements the check sends.
extern const char* const kSqlServerEncryptionQuery;
extern const char* const kSqlServerRightsQuery;
extern const char* const kSqlServerLocksQuery;
std::string sqlServerRoutineQuery(const std::string& name);

// What the answers mean. encrypted: the server's encrypt_option, none when it may not be asked;
// driverName: SQL_DRIVER_NAME; driverKeywords: what the driver was given.
Finding sqlServerEncryption(const std::optional<bool>& encrypted, const std::string& driverName,
                            const std::string& driverKeywords);
// The two columns of the routine's query: OBJECTPROPERTY(…, 'IsProcedure') and
// HAS_PERMS_BY_NAME(…, 'EXECUTE'), null when the login does not see the object.
Finding sqlServerRoutine(const std::string& name, const Value& isProcedure, const Value& mayExecute);
// The columns of the rights query, in its order.
std::vector<Finding> sqlServerRights(const std::vector<Value>& granted);

struct HeldLock {
    std::int64_t session = 0;
    std::string mode;
    std::string table;
};
Finding sqlServerLocks(const std::vector<HeldLock>& held);
// The locks query refused, as it is without VIEW SERVER STATE.
Finding sqlServerLocksUnknown(const Error& refusal);

}  // namespace db

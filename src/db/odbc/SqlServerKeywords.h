#pragma once
// The keywords of the SQL Server OLE DB providers (SQLOLEDB, SQLNCLI, MSOLEDBSQL) in the words of
// a SQL Server ODBC driver: "Data Source" becomes Server, "Initial Catalog" Database,
// "Integrated Security=SSPI" Trusted_Connection, "User ID" and "Password" UID and PWD. Other
// keywords carry over where the driver has them; the rest (Provider, "Persist Security Info")
// means nothing to a driver and is left out. Encryption and the check of the server's
// certificate follow what the stored provider would have done; FreeTDS is told its protocol
// version and that texts are UTF-8.

#include <string>
#include <vector>

#include "db/ConnectionString.h"
#include "db/odbc/OdbcTarget.h"

namespace db {

// driver: the name of the ODBC driver chosen for the connection (Microsoft's or FreeTDS).
OdbcTarget sqlServerTarget(const std::vector<Keyword>& providerKeywords, const std::string& driver);

}  // namespace db

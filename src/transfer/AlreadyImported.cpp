#include "transfer/AlreadyImported.h"

#include "db/Connection.h"

namespace transfer {

bool canTellAlreadyImported(db::Connection& connection) {
    return connection.execute("SELECT * FROM Adressen WHERE 1=0")->position("fremdid") >= 0;
}

std::optional<std::int64_t> countAlreadyImported(db::Connection& connection) {
    if (!canTellAlreadyImported(connection)) return std::nullopt;
    return connection.execute(std::string("SELECT COUNT(*) FROM AdressenImport WHERE ") + kAlreadyImported)
        ->value(0)
        .integer();
}

}  // namespace transfer

#include "app/cli/Datenpool.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/Error.h"
#include "db/sqlite/SqliteConnection.h"

namespace cli {

std::unique_ptr<db::Connection> openDatenpool(const std::string& file) {
    const std::filesystem::path path(std::u8string(file.begin(), file.end()));
    std::error_code ignored;
    std::unique_ptr<db::Connection> connection = std::filesystem::exists(path, ignored)
                                                     ? std::unique_ptr<db::Connection>(db::SqliteConnection::open(file))
                                                     : db::SqliteConnection::create(file);
    try {
        connection->execute("AdressenImport");
    } catch (const db::Error& error) {
        // A lock says nothing about the staging table: the script would not help.
        if (error.code() == SQLITE_BUSY || error.code() == SQLITE_LOCKED) throw;
        throw db::Error(error.code(), std::string(error.description()) + "\r\n\r\nFühren Sie das aktuelle Datenbankskript aus.");
    }
    return connection;
}

}  // namespace cli

#include "app/cli/Datenpool.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/Error.h"
#include "db/OpenConnection.h"
#include "db/sqlite/SqliteConnection.h"

namespace cli {

namespace {

std::unique_ptr<db::Connection> openOrCreate(const std::string& file) {
    const std::filesystem::path path(std::u8string(file.begin(), file.end()));
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) return db::SqliteConnection::open(file);
    return db::SqliteConnection::create(file);
}

}  // namespace

std::unique_ptr<db::Connection> openTarget(const std::string& target) {
    if (target.find('=') != std::string::npos) return db::openConnection(target);
    return openOrCreate(target);
}

std::unique_ptr<db::Connection> openDatenpool(const std::string& target) {
    std::unique_ptr<db::Connection> connection = openTarget(target);
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

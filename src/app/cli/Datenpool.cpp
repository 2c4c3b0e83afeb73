#include "app/cli/Datenpool.h"

#include <filesystem>

#include "app/StartupCheck.h"
#include "app/cli/Arguments.h"
#include "app/cli/Texts.h"
#include "db/Error.h"
#include "db/OpenConnection.h"
#include "db/sqlite/SqliteConnection.h"
#include "text/Utf8Path.h"

namespace cli {

namespace {

std::unique_ptr<db::Connection> openOrCreate(const std::string& file) {
    std::error_code ignored;
    if (std::filesystem::exists(text::pathOf(file), ignored)) return db::SqliteConnection::open(file);
    return db::SqliteConnection::create(file);
}

}  // namespace

void checkTarget(const std::string& target, const std::string& what) {
    // An empty name would open no file at all, or a temporary database that vanishes with the run.
    if (target.find_first_not_of(" \t\r\n\v\f") == std::string::npos) {
        throw UsageError(texts::emptyTarget(what));
    }
}

std::unique_ptr<db::Connection> openTarget(const std::string& target) {
    if (target.find('=') != std::string::npos) return db::openConnection(target);
    return openOrCreate(target);
}

std::unique_ptr<db::Connection> openDatenpool(const std::string& target) {
    std::unique_ptr<db::Connection> connection;
    try {
        connection = openTarget(target);
    } catch (const db::Error& error) {
        throw db::Error(error.code(), app::connectionFailed(error).problem, error.kind());
    }
    const app::DatenpoolCheck check = app::checkDatenpool(*connection);
    if (!check.convertible()) throw db::Error(db::kUnspecifiedFailure, check.problem);
    return connection;
}

}  // namespace cli

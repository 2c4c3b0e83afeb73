#include "app/cli/ExistingDatenpool.h"

#include <filesystem>
#include <stdexcept>

#include "app/cli/Texts.h"
#include "db/OpenConnection.h"
#include "db/sqlite/SqliteConnection.h"
#include "text/Utf8Path.h"

namespace cli {

void requireExisting(const std::string& target) {
    if (target.find('=') != std::string::npos) return;
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(text::pathOf(target), ignored)) {
        throw std::runtime_error(texts::datenpoolMissing(target));
    }
}

std::unique_ptr<db::Connection> openExisting(const std::string& target) {
    requireExisting(target);
    if (target.find('=') != std::string::npos) return db::openConnection(target);
    return db::SqliteConnection::open(target);
}

}  // namespace cli

#pragma once
// Runs something while another connection of this process holds a Datenpool as sql left it
// (a write lock, an open read transaction), and lets it go afterwards.

#include <string>

#include "db/sqlite/SqliteConnection.h"

namespace testing_support {

template <class Run>
auto whileAnotherHolds(const std::string& datenpool, const std::string& sql, Run&& run) {
    const auto other = db::SqliteConnection::open(datenpool);
    other->runScript(sql);
    auto result = run();
    other->rollback();
    return result;
}

}  // namespace testing_support

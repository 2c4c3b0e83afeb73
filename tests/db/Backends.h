#pragma once
// The Datenpool as each backend reaches it: the embedded SQLite file, and the same file through
// ODBC with the SQLite3 driver (unixODBC natively, Wine's odbc32 passing on to it).

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/Connection.h"
#include "db/OpenConnection.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/HostPath.h"
#include "support/TempDir.h"

namespace db_tests {

enum class Backend { Embedded, Odbc };

inline std::string odbcConnectionStringFor(const std::string& file) {
    return "Driver=SQLite3;Database=" + testing_support::hostPath(file);
}

// The connection keywords an office stores for the Datenpool file, reached through the backend.
inline std::vector<std::pair<std::string, std::string>> connectionKeywordsFor(Backend backend,
                                                                              const std::string& file) {
    if (backend == Backend::Embedded) return {{"Provider", "SQLite"}, {"Data Source", file}};
    return {{"Driver", "SQLite3"}, {"Database", testing_support::hostPath(file)}};
}

// Creates a Datenpool file from the database script and connects to it through the backend.
inline std::unique_ptr<db::Connection> createDatenpool(Backend backend, const std::string& file) {
    auto created = db::SqliteConnection::create(file);
    if (backend == Backend::Embedded) return created;
    created.reset();
    return db::openConnection(odbcConnectionStringFor(file));
}

inline std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Embedded ? "Embedded" : "Odbc";
}

// A fresh Datenpool per test, reached through the backend of the test's parameter.
class DatenpoolTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { connection = createDatenpool(GetParam(), file()); }
    std::string file() const { return dir.file("pool.db"); }
    // Stages one address per surname.
    void stage(std::initializer_list<const char*> surnames) {
        auto rows = connection->openForWriting("AdressenImport");
        for (const char* name : surnames) {
            rows->addNew();
            rows->set("nachname", name);
            rows->update();
        }
        rows->close();
    }
    std::int64_t count(const std::string& table) {
        const db::Value n = connection->execute("SELECT COUNT(*) AS n FROM " + table)->value("n");
        return n.isInteger() ? n.integer() : -1;
    }

    testing_support::TempDir dir;
    std::unique_ptr<db::Connection> connection;
};

#define INSTANTIATE_FOR_BOTH_BACKENDS(suite)                                                                           \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(db_tests::Backend::Embedded, db_tests::Backend::Odbc), \
                             db_tests::backendName)

}  // namespace db_tests

// A request to stop (Ctrl+C in the command-line tool) ends a statement that works or waits
// long, on either backend: it fails with a message of its own and its transaction is rolled
// back. On ODBC the thread that watched it ends with the connection.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "Backends.h"
#include "db/Error.h"
#include "db/StopWaiting.h"

namespace {

using namespace std::chrono_literals;

// Counts to a number that takes SQLite minutes: a statement that only a cancel ends in time.
constexpr const char* kLongStatement =
    "WITH RECURSIVE counter(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM counter WHERE n < 5000000000) "
    "SELECT COUNT(*) FROM counter";

std::atomic<bool> stopAsked{false};
bool isStopAsked() { return stopAsked; }

class StatementStop : public ::testing::TestWithParam<db_tests::Backend> {
protected:
    void SetUp() override {
        stopAsked = false;
        db::setStopWaiting(&isStopAsked);
        connection = db_tests::createDatenpool(backend(), dir.file("pool.db"));
        connection->execute("INSERT INTO AdressenImport (nachname) VALUES ('Muster')");
    }
    void TearDown() override {
        connection.reset();
        db::setStopWaiting(nullptr);
    }
    virtual db_tests::Backend backend() const { return GetParam(); }
    std::int64_t staged() { return connection->execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer(); }
    // Runs sql while the stop is asked for after a moment, as a Ctrl+C from another thread;
    // answers the error it ended with and how long it ran.
    std::pair<std::string, std::chrono::steady_clock::duration> runUntilStopped(const std::string& sql) {
        std::thread pressing([] {
            std::this_thread::sleep_for(200ms);
            stopAsked = true;
        });
        const auto start = std::chrono::steady_clock::now();
        std::string failure = "<no failure>";
        try {
            connection->execute(sql);
        } catch (const db::Error& error) {
            failure = error.description();
        }
        const auto took = std::chrono::steady_clock::now() - start;
        pressing.join();
        return {failure, took};
    }

    testing_support::TempDir dir;
    std::unique_ptr<db::Connection> connection;
};

TEST_P(StatementStop, LongStatementEndsSoonAfterTheRequestWithAMessageOfItsOwn) {
    const auto [failure, took] = runUntilStopped(kLongStatement);

    EXPECT_EQ(failure.rfind("Die Anweisung an den Datenpool wurde abgebrochen (Strg+C).", 0), 0u) << failure;
    // Not a measurement: far below the minutes the statement would take, so that a cancel that
    // never comes shows as a failure instead of a hang.
    EXPECT_LT(took, 10s);
}

TEST_P(StatementStop, CancelledStatementTakesItsTransactionWithIt) {
    connection->beginTransaction();
    connection->execute("DELETE FROM AdressenImport");
    const auto [failure, took] = runUntilStopped(kLongStatement);
    ASSERT_NE(failure, "<no failure>");

    // Nothing more is written in it, and its end is a rollback: the deleted row is back.
    EXPECT_THROW(connection->execute("DELETE FROM AdressenImport"), db::Error);
    EXPECT_THROW(connection->commit(), db::Error);
    stopAsked = false;
    EXPECT_EQ(staged(), 1);
}

TEST_P(StatementStop, StatementThatEndsByItselfIsLeftToEnd) {
    stopAsked = true;
    connection->beginTransaction();
    connection->execute("INSERT INTO AdressenImport (nachname) VALUES ('Zweite')");
    connection->commit();

    EXPECT_EQ(staged(), 2);
}

TEST_P(StatementStop, ConnectionGoesOnAfterTheRequestIsAnswered) {
    const auto [failure, took] = runUntilStopped(kLongStatement);
    ASSERT_NE(failure, "<no failure>");
    stopAsked = false;

    connection->beginTransaction();
    connection->execute("INSERT INTO AdressenImport (nachname) VALUES ('Danach')");
    connection->commit();
    EXPECT_EQ(staged(), 2);
}

INSTANTIATE_FOR_BOTH_BACKENDS(StatementStop);

#ifdef __linux__
class OdbcStatementWatcher : public StatementStop {
protected:
    db_tests::Backend backend() const override { return db_tests::Backend::Odbc; }
};

std::size_t threadsOfThisProcess() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

TEST_F(OdbcStatementWatcher, WatcherEndsWithTheConnection) {
    connection.reset();
    const std::size_t before = threadsOfThisProcess();
    connection = db_tests::createDatenpool(db_tests::Backend::Odbc, dir.file("other.db"));
    EXPECT_EQ(staged(), 0);
    EXPECT_EQ(threadsOfThisProcess(), before + 1) << "one watcher while the connection lives";

    connection.reset();
    EXPECT_EQ(threadsOfThisProcess(), before);
}

TEST_F(OdbcStatementWatcher, NoWatcherWhereNobodyCanAskToStop) {
    connection.reset();
    db::setStopWaiting(nullptr);
    const std::size_t before = threadsOfThisProcess();
    connection = db_tests::createDatenpool(db_tests::Backend::Odbc, dir.file("other.db"));

    EXPECT_EQ(staged(), 0);
    EXPECT_EQ(threadsOfThisProcess(), before);
}
#endif

}  // namespace

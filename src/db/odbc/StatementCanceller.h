#pragma once
// Ends the statement that runs on a connection when a request to stop waiting comes
// (db::stopWaiting(): Ctrl+C in the command-line tool), be it waiting for another session's
// lock or working long. A thread of its own looks every 50 ms while the connection lives and
// calls SQLCancel on the statement in progress, which ODBC allows from another thread. A
// statement first gets a quarter of a second to end by itself, so that a conversion, which
// answers the request after its line, keeps what it wrote.

#include <condition_variable>
#include <mutex>
#include <thread>

#include "db/odbc/Odbc.h"

namespace db {

class StatementCanceller {
public:
    StatementCanceller() = default;
    ~StatementCanceller();
    StatementCanceller(const StatementCanceller&) = delete;
    StatementCanceller& operator=(const StatementCanceller&) = delete;

    // statement runs a call from now until finished().
    void started(SQLHSTMT statement);
    // Answers whether the call was cancelled; its statement is then closed.
    bool finished();

private:
    void watch();

    std::mutex mutex_;
    std::condition_variable closing_;
    std::thread watcher_;
    bool closed_ = false;
    SQLHSTMT running_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace db

#include "db/odbc/StatementCanceller.h"

#include <chrono>
#include <utility>

#include "db/StopWaiting.h"

namespace db {

namespace {

constexpr auto kLookEvery = std::chrono::milliseconds(50);

}  // namespace

StatementCanceller::~StatementCanceller() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    closing_.notify_one();
    if (watcher_.joinable()) watcher_.join();
}

void StatementCanceller::started(SQLHSTMT statement) {
    // Without anyone to ask for a stop there is nothing to watch.
    if (!canStopWaiting()) return;
    const std::lock_guard lock(mutex_);
    if (!watcher_.joinable()) watcher_ = std::thread([this] { watch(); });
    running_ = statement;
    cancelled_ = false;
}

bool StatementCanceller::finished() {
    if (!watcher_.joinable()) return false;
    const std::lock_guard lock(mutex_);
    running_ = nullptr;
    return std::exchange(cancelled_, false);
}

void StatementCanceller::watch() {
    std::unique_lock lock(mutex_);
    int looksSinceStopAsked = 0;
    while (!closing_.wait_for(lock, kLookEvery, [this] { return closed_; })) {
        looksSinceStopAsked = stopWaiting() ? looksSinceStopAsked + 1 : 0;
        // Under the lock the statement cannot end its call and be freed meanwhile.
        if (running_ != nullptr && !cancelled_ && looksSinceStopAsked > kTimeToEndAfterStop / kLookEvery) {
            SQLCancel(running_);
            cancelled_ = true;
        }
    }
}

}  // namespace db

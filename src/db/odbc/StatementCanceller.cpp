#include "db/odbc/StatementCanceller.h"

#include <chrono>
#include <optional>
#include <utility>

#include "db/StopWaiting.h"

namespace db {

namespace {

constexpr auto kLookEvery = std::chrono::milliseconds(50);
constexpr auto kTimeToEnd = std::chrono::milliseconds(250);

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
    std::optional<std::chrono::steady_clock::time_point> stopAskedAt;
    while (!closing_.wait_for(lock, kLookEvery, [this] { return closed_; })) {
        if (!stopWaiting()) {
            stopAskedAt.reset();
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!stopAskedAt) stopAskedAt = now;
        // Under the lock the statement cannot end its call and be freed meanwhile.
        if (running_ != nullptr && !cancelled_ && now - *stopAskedAt >= kTimeToEnd) {
            SQLCancel(running_);
            cancelled_ = true;
        }
    }
}

}  // namespace db

#include "db/StopWaiting.h"

#include <atomic>

namespace db {

namespace {
std::atomic<StopWaitingCheck> current{nullptr};
}  // namespace

void setStopWaiting(StopWaitingCheck check) { current = check; }

bool stopWaiting() {
    const StopWaitingCheck check = current;
    return check != nullptr && check();
}

bool canStopWaiting() { return current != nullptr; }

}  // namespace db

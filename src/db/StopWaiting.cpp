#include "db/StopWaiting.h"

namespace db {

namespace {
StopWaitingCheck current = nullptr;
}  // namespace

void setStopWaiting(StopWaitingCheck check) { current = check; }

bool stopWaiting() { return current != nullptr && current(); }

}  // namespace db

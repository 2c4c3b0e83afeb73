#pragma once
// Whether a wait for another program's lock on the Datenpool should end now: Ctrl+C in the
// command-line tool. A plain function, so that it can read what a signal handler set.

namespace db {

using StopWaitingCheck = bool (*)();

// check: answers true once the waits should end; none (the default) waits the full time.
void setStopWaiting(StopWaitingCheck check);
bool stopWaiting();

}  // namespace db

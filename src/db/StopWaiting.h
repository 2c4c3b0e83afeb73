#pragma once
// Whether a wait for another program's lock on the Datenpool, or a database statement that
// takes long, should end now: Ctrl+C in the command-line tool. A plain function, so that it can
// read what a signal handler set; it is asked from other threads too.

namespace db {

using StopWaitingCheck = bool (*)();

// check: answers true once the waits should end; none (the default) waits the full time.
void setStopWaiting(StopWaitingCheck check);
bool stopWaiting();
// Whether a check is set at all: without one no wait needs watching.
bool canStopWaiting();

}  // namespace db

#pragma once
// Whether a wait for another program's lock on the Datenpool, or a database statement that
// takes long, should end now: Ctrl+C in the command-line tool. A plain function, so that it can
// read what a signal handler set; it is asked from other threads too.

#include <chrono>

namespace db {

// How long a statement that runs when a stop is asked for may take to end by itself: a
// conversion answers the request after its line and keeps what it wrote.
inline constexpr std::chrono::milliseconds kTimeToEndAfterStop{250};

using StopWaitingCheck = bool (*)();

// check: answers true once the waits should end; none (the default) waits the full time.
void setStopWaiting(StopWaitingCheck check);
bool stopWaiting();
// Whether a check is set at all: without one no wait needs watching.
bool canStopWaiting();

}  // namespace db

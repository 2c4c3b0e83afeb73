#include "app/cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace cli {

namespace {
// Lock-free, so that the signal handler may set it; atomic, as the database's watcher reads it
// from its own thread.
std::atomic<int> interrupted{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The first Ctrl+C is a request that the tool answers at its next step or within its waits;
// a second one, while the first is still unanswered, ends the program at once.
extern "C" void onInterrupt(int) {
    if (interrupted) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    interrupted = 1;
    std::signal(SIGINT, onInterrupt);  // where the handler is reset on delivery
}
}  // namespace

void catchInterrupt() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return interrupted != 0; }

// Asked after every line of a conversion: a plain read first, as the exchange locks the bus.
bool takeInterrupt() { return interrupted.load(std::memory_order_relaxed) != 0 && interrupted.exchange(0) != 0; }

}  // namespace cli

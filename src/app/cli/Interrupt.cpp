#include "app/cli/Interrupt.h"

#include <csignal>

namespace cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;

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

bool takeInterrupt() {
    const bool was = interrupted != 0;
    interrupted = 0;
    return was;
}

}  // namespace cli

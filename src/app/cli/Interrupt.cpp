#include "app/cli/Interrupt.h"

#include <csignal>

namespace cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;
extern "C" void onInterrupt(int) { interrupted = 1; }
}  // namespace

void catchInterrupt() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return interrupted != 0; }

bool takeInterrupt() {
    const bool was = interrupted != 0;
    interrupted = 0;
    return was;
}

}  // namespace cli

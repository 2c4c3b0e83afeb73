#pragma once
// Ctrl+C as the tool's cancel button: the signal only sets a flag that the running
// conversion looks at after each line, and that ends the tool's waits (a locked Datenpool,
// a question on the terminal). A second Ctrl+C before the first was answered ends the tool.

namespace cli {

void catchInterrupt();
bool interruptRequested();
// Answers whether Ctrl+C came since the last call, and forgets it.
bool takeInterrupt();

}  // namespace cli

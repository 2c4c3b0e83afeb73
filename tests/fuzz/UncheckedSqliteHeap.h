#pragma once
// SQLite's own allocations in the fuzz build: the C library's heap instead of the sanitizer's.
// SQLite comes from the system and carries no sanitizer checks of its own; its parser and
// statements allocate so often that the checked, quarantining allocator would take most of
// every run. Everything the program itself allocates stays checked.

namespace fuzz {

// Call before SQLite's first use; aborts when SQLite refuses it.
void useUncheckedSqliteHeap();

}  // namespace fuzz

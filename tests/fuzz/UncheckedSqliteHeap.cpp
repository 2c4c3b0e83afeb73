#include "UncheckedSqliteHeap.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

// The C library's own entry points, which the sanitizer's allocator does not replace.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);
extern "C" void __libc_free(void* block);

namespace fuzz {

namespace {

// Every block starts with its size, which SQLite asks for; 16 bytes keep malloc's alignment.
constexpr std::size_t kHeader = 16;

void* withSize(void* block, int size) {
    if (!block) return nullptr;
    *static_cast<int*>(block) = size;
    return static_cast<char*>(block) + kHeader;
}

void* start(void* memory) { return static_cast<char*>(memory) - kHeader; }

void* allocate(int size) { return withSize(__libc_malloc(kHeader + static_cast<std::size_t>(size)), size); }

void release(void* memory) {
    if (memory) __libc_free(start(memory));
}

void* resize(void* memory, int size) {
    if (!memory) return allocate(size);
    return withSize(__libc_realloc(start(memory), kHeader + static_cast<std::size_t>(size)), size);
}

int sizeOf(void* memory) { return memory ? *static_cast<int*>(start(memory)) : 0; }

int roundUp(int size) { return (size + 7) & ~7; }

int initialize(void*) { return SQLITE_OK; }

void shutDown(void*) {}

}  // namespace

void useUncheckedSqliteHeap() {
    static const sqlite3_mem_methods methods = {allocate, release,    resize,   sizeOf,
                                                roundUp,  initialize, shutDown, nullptr};
    const int rc = sqlite3_config(SQLITE_CONFIG_MALLOC, &methods);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "SQLite refused its heap: %s\n", sqlite3_errstr(rc));
        std::abort();
    }
}

}  // namespace fuzz

#include "AllocationCounter.h"

#include <cstddef>

// glibc's own entry points; defining malloc in the executable makes every library's calls land here.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* pointer, std::size_t size);

namespace {
thread_local long allocationCount = 0;
}

extern "C" void* malloc(std::size_t size)
{
    ++allocationCount;
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    ++allocationCount;
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, std::size_t size)
{
    ++allocationCount;
    return __libc_realloc(pointer, size);
}

long allocationsOnThisThread() { return allocationCount; }

#include "backends/sim/tool_allocations.h"

#include "backends/sim/inside_simulator.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool counting = false;
thread_local unsigned long allocations = 0;

void CountAllocation()
{
    if (counting && !InsideSimulator()) ++allocations;
}

}  // namespace

void StartCountingToolAllocations()
{
    allocations = 0;
    counting = true;
}

unsigned long StopCountingToolAllocations()
{
    counting = false;
    return allocations;
}

#ifdef __GLIBC__
// glibc's operator new takes its memory from malloc: one count covers both.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);

extern "C" void* malloc(size_t size)
{
    CountAllocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    CountAllocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size)
{
    CountAllocation();
    return __libc_realloc(block, size);
}
#else
void* operator new(size_t size)
{
    CountAllocation();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    std::free(block);
}
#endif

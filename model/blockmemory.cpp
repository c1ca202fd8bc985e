#include "blockmemory.h"

#include <new>
#include <sys/mman.h>

namespace korvala {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

constexpr std::size_t RoundedUp(std::size_t bytes)
{
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

} // namespace

void *ReserveBlockMemory(std::size_t bytes)
{
    const std::size_t size = RoundedUp(bytes);
    void *memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // A million quotes then cost a few hundred page faults instead of fifty thousand.
    ::madvise(memory, size, MADV_HUGEPAGE);
#endif
    return memory;
}

void ReleaseBlockMemory(void *memory, std::size_t bytes) noexcept
{
    if (memory)
        ::munmap(memory, RoundedUp(bytes));
}

} // namespace korvala

#include "blockmemory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <sys/mman.h>

namespace korvala {

namespace {

constexpr std::size_t kHugePage = kHugePageBytes;

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
    return memory;
}

void AdviseHugePages(void *memory, std::size_t bytes) noexcept
{
#ifdef MADV_HUGEPAGE
    // A million quotes then cost a few hundred page faults instead of fifty thousand.
    if (memory)
        ::madvise(memory, RoundedUp(bytes), MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}

void ReleaseBlockMemory(void *memory, std::size_t bytes) noexcept
{
    if (memory)
        ::munmap(memory, RoundedUp(bytes));
}

BlockBuffer::BlockBuffer(BlockBuffer &&other) noexcept
    : m_data(other.m_data), m_size(other.m_size), m_capacity(other.m_capacity)
{
    other.m_data = nullptr;
    other.m_size = other.m_capacity = 0;
}

BlockBuffer &BlockBuffer::operator=(BlockBuffer &&other) noexcept
{
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

void BlockBuffer::Reserve(std::size_t capacity)
{
    if (capacity <= m_capacity)
        return;
    char *data = nullptr;
    if (capacity < kHugePageBytes) {
        data = static_cast<char *>(std::calloc(capacity, 1));
        if (!data)
            throw std::bad_alloc();
    } else {
        capacity = RoundedUp(capacity);
        data = static_cast<char *>(ReserveBlockMemory(capacity));
        if (capacity > kHugePageBytes)
            AdviseHugePages(data, capacity);
    }
    if (m_size > 0)
        std::memcpy(data, m_data, m_size);
    Release();
    m_data = data;
    m_capacity = capacity;
}

void BlockBuffer::Release() noexcept
{
    if (m_capacity < kHugePageBytes)
        std::free(m_data);
    else
        ReleaseBlockMemory(m_data, m_capacity);
}

} // namespace korvala

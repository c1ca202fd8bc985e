#pragma once

// Memory for large runs of records: address space reserved in one piece, pages that
// come into being when first touched, huge pages where the system offers them, and a
// hint to fetch memory ahead of a sweep. The only platform-specific code of the model.

#include <cstddef>

namespace korvala {

// Reserves bytes of zero-filled memory, rounded up to whole huge pages; pages cost
// nothing until touched. Throws std::bad_alloc when the system refuses.
void *ReserveBlockMemory(std::size_t bytes);
// Asks for huge pages in memory from ReserveBlockMemory, for a run about to grow large:
// a huge page costs one fault instead of 512 but is zeroed whole at its first touch, so
// small runs (a short list, a short file) keep small pages.
void AdviseHugePages(void *memory, std::size_t bytes) noexcept;
// From this size on a run is large.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
// Gives back what ReserveBlockMemory returned for the same number of bytes.
void ReleaseBlockMemory(void *memory, std::size_t bytes) noexcept;

// A buffer of block memory that grows by moving to a larger one: for large runs filled
// once (a whole file, a column of figures), where faulting in huge pages is much
// cheaper than faulting in small ones. A buffer smaller than a huge page comes from the
// heap instead: mapping and unmapping it would cost more than it saves, and unmapping
// interrupts every other thread of the program. Its bytes start zero.
class BlockBuffer final
{
public:
    BlockBuffer() = default;
    explicit BlockBuffer(std::size_t capacity) { Reserve(capacity); }
    ~BlockBuffer() { Release(); }
    BlockBuffer(BlockBuffer &&other) noexcept;
    BlockBuffer &operator=(BlockBuffer &&other) noexcept;
    BlockBuffer(const BlockBuffer &) = delete;
    BlockBuffer &operator=(const BlockBuffer &) = delete;

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    // Room for at least capacity bytes; the bytes up to size() move along.
    void Reserve(std::size_t capacity);
    // The first size bytes count (size at most capacity()).
    void SetSize(std::size_t size) { m_size = size; }

private:
    void Release() noexcept;

    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// Asks for the cache line at address to be fetched for reading; never faults.
inline void PrefetchForRead(const void *address) { __builtin_prefetch(address); }

} // namespace korvala

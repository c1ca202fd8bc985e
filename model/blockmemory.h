#pragma once

// Memory for large runs of records: address space reserved in one piece, pages that
// come into being when first touched, huge pages where the system offers them, and a
// hint to fetch memory ahead of a sweep. The only platform-specific code of the model.

#include <cstddef>

namespace korvala {

// Reserves bytes of zero-filled memory, rounded up to whole huge pages; pages cost
// nothing until touched. Throws std::bad_alloc when the system refuses.
void *ReserveBlockMemory(std::size_t bytes);
// Gives back what ReserveBlockMemory returned for the same number of bytes.
void ReleaseBlockMemory(void *memory, std::size_t bytes) noexcept;

// Asks for the cache line at address to be fetched for reading; never faults.
inline void PrefetchForRead(const void *address) { __builtin_prefetch(address); }

} // namespace korvala

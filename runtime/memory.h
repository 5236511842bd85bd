// The runtime's allocator: all dynamic memory of the runtime comes from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor {

// size 0 gives null; null when memory is exhausted.
void* Allocate(size_t size);
// count * size zero bytes; either argument 0 (or an overflowing product) gives null.
void* AllocateZeroed(size_t count, size_t size);
// null p: Allocate; size 0: Free and null.
void* Reallocate(void* p, size_t size);
// null is ignored.
void Free(void* p);

}  // namespace kor

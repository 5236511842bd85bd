// Interim allocator over the C library until the tagged arena allocator lands.
#include "runtime/memory.h"

#include <stdlib.h>

namespace kor {

void* Allocate(size_t size) { return size == 0 ? nullptr : malloc(size); }

void* AllocateZeroed(size_t count, size_t size) {
  if (count == 0 || size == 0 || count > SIZE_MAX / size) return nullptr;
  return calloc(count, size);
}

void* Reallocate(void* p, size_t size) {
  if (p == nullptr) return Allocate(size);
  if (size == 0) {
    free(p);
    return nullptr;
  }
  return realloc(p, size);
}

void Free(void* p) { free(p); }

}  // namespace kor

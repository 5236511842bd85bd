// Large blocks: requests above the arena limit, each in a system allocation
// of its own that is resized in place or remapped.
//
// A freed large block's system allocation is kept for the next large block
// when it fits the cache (kLargeCacheSlots allocations, kLargeCacheBytes
// together); otherwise it goes back to the system at once, as does the oldest
// cached allocation when a newer one needs its place. A program that builds a
// big buffer, frees it and builds the next (a text export, a table read into
// memory) then reuses pages it already holds: a fresh system allocation costs
// a page fault per page on first touch, which dwarfs the work done with the
// buffer.
#include <cstring>

#include "runtime/memory/memory.h"
#include "runtime/memory/memory_internal.h"
#include "runtime/memory/runtime_log.h"
#include "runtime/os/os.h"

namespace kor::memory_detail {

namespace {

size_t PageRound(size_t n) { return (n + kPageSize - 1) & ~(kPageSize - 1); }

void SetLargeTags(char* p, uint32_t size, size_t mapped) {
  SetHeader(p, kTagLarge, size);
  SetTrailer(p, size, kTagLarge);
  uint64_t m = mapped;
  RawCopy(p + size, &m, sizeof m);
  const uint32_t zero = 0;
  RawCopy(p + size + 12, &zero, sizeof zero);
}

// Gives an allocation back to the system; its memory may later belong to
// anyone, so the sanitizer must no longer hold it poisoned.
void Release(char* base, size_t mapped) {
  UnpoisonRegion(base, mapped);
  OsReleaseMemory(base, mapped);
}

struct CachedAllocation {
  char* base;
  size_t mapped;
};

// Freed allocations kept for reuse, oldest first.
CachedAllocation g_cache[kLargeCacheSlots];
size_t g_cached = 0;
size_t g_cached_bytes = 0;

void Uncache(size_t i) {
  g_cached_bytes -= g_cache[i].mapped;
  --g_cached;
  for (; i < g_cached; ++i) g_cache[i] = g_cache[i + 1];
}

// The smallest cached allocation of at least `want` bytes, taken out of the
// cache; null when none fits.
char* TakeCached(size_t want, size_t* mapped) {
  size_t best = g_cached;
  for (size_t i = 0; i < g_cached; ++i) {
    if (g_cache[i].mapped >= want &&
        (best == g_cached || g_cache[i].mapped < g_cache[best].mapped)) {
      best = i;
    }
  }
  if (best == g_cached) return nullptr;
  char* base = g_cache[best].base;
  *mapped = g_cache[best].mapped;
  Uncache(best);
  return base;
}

void ReleaseOrCache(char* base, size_t mapped) {
  if (mapped > kLargeCacheBytes) {
    Release(base, mapped);
    return;
  }
  while (g_cached == kLargeCacheSlots || g_cached_bytes + mapped > kLargeCacheBytes) {
    Release(g_cache[0].base, g_cache[0].mapped);
    Uncache(0);
  }
  PoisonRegion(base, mapped);
  g_cache[g_cached++] = {base, mapped};
  g_cached_bytes += mapped;
}

}  // namespace

size_t CachedLargeBytes() { return g_cached_bytes; }

char* MakeLarge(uint32_t size, size_t want) {
  size_t mapped = PageRound(want);
  // A 32-bit build can overflow the sums near the top of the size range.
  if (want < size + kLargeExtra || size + kLargeExtra < size || mapped < want) return nullptr;
  auto* base = TakeCached(mapped, &mapped);
  if (base == nullptr) base = static_cast<char*>(OsReserveMemory(mapped));
  if (base == nullptr) return nullptr;
  char* p = base + kLargeBlockOffset;
  if (!RegisterLarge(p)) {
    Release(base, mapped);
    return nullptr;
  }
  RawStore(base, static_cast<char>(kTagSystem));
  SetLargeTags(p, size, mapped);
  // The caller unpoisons the bytes it asked for.
  PoisonRegion(base, mapped);
  ++g_heap.large_count;
  return p;
}

size_t GrowthAllowance(size_t size) {
  size_t exact = size + kLargeExtra;
  size_t roomy = exact + exact / 4;
  return roomy < exact ? exact : roomy;
}

bool LargeBlockIntact(const char* p, uint32_t size) {
  if (PreviousTrailerTag(p) != kTagSystem || size <= kLargeThreshold || (size & 7) != 0) {
    ReportDiagnostic(kDiagUnknownBlock);
    return false;
  }
  if (TrailerTag(p, size) != kTagLarge) {
    ReportDiagnostic(kDiagWrittenPastEnd);
    return false;
  }
  return true;
}

void FreeLargeBlock(char* p) {
  uint32_t size = BlockSizeAt(p);
  if (!LargeBlockIntact(p, size)) return;
  size_t mapped = LargeMapped(p, size);
  --g_heap.large_count;
  // From here on p is no block: a second free finds it among the freed.
  UnregisterLarge(p);
  RememberFreedLarge(p);
  ReleaseOrCache(p - kLargeBlockOffset, mapped);
}

char* ResizeLargeBlock(char* p, uint32_t size, uint32_t r) {
  char* base = p - kLargeBlockOffset;
  size_t mapped = LargeMapped(p, size);
  size_t want = kLargeBlockOffset + r + (kLargeExtra - kLargeBlockOffset);
  if (want <= mapped) {
    if (r < size && want <= mapped / 2) {
      // Give back the pages of a block that shrank to less than half.
      size_t smaller = PageRound(want);
      UnpoisonRegion(base + smaller, mapped - smaller);
      if (OsResizeMemory(base, mapped, smaller) == base) mapped = smaller;
    }
    SetLargeTags(p, r, mapped);
    PoisonRegion(base, mapped);  // the caller unpoisons what it asked for
    return p;
  }
  size_t grown = PageRound(GrowthAllowance(r));
  if (grown < want) return nullptr;
  // The system may move the allocation: the old place must not stay poisoned.
  UnpoisonRegion(base, mapped);
  auto* moved = static_cast<char*>(OsResizeMemory(base, mapped, grown));
  if (moved == nullptr) {
    PoisonRegion(base, mapped);
    UnpoisonRegion(p, size - kBlockOverhead);
    return nullptr;
  }
  char* q = moved + kLargeBlockOffset;
  if (q != p) {
    UnregisterLarge(p);
    RegisterLarge(q);  // cannot fail right after the unregistering
  }
  SetLargeTags(q, r, grown);
  PoisonRegion(moved, grown);
  return q;
}

}  // namespace kor::memory_detail

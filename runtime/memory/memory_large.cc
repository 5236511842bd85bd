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
  std::memcpy(p + size, &m, sizeof m);
  std::memset(p + size + 12, 0, 4);
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
    OsReleaseMemory(base, mapped);
    return;
  }
  while (g_cached == kLargeCacheSlots || g_cached_bytes + mapped > kLargeCacheBytes) {
    OsReleaseMemory(g_cache[0].base, g_cache[0].mapped);
    Uncache(0);
  }
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
  base[0] = static_cast<char>(kTagSystem);
  char* p = base + kLargeBlockOffset;
  SetLargeTags(p, size, mapped);
  ++g_heap.large_count;
  return p;
}

size_t GrowthAllowance(size_t size) {
  size_t exact = size + kLargeExtra;
  size_t roomy = exact + exact / 4;
  return roomy < exact ? exact : roomy;
}

bool LargeBlockIntact(const char* p, uint32_t size) {
  if (static_cast<uint8_t>(p[-8]) != kTagSystem || size <= kLargeThreshold || (size & 7) != 0) {
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
  // A second free of the same pointer must not cache the allocation twice:
  // the header now reads as a freed block.
  SetHeader(p, kTagFree, size);
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
      if (OsResizeMemory(base, mapped, smaller) == base) mapped = smaller;
    }
    SetLargeTags(p, r, mapped);
    return p;
  }
  size_t grown = PageRound(GrowthAllowance(r));
  if (grown < want) return nullptr;
  auto* moved = static_cast<char*>(OsResizeMemory(base, mapped, grown));
  if (moved == nullptr) return nullptr;
  p = moved + kLargeBlockOffset;
  SetLargeTags(p, r, grown);
  return p;
}

}  // namespace kor::memory_detail

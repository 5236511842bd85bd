// Large blocks: requests above the arena limit, each in a system allocation
// of its own that is resized in place or remapped, and released on free.
#include <cstring>

#include "runtime/memory.h"
#include "runtime/memory_internal.h"
#include "runtime/os.h"
#include "runtime/runtime_log.h"

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

}  // namespace

char* MakeLarge(uint32_t size, size_t want) {
  size_t mapped = PageRound(want);
  // A 32-bit build can overflow the sums near the top of the size range.
  if (want < size + kLargeExtra || size + kLargeExtra < size || mapped < want) return nullptr;
  auto* base = static_cast<char*>(OsReserveMemory(mapped));
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
  OsReleaseMemory(p - kLargeBlockOffset, mapped);
}

char* ResizeLargeBlock(char* p, uint32_t size, uint32_t r) {
  char* base = p - kLargeBlockOffset;
  size_t mapped = LargeMapped(p, size);
  size_t want = kLargeBlockOffset + r + (kLargeExtra - kLargeBlockOffset);
  if (want <= mapped) {
    if (want <= mapped / 2) {
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

// The tagged arena allocator: next-fit search over the free-region list,
// carving, immediate merging on free, in-place resizing and large blocks.
#include "runtime/memory/memory.h"

#include <cstring>

#include "runtime/memory/memory_internal.h"
#include "runtime/memory/runtime_log.h"
#include "runtime/os/os.h"

namespace kor {

namespace memory_detail {

constinit HeapState g_heap = {
    .head = {.prev = &g_heap.head, .next = &g_heap.head, .size = 0, .start = nullptr},
    .rover = &g_heap.head,
    .spare = nullptr,
    .newest_arena = nullptr,
    .newest_pool = nullptr,
    .arena_count = 0,
    .pool_count = 0,
    .large_count = 0,
    .region_count = 0,
    .index_active = false,
};

DescriptorPool* PoolOf(const FreeRegion* d) {
  auto a = reinterpret_cast<uintptr_t>(d);
  for (DescriptorPool* pool = g_heap.newest_pool; pool != nullptr; pool = pool->older) {
    auto first = reinterpret_cast<uintptr_t>(&pool->regions[0]);
    auto end = reinterpret_cast<uintptr_t>(&pool->regions[kDescriptorsPerPool]);
    if (a >= first && a < end) return (a - first) % sizeof(FreeRegion) == 0 ? pool : nullptr;
  }
  return nullptr;
}

}  // namespace memory_detail

namespace {

using namespace memory_detail;

// ---- descriptors ---------------------------------------------------------

FreeRegion* TakeDescriptor() {
  if (g_heap.spare == nullptr) {
    auto* pool = static_cast<DescriptorPool*>(OsReserveMemory(sizeof(DescriptorPool)));
    if (pool == nullptr) return nullptr;
    pool->older = g_heap.newest_pool;
    g_heap.newest_pool = pool;
    ++g_heap.pool_count;
    // Chain the records so that the first one is handed out first.
    for (size_t i = kDescriptorsPerPool; i-- > 0;) {
      pool->regions[i].next = g_heap.spare;
      g_heap.spare = &pool->regions[i];
    }
  }
  FreeRegion* d = g_heap.spare;
  g_heap.spare = d->next;
  return d;
}

void ReleaseDescriptor(FreeRegion* d) {
  d->prev = nullptr;
  d->next = g_heap.spare;
  g_heap.spare = d;
}

// Appends d at the end of the circular list (just before the head).
void Append(FreeRegion* d) {
  FreeRegion* last = g_heap.head.prev;
  d->prev = last;
  d->next = &g_heap.head;
  last->next = d;
  g_heap.head.prev = d;
  NoteAppended(d);
}

// Unlinks d; a rover on it moves to its successor.
void Unlink(FreeRegion* d) {
  if (g_heap.rover == d) g_heap.rover = d->next;
  d->prev->next = d->next;
  d->next->prev = d->prev;
  NoteUnlinked(d);
}

// Turns [p, p + size) into a free block described by d.
void MarkFree(char* p, uint32_t size, FreeRegion* d) {
  SetHeader(p, kTagFree, size);
  SetTrailer(p, size, kTagFree);
  SetRegionOf(p, size, d);
  d->start = p;
  d->size = size;
}

void MarkAllocated(char* p, uint32_t size) {
  SetHeader(p, kTagAllocated, size);
  SetTrailer(p, size, kTagAllocated);
}

// The free region that starts at the block after [p, p + size), or null
// when that block is not free (or its descriptor does not describe it).
FreeRegion* FreeSuccessor(char* p, uint32_t size) {
  char* next = p + size;
  if (HeaderTag(next) != kTagFree) return nullptr;
  uint32_t ns = BlockSizeAt(next);
  FreeRegion* d = RegionOf(next, ns);
  if (!IsDescriptor(d) || d->start != next || d->size != ns) return nullptr;
  return d;
}

// ---- arenas and large blocks ------------------------------------------------

FreeRegion* NewArena() {
  auto* arena = static_cast<char*>(OsReserveMemory(kArenaSize));
  if (arena == nullptr) return nullptr;
  FreeRegion* d = TakeDescriptor();
  if (d == nullptr) {
    OsReleaseMemory(arena, kArenaSize);
    return nullptr;
  }
  arena[0] = static_cast<char>(kTagBoundary);
  arena[kArenaEndTag] = static_cast<char>(kTagBoundary);
  char* older = g_heap.newest_arena;
  std::memcpy(arena + kArenaLink, &older, sizeof older);
  std::memset(arena + kArenaLastWord, 0, 4);
  g_heap.newest_arena = arena;
  ++g_heap.arena_count;
  MarkFree(arena + kArenaFirstBlock, static_cast<uint32_t>(kArenaBlockSpace), d);
  Append(d);
  return d;
}

// Hands out r bytes from the front of region d.
char* Carve(FreeRegion* d, uint32_t r) {
  char* p = d->start;
  uint32_t region = d->size;
  if (region - r < kMinSplit) {
    r = region;
    FreeRegion* neighbour = d->next;
    Unlink(d);
    ReleaseDescriptor(d);
    g_heap.rover = neighbour;
  } else {
    d->start = p + r;
    d->size = region - r;
    SetHeader(d->start, kTagFree, d->size);
    NoteResized(d);
    g_heap.rover = d;
  }
  MarkAllocated(p, r);
  return p;
}

// Checks an arena block's size and trailer; reports and returns false when
// they are wrong.
bool ArenaBlockIntact(const char* p, uint32_t size) {
  if (size < 16 || (size & 7) != 0 || size > kArenaBlockSpace) {
    ReportDiagnostic(kDiagIllegalSize);
    return false;
  }
  if (TrailerTag(p, size) != kTagAllocated) {
    ReportDiagnostic(kDiagWrittenPastEnd);
    return false;
  }
  return true;
}

void FreeArenaBlock(char* p) {
  uint32_t size = BlockSizeAt(p);
  if (!ArenaBlockIntact(p, size)) return;
  FreeRegion* before = nullptr;
  if (static_cast<uint8_t>(p[-8]) == kTagFree) {
    // The block before is free: its descriptor pointer precedes its trailer.
    std::memcpy(&before, p - 8 - sizeof before, sizeof before);
    if (!IsDescriptor(before) || before->start + before->size != p) {
      ReportDiagnostic(kDiagMangledFreeList);
      return;
    }
  }
  FreeRegion* after = nullptr;
  if (HeaderTag(p + size) == kTagFree) {
    after = FreeSuccessor(p, size);
    if (after == nullptr) {
      ReportDiagnostic(kDiagMangledFreeList);
      return;
    }
  }
  FreeRegion* used;
  if (before != nullptr && after != nullptr) {
    Unlink(after);
    MarkFree(before->start, before->size + size + after->size, before);
    ReleaseDescriptor(after);
    NoteResized(before);
    used = before;
  } else if (before != nullptr) {
    MarkFree(before->start, before->size + size, before);
    NoteResized(before);
    used = before;
  } else if (after != nullptr) {
    // The successor's trailer and descriptor pointer stay where they are.
    after->start = p;
    after->size += size;
    SetHeader(p, kTagFree, after->size);
    NoteResized(after);
    used = after;
  } else {
    used = TakeDescriptor();
    if (used == nullptr) {
      ReportDiagnostic(kDiagOutOfFreeSpace);
      return;
    }
    MarkFree(p, size, used);
    Append(used);
  }
  // The next search starts just before the region, which it reaches second.
  g_heap.rover = used->prev;
}

// Resizes an arena block to r bytes without moving it; false when the
// block after it cannot give the room.
bool ResizeArenaBlock(char* p, uint32_t size, uint32_t r) {
  if (r == size) return true;
  FreeRegion* after = FreeSuccessor(p, size);
  if (r < size) {
    uint32_t tail = size - r;
    if (after != nullptr) {
      after->start = p + r;
      after->size += tail;
      SetHeader(after->start, kTagFree, after->size);
      NoteResized(after);
    } else if (tail >= kMinSplit) {
      FreeRegion* d = TakeDescriptor();
      if (d == nullptr) return true;  // keeps its old size, still a valid block
      MarkFree(p + r, tail, d);
      Append(d);
    } else {
      return true;  // too small a tail to give back: the block keeps it
    }
    MarkAllocated(p, r);
    return true;
  }
  uint32_t need = r - size;
  if (after == nullptr || after->size < need) return false;
  if (after->size - need < kMinSplit) {
    r = size + after->size;
    Unlink(after);
    ReleaseDescriptor(after);
  } else {
    after->start = p + r;
    after->size -= need;
    SetHeader(after->start, kTagFree, after->size);
    NoteResized(after);
  }
  MarkAllocated(p, r);
  return true;
}

bool LooksLikeBlockPointer(const char* p) {
  // Blocks are 8-byte aligned and never in the first 64 KB of the address space.
  auto a = reinterpret_cast<uintptr_t>(p);
  return (a & 7) == 0 && a >= 0x10000;
}

}  // namespace

void* Allocate(size_t n) {
  if (n == 0) return nullptr;
  size_t r = BlockSizeFor(n);
  if (r == 0) return nullptr;
  if (r > kLargeThreshold) return MakeLarge(static_cast<uint32_t>(r), r + kLargeExtra);
  // Next fit: the first region from the rover, once around the list.
  FreeRegion* d = g_heap.index_active ? IndexFind(static_cast<uint32_t>(r))
                                      : WalkOrIndexFind(static_cast<uint32_t>(r));
  if (d != nullptr) return Carve(d, static_cast<uint32_t>(r));
  d = NewArena();
  return d == nullptr ? nullptr : Carve(d, static_cast<uint32_t>(r));
}

void* AllocateZeroed(size_t count, size_t size) {
  if (count == 0 || size == 0 || count > kMaxAllocation / size) return nullptr;
  void* p = Allocate(count * size);
  if (p != nullptr) std::memset(p, 0, count * size);
  return p;
}

void Free(void* ptr) {
  if (ptr == nullptr) return;
  auto* p = static_cast<char*>(ptr);
  if (!LooksLikeBlockPointer(p)) {
    ReportDiagnostic(kDiagUnknownBlock);
    return;
  }
  switch (HeaderTag(p)) {
    case kTagAllocated: FreeArenaBlock(p); return;
    case kTagLarge: FreeLargeBlock(p); return;
    case kTagFree: ReportDiagnostic(kDiagFreedTwice); return;
    default: ReportDiagnostic(kDiagUnknownBlock); return;
  }
}

void* Reallocate(void* ptr, size_t n) {
  if (ptr == nullptr) return Allocate(n);
  if (n == 0) {
    Free(ptr);
    return nullptr;
  }
  size_t r = BlockSizeFor(n);
  if (r == 0) return nullptr;
  auto* p = static_cast<char*>(ptr);
  if (!LooksLikeBlockPointer(p)) {
    ReportDiagnostic(kDiagUnknownBlock);
    return nullptr;
  }
  uint8_t tag = HeaderTag(p);
  uint32_t size = BlockSizeAt(p);
  if (tag == kTagAllocated) {
    if (!ArenaBlockIntact(p, size)) return nullptr;
    if (n <= kLargeThreshold && ResizeArenaBlock(p, size, static_cast<uint32_t>(r))) return p;
  } else if (tag == kTagLarge) {
    if (!LargeBlockIntact(p, size)) return nullptr;
    if (r > kLargeThreshold) {
      char* q = ResizeLargeBlock(p, size, static_cast<uint32_t>(r));
      if (q != nullptr) return q;
    }
  } else {
    ReportDiagnostic(tag == kTagFree ? kDiagFreedTwice : kDiagUnknownBlock);
    return nullptr;
  }
  // Move: a block growing into the large sizes gets room to grow further.
  char* q = (r > kLargeThreshold && r > size)
                ? MakeLarge(static_cast<uint32_t>(r), GrowthAllowance(r))
                : static_cast<char*>(Allocate(n));
  if (q == nullptr) return nullptr;
  size_t keep = size - kBlockOverhead;
  std::memcpy(q, p, keep < n ? keep : n);
  Free(p);
  return q;
}

size_t BlockSize(const void* ptr) {
  auto* p = static_cast<const char*>(ptr);
  if (p == nullptr || !LooksLikeBlockPointer(p)) return 0;
  uint8_t tag = HeaderTag(p);
  return (tag == kTagAllocated || tag == kTagLarge) ? BlockSizeAt(p) : 0;
}

bool IsLargeBlock(const void* ptr) {
  auto* p = static_cast<const char*>(ptr);
  return p != nullptr && LooksLikeBlockPointer(p) && HeaderTag(p) == kTagLarge;
}

}  // namespace kor

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
  if (d == nullptr || !RegisterArena(arena)) {
    if (d != nullptr) ReleaseDescriptor(d);
    OsReleaseMemory(arena, kArenaSize);
    return nullptr;
  }
  arena[0] = static_cast<char>(kTagBoundary);
  arena[kArenaEndTag] = static_cast<char>(kTagBoundary);
  char* older = g_heap.newest_arena;
  std::memcpy(arena + kArenaLink, &older, sizeof older);
  std::memset(arena + kArenaLastWord, 0, 4);
  // Nothing of a fresh arena may be touched until a block is handed out.
  PoisonRegion(arena, kArenaSize);
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
bool ArenaBlockIntact(const char* p, uint32_t size, const char* arena) {
  if (size < 16 || (size & 7) != 0 ||
      size > static_cast<size_t>(arena + kArenaFirstBlock + kArenaBlockSpace - p)) {
    ReportDiagnostic(kDiagIllegalSize);
    return false;
  }
  if (TrailerTag(p, size) != kTagAllocated) {
    ReportDiagnostic(kDiagWrittenPastEnd);
    return false;
  }
  return true;
}

void FreeArenaBlock(char* p, const char* arena) {
  uint32_t size = BlockSizeAt(p);
  if (!ArenaBlockIntact(p, size, arena)) return;
  FreeRegion* before = nullptr;
  if (PreviousTrailerTag(p) == kTagFree) {
    // The block before is free: its descriptor pointer precedes its trailer.
    before = RegionBefore(p);
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
  // A block absorbed by the region before it keeps a free header tag, so
  // that freeing it again is seen as the double free it is.
  if (before != nullptr) RawStore(p - 5, static_cast<char>(kTagFree));
  PoisonRegion(p, size - kBlockOverhead);
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

enum class BlockKind { kArena, kLarge, kFreed, kUnknown };

BlockKind KindByTag(const char* p) {
  uint8_t tag = HeaderTag(p);
  if (tag == kTagAllocated) return BlockKind::kArena;
  return tag == kTagFree ? BlockKind::kFreed : BlockKind::kUnknown;
}

// Classify's lookups, when p is in neither the last arena nor the last
// large block.
BlockKind ClassifyByLookup(const char* p, const char** arena) {
  if (p == nullptr || !LooksLikeBlockPointer(p)) return BlockKind::kUnknown;
  if ((*arena = FindArena(p)) != nullptr) return KindByTag(p);
  if (IsRegisteredLarge(p)) return BlockKind::kLarge;
  return WasFreedLarge(p) ? BlockKind::kFreed : BlockKind::kUnknown;
}

// What p is, judged without touching memory the allocator does not hold:
// the tags of a pointer are read only when it lies in an arena (set in
// `arena`); a large block must be one alive; a large block freed not long
// ago is a freed one. The common cases (the arena of the last question, a
// buffer grown step by step) are answered inline.
inline BlockKind Classify(const char* p, const char** arena) {
  *arena = nullptr;
  if (p == g_last_large && p != nullptr) return BlockKind::kLarge;
  char* last = g_last_arena;
  if (last != nullptr && InBlockSpace(last, p) && (reinterpret_cast<uintptr_t>(p) & 7) == 0) {
    *arena = last;
    return KindByTag(p);
  }
  return ClassifyByLookup(p, arena);
}

void ReportMisuse(BlockKind kind) {
  ReportDiagnostic(kind == BlockKind::kFreed ? kDiagFreedTwice : kDiagUnknownBlock);
}

// After an in-place resize from old_size to new_size bytes: the bytes past
// the n asked for (and a tail given back) are not to be touched.
void RepoisonResized(char* p, uint32_t old_size, size_t n) {
  if (!kHeapPoisoning) return;
  uint32_t new_size = BlockSizeAt(p);
  PoisonRegion(p, (old_size > new_size ? old_size : new_size) - kBlockOverhead);
  UnpoisonRegion(p, n);
}

}  // namespace

void* Allocate(size_t n) {
  if (n == 0) return nullptr;
  size_t r = BlockSizeFor(n);
  if (r == 0) return nullptr;
  char* p;
  if (r > kLargeThreshold) {
    p = MakeLarge(static_cast<uint32_t>(r), r + kLargeExtra);
  } else {
    // Next fit: the first region from the rover, once around the list.
    FreeRegion* d = g_heap.index_active ? IndexFind(static_cast<uint32_t>(r))
                                        : WalkOrIndexFind(static_cast<uint32_t>(r));
    if (d == nullptr) d = NewArena();
    p = d == nullptr ? nullptr : Carve(d, static_cast<uint32_t>(r));
  }
  if (p != nullptr) UnpoisonRegion(p, n);
  return p;
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
  const char* arena;
  switch (BlockKind kind = Classify(p, &arena)) {
    case BlockKind::kArena: FreeArenaBlock(p, arena); return;
    case BlockKind::kLarge: FreeLargeBlock(p); return;
    default: ReportMisuse(kind); return;
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
  const char* arena;
  BlockKind kind = Classify(p, &arena);
  uint32_t size = kind == BlockKind::kArena || kind == BlockKind::kLarge ? BlockSizeAt(p) : 0;
  if (kind == BlockKind::kArena) {
    if (!ArenaBlockIntact(p, size, arena)) return nullptr;
    if (n <= kLargeThreshold && ResizeArenaBlock(p, size, static_cast<uint32_t>(r))) {
      RepoisonResized(p, size, n);
      return p;
    }
  } else if (kind == BlockKind::kLarge) {
    if (!LargeBlockIntact(p, size)) return nullptr;
    if (r > kLargeThreshold) {
      char* q = ResizeLargeBlock(p, size, static_cast<uint32_t>(r));
      if (q != nullptr) {
        UnpoisonRegion(q, n);
        return q;
      }
    }
  } else {
    ReportMisuse(kind);
    return nullptr;
  }
  // Move: a block growing into the large sizes gets room to grow further.
  char* q = (r > kLargeThreshold && r > size)
                ? MakeLarge(static_cast<uint32_t>(r), GrowthAllowance(r))
                : static_cast<char*>(Allocate(n));
  if (q == nullptr) return nullptr;
  UnpoisonRegion(q, n);
  // The old block is copied whole (its size asked for is not kept) and then
  // freed, which poisons it again.
  size_t keep = size - kBlockOverhead;
  UnpoisonRegion(p, keep);
  std::memcpy(q, p, keep < n ? keep : n);
  Free(p);
  return q;
}

size_t BlockSize(const void* ptr) {
  auto* p = static_cast<const char*>(ptr);
  const char* arena;
  BlockKind kind = Classify(p, &arena);
  return kind == BlockKind::kArena || kind == BlockKind::kLarge ? BlockSizeAt(p) : 0;
}

bool IsLargeBlock(const void* ptr) {
  const char* arena;
  return Classify(static_cast<const char*>(ptr), &arena) == BlockKind::kLarge;
}

}  // namespace kor

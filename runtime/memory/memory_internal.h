// The allocator's private state and tag accessors, shared by the allocator's
// own files (memory.cc, the heap walker memory_check.cc, the search index
// memory_index.cc, the large blocks memory_large.cc, the registry of arenas
// and large blocks memory_registry.cc) and its tests; nothing outside
// runtime/memory/ includes it. Tags, sizes and free-region pointers are read
// and written past the sanitizer (memory_poison.h): in a sanitizer build they
// are poisoned memory.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/memory/memory.h"
#include "runtime/memory/memory_poison.h"

namespace kor::memory_detail {

// One free region inside an arena. On a 32-bit build this is the 16-byte
// record {previous, next, size, start}; a 64-bit build keeps the same fields
// with 8-byte links (32 bytes).
struct FreeRegion {
  FreeRegion* prev;
  FreeRegion* next;  // also the link of the spare list
  uint32_t size;     // bytes of the free block, overhead included
  char* start;       // user pointer p of the free block
};
static_assert(sizeof(void*) != 4 || sizeof(FreeRegion) == 16,
              "a descriptor is 16 bytes on a 32-bit build");

// One system allocation of descriptors; the link to the previous pool sits
// after the records, then each record's slot in the search index (kept
// beside the records so that a descriptor stays 16 bytes on a 32-bit build).
struct DescriptorPool {
  FreeRegion regions[kDescriptorsPerPool];
  DescriptorPool* older;
  uint32_t slot[kDescriptorsPerPool];
};
static_assert(sizeof(void*) != 4 || sizeof(FreeRegion) * kDescriptorsPerPool == 56000);

struct HeapState {
  // Fixed head of the circular list. Its size is 0, so a search passes it by.
  FreeRegion head;
  FreeRegion* rover;   // where the next search starts
  FreeRegion* spare;   // descriptors not in use, linked through next
  char* newest_arena;  // arenas, newest first (link kept in the arena)
  DescriptorPool* newest_pool;
  size_t arena_count;
  size_t pool_count;
  size_t large_count;
  size_t region_count;  // descriptors on the list, counted while the index is kept
  bool index_active;    // the search index describes the list
};
extern HeapState g_heap;

// Arena layout: boundary tag at 0, the first block's p at 8, the end boundary
// tag where the header tag of a block after the last one would be, the link to
// the next older arena in the bytes after it, and a zero last double word.
inline constexpr size_t kArenaEndTag = kArenaFirstBlock + kArenaBlockSpace - 5;  // 0x1FFF3
inline constexpr size_t kArenaLink = kArenaEndTag + 1;                           // 0x1FFF4
inline constexpr size_t kArenaLastWord = kArenaSize - 4;                         // 0x1FFFC
static_assert(kArenaLink + sizeof(void*) <= kArenaLastWord);

// Large block layout, relative to its system allocation `base` (p = base + 8):
// tag 0x23 at base, the block, then after its trailer tag the length of the
// system allocation (8 bytes at p + size) and a zero double word that ends the
// 24 bytes added to the block (at p + size + 12).
inline constexpr size_t kLargeExtra = 24;
inline constexpr size_t kLargeBlockOffset = 8;
inline constexpr size_t kPageSize = 4096;

inline uint8_t HeaderTag(const char* p) { return static_cast<uint8_t>(RawLoad(p - 5)); }
inline uint32_t BlockSizeAt(const char* p) {
  uint32_t s;
  RawCopy(&s, p - 4, sizeof s);
  return s;
}
inline void SetHeader(char* p, uint8_t tag, uint32_t size) {
  RawStore(p - 5, static_cast<char>(tag));
  RawCopy(p - 4, &size, sizeof size);
}
inline void SetSizeOnly(char* p, uint32_t size) { RawCopy(p - 4, &size, sizeof size); }
inline uint8_t TrailerTag(const char* p, uint32_t size) {
  return static_cast<uint8_t>(RawLoad(p + size - 8));
}
inline void SetTrailer(char* p, uint32_t size, uint8_t tag) {
  RawStore(p + size - 8, static_cast<char>(tag));
}
// The trailer tag of the block before p (or an arena's boundary tag).
inline uint8_t PreviousTrailerTag(const char* p) { return static_cast<uint8_t>(RawLoad(p - 8)); }
// The descriptor pointer of a free block, right before its trailer tag.
inline FreeRegion* RegionOf(const char* p, uint32_t size) {
  FreeRegion* d;
  RawCopy(&d, p + size - 8 - sizeof d, sizeof d);
  return d;
}
inline void SetRegionOf(char* p, uint32_t size, FreeRegion* d) {
  RawCopy(p + size - 8 - sizeof d, &d, sizeof d);
}
// The descriptor pointer of the free block that ends right before p.
inline FreeRegion* RegionBefore(const char* p) {
  FreeRegion* d;
  RawCopy(&d, p - 8 - sizeof d, sizeof d);
  return d;
}
inline char* ArenaOlder(const char* arena) {
  char* older;
  RawCopy(&older, arena + kArenaLink, sizeof older);
  return older;
}
inline size_t LargeMapped(const char* p, uint32_t size) {
  uint64_t mapped;
  RawCopy(&mapped, p + size, sizeof mapped);
  return static_cast<size_t>(mapped);
}

// Diagnostic numbers of the allocator (texts in runtime_log.cc).
enum : int {
  kDiagUnknownBlock = 0,
  kDiagOutOfFreeSpace = 1,
  kDiagWrittenPastEnd = 2,
  kDiagIllegalSize = 4,
  kDiagMangledFreeList = 9,
  kDiagFreedTwice = 11,
};

// Large blocks (memory_large.cc).
// A large block of `size` bytes in a system allocation of at least `want`
// bytes (at least size + kLargeExtra); null when the system has none.
char* MakeLarge(uint32_t size, size_t want);
// Room kept when a block grows into or within the large sizes, so that a
// buffer grown step by step is not copied or remapped at every step.
size_t GrowthAllowance(size_t size);
// Checks a large block's system tag, size and trailer; reports and returns
// false when they are wrong.
bool LargeBlockIntact(const char* p, uint32_t size);
// Frees a large block; its system allocation is released or kept for reuse.
void FreeLargeBlock(char* p);
// Freed large-block allocations kept for reuse: at most this many, of at
// most this many bytes together.
inline constexpr size_t kLargeCacheSlots = 4;
inline constexpr size_t kLargeCacheBytes = size_t{16} << 20;
size_t CachedLargeBytes();
// Resizes a large block to r (> kLargeThreshold) bytes within or by
// remapping its system allocation; null when that cannot be done.
char* ResizeLargeBlock(char* p, uint32_t size, uint32_t r);

// Where blocks may lie (memory_registry.cc). Free and Reallocate read a
// pointer's tags only when it lies in an arena's block space or is a large
// block alive.
// Adds an arena; false when the system has no memory for the table.
bool RegisterArena(char* arena);
size_t RegisteredArenas();
// The arena of the last question, and the large block last registered or
// found: most questions are about one of them, answered here without a call.
extern char* g_last_arena;
extern const char* g_last_large;
inline bool InBlockSpace(const char* arena, const char* p) {
  return p >= arena + kArenaFirstBlock && p < arena + kArenaFirstBlock + kArenaBlockSpace;
}
char* FindArena(const char* p);
bool FindLarge(const char* p);
// The arena whose block space holds p, or null.
inline char* ArenaHolding(const char* p) {
  char* a = g_last_arena;
  return a != nullptr && InBlockSpace(a, p) ? a : FindArena(p);
}
// Large blocks alive, by user pointer. RegisterLarge is false only when the
// system has no memory for the set; right after an UnregisterLarge it
// always succeeds.
bool RegisterLarge(const char* p);
void UnregisterLarge(const char* p);
inline bool IsRegisteredLarge(const char* p) { return p == g_last_large || FindLarge(p); }
size_t RegisteredLargeBlocks();
// The user pointers of the large blocks freed last (a few thousand), to
// report a second free of one as such after its memory has gone back.
void RememberFreedLarge(const char* p);
bool WasFreedLarge(const char* p);

// The pool that holds record d, or null when d is not a record inside one
// of the pools (guards against a mangled descriptor pointer before it is
// followed).
DescriptorPool* PoolOf(const FreeRegion* d);
inline bool IsDescriptor(const FreeRegion* d) { return PoolOf(d) != nullptr; }

// The search index over the list (memory_index.cc). The list functions call
// NoteAppended after appending d, NoteUnlinked after unlinking it and
// NoteResized after its size changed. The index is kept only while it pays:
// a walk that passes kIndexBuildAt regions builds it, and it is dropped when
// the list falls below kIndexDropAt regions. Without it the notes cost a
// flag test.
inline constexpr size_t kIndexBuildAt = 256;
inline constexpr size_t kIndexDropAt = 64;
void IndexAppended(FreeRegion* d);
void IndexUnlinked(const FreeRegion* d);
void IndexResized(const FreeRegion* d);
// Builds the index from the list; false when the system has no memory for it.
bool IndexBuild();
inline void NoteAppended(FreeRegion* d) {
  if (g_heap.index_active) IndexAppended(d);
}
inline void NoteUnlinked(const FreeRegion* d) {
  if (g_heap.index_active) IndexUnlinked(d);
}
inline void NoteResized(const FreeRegion* d) {
  if (g_heap.index_active) IndexResized(d);
}
// Next fit: the first region from the rover, once around the list, that
// holds r bytes; null when none does.
FreeRegion* IndexFind(uint32_t r);
// The same answer found by walking the list (used while the index is not
// kept, and by tests as the reference).
inline FreeRegion* WalkFind(uint32_t r) {
  FreeRegion* stop = g_heap.rover;
  FreeRegion* d = stop;
  do {
    if (d->size >= r) return d;
    d = d->next;
  } while (d != stop);
  return nullptr;
}
// The walk of an allocation: builds the index when the walk gets long, and
// finishes through it.
inline FreeRegion* WalkOrIndexFind(uint32_t r) {
  FreeRegion* stop = g_heap.rover;
  FreeRegion* d = stop;
  size_t steps = 0;
  do {
    if (d->size >= r) return d;
    d = d->next;
    if (++steps == kIndexBuildAt && IndexBuild()) return IndexFind(r);
  } while (d != stop);
  return nullptr;
}
// Empty when the index agrees with the list, else what is wrong.
std::string CheckIndex();

}  // namespace kor::memory_detail

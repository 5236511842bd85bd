// Heap inspection for tests and diagnostics: statistics and a full walk of
// the arenas' tag chains against the free-region list and the spare list.
#include <cstdio>
#include <string>

#include "runtime/memory/memory.h"
#include "runtime/memory/memory_internal.h"

namespace kor {

namespace {

using namespace memory_detail;

std::string Fault(const char* what, const void* where) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s at %p", what, where);
  return buf;
}

// Walks one arena; counts its free blocks and their bytes.
std::string CheckArena(char* arena, size_t* free_blocks, size_t* free_bytes) {
  if (static_cast<uint8_t>(RawLoad(arena)) != kTagBoundary) return Fault("arena start tag", arena);
  if (static_cast<uint8_t>(RawLoad(arena + kArenaEndTag)) != kTagBoundary) {
    return Fault("arena end tag", arena);
  }
  if (ArenaHolding(arena + kArenaFirstBlock) != arena) return Fault("arena not registered", arena);
  uint32_t last_word;
  RawCopy(&last_word, arena + kArenaLastWord, sizeof last_word);
  if (last_word != 0) return Fault("arena last double word", arena);
  char* end = arena + kArenaFirstBlock + kArenaBlockSpace;
  bool previous_free = false;
  for (char* p = arena + kArenaFirstBlock; p != end;) {
    uint8_t tag = HeaderTag(p);
    uint32_t size = BlockSizeAt(p);
    if (tag != kTagAllocated && tag != kTagFree) return Fault("header tag", p);
    if (size < 16 || (size & 7) != 0 || size > static_cast<size_t>(end - p)) {
      return Fault("block size", p);
    }
    if (TrailerTag(p, size) != tag) return Fault("trailer tag", p);
    if (tag == kTagFree) {
      if (previous_free) return Fault("two free blocks side by side", p);
      FreeRegion* d = RegionOf(p, size);
      if (!IsDescriptor(d)) return Fault("free block's descriptor pointer", p);
      if (d->start != p || d->size != size) return Fault("descriptor disagrees with block", p);
      if (d->next == nullptr || d->prev == nullptr) return Fault("descriptor not linked", p);
      ++*free_blocks;
      *free_bytes += size;
    } else if (size >= kLargeThreshold + kBlockOverhead + kMinSplit) {
      return Fault("arena block above the large threshold", p);
    }
    previous_free = tag == kTagFree;
    p += size;
  }
  return std::string();
}

}  // namespace

HeapStats GetHeapStats() {
  HeapStats s;
  s.arenas = g_heap.arena_count;
  s.descriptor_pools = g_heap.pool_count;
  s.large_blocks = g_heap.large_count;
  s.cached_large_bytes = CachedLargeBytes();
  for (FreeRegion* d = g_heap.head.next; d != &g_heap.head; d = d->next) {
    ++s.free_regions;
    s.free_bytes += d->size;
  }
  for (FreeRegion* d = g_heap.spare; d != nullptr; d = d->next) ++s.spare_descriptors;
  return s;
}

std::string CheckHeap() {
  // The list: circular, links agree both ways, every member a pooled record
  // that describes a free block; the rover on the list or the head.
  size_t listed = 0;
  size_t listed_bytes = 0;
  bool rover_found = g_heap.rover == &g_heap.head;
  const size_t limit = g_heap.pool_count * kDescriptorsPerPool;
  for (FreeRegion* d = g_heap.head.next; d != &g_heap.head; d = d->next) {
    if (!IsDescriptor(d)) return Fault("list member outside the pools", d);
    if (d->next->prev != d) return Fault("broken back link", d);
    if (HeaderTag(d->start) != kTagFree || BlockSizeAt(d->start) != d->size) {
      return Fault("listed region is not a free block", d->start);
    }
    if (g_heap.rover == d) rover_found = true;
    listed_bytes += d->size;
    if (++listed > limit) return Fault("list does not close", d);
  }
  if (g_heap.head.next->prev != &g_heap.head) return Fault("broken head link", &g_heap.head);
  if (!rover_found) return Fault("rover off the list", g_heap.rover);

  size_t spare = 0;
  for (FreeRegion* d = g_heap.spare; d != nullptr; d = d->next) {
    if (!IsDescriptor(d)) return Fault("spare record outside the pools", d);
    if (++spare > limit) return Fault("spare list does not end", d);
  }
  if (listed + spare != limit) return Fault("descriptors lost", nullptr);

  size_t free_blocks = 0;
  size_t free_bytes = 0;
  size_t arenas = 0;
  for (char* a = g_heap.newest_arena; a != nullptr; a = ArenaOlder(a)) {
    std::string fault = CheckArena(a, &free_blocks, &free_bytes);
    if (!fault.empty()) return fault;
    if (++arenas > g_heap.arena_count) return Fault("arena chain does not end", a);
  }
  if (arenas != g_heap.arena_count || RegisteredArenas() != arenas) {
    return Fault("arena count", nullptr);
  }
  if (RegisteredLargeBlocks() != g_heap.large_count) return Fault("large block count", nullptr);
  if (free_blocks != listed || free_bytes != listed_bytes) {
    return Fault("free blocks and list disagree", nullptr);
  }
  std::string index_fault = CheckIndex();
  if (!index_fault.empty()) return "search index: " + index_fault;
  return std::string();
}

}  // namespace kor

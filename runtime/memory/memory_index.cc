// The search index over the free-region list. Next fit asks for the first
// region, in list order from the rover, that holds r bytes. Regions join the
// list only at its end, so list order is the order in which they were
// appended: each listed descriptor gets an increasing slot number when it is
// appended, the slots keep the regions' sizes in a flat array (in units of 8
// bytes, which fit 16 bits since a region lies within one arena), and every
// block of 64 slots keeps its largest size. A search scans the rest of the
// rover's block, then the block maxima, then the leaves of the first block
// that can hold the request: a few contiguous scans instead of a walk over
// every region's descriptor.
//
// A short list is walked faster than the index can be kept, so the index is
// only kept while it pays: a walk that passes kIndexBuildAt regions builds
// it, and it is dropped when the list falls below kIndexDropAt regions. When the slots
// run out it is rebuilt from the list, compacted, with room for twice the
// regions. The index only speeds the search up: if the system has no memory
// for it, the search walks the list as before.
#include <cstring>

#include "runtime/memory/memory_internal.h"
#include "runtime/os/os.h"

namespace kor::memory_detail {

namespace {

constexpr uint32_t kBlock = 64;
constexpr uint32_t kMinCapacity = 4096;

struct Index {
  uint16_t* leaf = nullptr;       // per slot: its region's size / 8, 0 when empty
  uint16_t* block_max = nullptr;  // per block of kBlock slots: >= its largest leaf
  FreeRegion** owner = nullptr;   // per slot: its descriptor while listed
  uint32_t capacity = 0;          // slots in the allocation, a power of two
  uint32_t used = 0;              // slots handed out since the last rebuild
  size_t mapped = 0;              // bytes of the system allocation
};

Index g_index;

uint32_t& SlotOf(const FreeRegion* d) {
  DescriptorPool* pool = PoolOf(d);
  return pool->slot[d - pool->regions];
}

static_assert(kArenaBlockSpace / 8 <= 0x7FFF, "a region's size in units fits 15 bits");
inline uint16_t Units(uint32_t size) { return static_cast<uint16_t>(size >> 3); }

uint16_t BlockMax(uint32_t block) {
  const uint16_t* leaf = g_index.leaf + block * kBlock;
  uint16_t m = 0;
  for (uint32_t i = 0; i < kBlock; ++i) m = leaf[i] > m ? leaf[i] : m;
  return m;
}

// Sets a slot's leaf. A block's maximum is an upper bound: it rises at once
// but is lowered only by a search that scans the whole block (carving
// shrinks the largest region of a block again and again; rescanning the
// block each time would cost more than the searches save).
void SetLeaf(uint32_t slot, uint32_t size) {
  uint16_t units = Units(size);
  g_index.leaf[slot] = units;
  uint16_t& m = g_index.block_max[slot / kBlock];
  if (units > m) m = units;
}

// Makes the index describe the list, compacted, with room for twice its
// regions; the system allocation is kept when it is big enough. False (and
// no index) when the system has no memory for a bigger one.
bool Rebuild() {
  g_heap.index_active = false;
  g_heap.region_count = 0;
  for (FreeRegion* d = g_heap.head.next; d != &g_heap.head; d = d->next) ++g_heap.region_count;
  size_t capacity = kMinCapacity;
  while (capacity < 2 * g_heap.region_count) capacity *= 2;
  if (capacity > g_index.capacity) {
    if (g_index.owner != nullptr) OsReleaseMemory(g_index.owner, g_index.mapped);
    g_index = Index{};
    size_t bytes =
        capacity * (sizeof(uint16_t) + sizeof(FreeRegion*)) + capacity / kBlock * sizeof(uint16_t);
    void* memory = capacity <= 0x40000000u ? OsReserveMemory(bytes) : nullptr;
    if (memory == nullptr) return false;
    g_index.mapped = bytes;
    g_index.owner = static_cast<FreeRegion**>(memory);
    g_index.leaf = reinterpret_cast<uint16_t*>(g_index.owner + capacity);
    g_index.block_max = g_index.leaf + capacity;
    g_index.capacity = static_cast<uint32_t>(capacity);
  }
  std::memset(g_index.leaf, 0, g_index.capacity * sizeof(uint16_t));
  std::memset(g_index.block_max, 0, g_index.capacity / kBlock * sizeof(uint16_t));
  uint32_t slot = 0;
  for (FreeRegion* d = g_heap.head.next; d != &g_heap.head; d = d->next, ++slot) {
    SlotOf(d) = slot;
    g_index.owner[slot] = d;
    SetLeaf(slot, d->size);
  }
  g_index.used = slot;
  g_heap.index_active = true;
  return true;
}

// The first slot in [lo, hi) whose region holds r bytes, or -1. A block
// scanned whole without a match gets its exact maximum back.
long FindIn(uint32_t lo, uint32_t hi, uint32_t r) {
  const uint16_t* leaf = g_index.leaf;
  const uint16_t want = Units(r);
  while (lo < hi) {
    uint32_t block = lo / kBlock;
    uint32_t block_start = block * kBlock;
    uint32_t block_end = block_start + kBlock;
    if (g_index.block_max[block] >= want) {
      uint32_t end = block_end < hi ? block_end : hi;
      uint16_t seen = 0;
      for (uint32_t s = lo; s < end; ++s) {
        if (leaf[s] >= want) return s;
        seen = leaf[s] > seen ? leaf[s] : seen;
      }
      if (lo == block_start && end == block_end) g_index.block_max[block] = seen;
    }
    lo = block_end;
    // Skip whole blocks that cannot hold the request.
    while (lo < hi && g_index.block_max[lo / kBlock] < want) lo += kBlock;
  }
  return -1;
}

// How many regions next fit looks at directly before it asks the index: the
// rover or its next neighbours hold the request more often than not.
constexpr int kDirectLooks = 4;

}  // namespace

bool IndexBuild() { return Rebuild(); }

void IndexAppended(FreeRegion* d) {
  ++g_heap.region_count;
  if (g_index.used == g_index.capacity) {
    Rebuild();  // reads the list, which already holds d
    return;
  }
  uint32_t slot = g_index.used++;
  SlotOf(d) = slot;
  g_index.owner[slot] = d;
  SetLeaf(slot, d->size);
}

void IndexUnlinked(const FreeRegion* d) {
  if (--g_heap.region_count < kIndexDropAt) {
    g_heap.index_active = false;
    return;
  }
  uint32_t slot = SlotOf(d);
  g_index.owner[slot] = nullptr;
  SetLeaf(slot, 0);
}

void IndexResized(const FreeRegion* d) { SetLeaf(SlotOf(d), d->size); }

FreeRegion* IndexFind(uint32_t r) {
  if (!g_heap.index_active) return WalkFind(r);
  FreeRegion* const rover = g_heap.rover;
  FreeRegion* d = rover;
  for (int i = 0; i < kDirectLooks; ++i) {
    if (d->size >= r) return d;  // the head's size is 0: never taken
    d = d->next;
    if (d == rover) return nullptr;
  }
  // The rest of the way round, from d up to the rover, in slot order: d's
  // slot onward, then (once past the head) slot 0 up to the rover's.
  uint32_t rover_slot = rover == &g_heap.head ? 0 : SlotOf(rover);
  uint32_t from = d == &g_heap.head ? 0 : SlotOf(d);
  bool wrapped = d == &g_heap.head || (rover != &g_heap.head && from < rover_slot);
  long slot = wrapped ? FindIn(from, rover_slot, r) : FindIn(from, g_index.used, r);
  if (slot < 0 && !wrapped) slot = FindIn(0, rover_slot, r);
  return slot < 0 ? nullptr : g_index.owner[slot];
}

std::string CheckIndex() {
  if (!g_heap.index_active) return std::string();
  uint32_t previous = 0;
  bool first = true;
  size_t listed = 0;
  for (FreeRegion* d = g_heap.head.next; d != &g_heap.head; d = d->next, ++listed) {
    uint32_t slot = SlotOf(d);
    if (slot >= g_index.used || g_index.owner[slot] != d) return "descriptor's slot not its own";
    if (!first && slot <= previous) return "slots out of list order";
    if (g_index.leaf[slot] != Units(d->size)) return "leaf differs from its region";
    previous = slot;
    first = false;
  }
  if (listed != g_heap.region_count) return "region count";
  size_t owned = 0;
  for (uint32_t s = 0; s < g_index.capacity; ++s) {
    if (g_index.owner[s] != nullptr && s < g_index.used) ++owned;
    if ((g_index.owner[s] == nullptr || s >= g_index.used) && g_index.leaf[s] != 0) {
      return "empty slot with a size";
    }
  }
  if (owned != listed) return "slots owned by regions off the list";
  for (uint32_t b = 0; b < g_index.capacity / kBlock; ++b) {
    if (g_index.block_max[b] < BlockMax(b)) return "block maximum below a leaf";
  }
  return std::string();
}

}  // namespace kor::memory_detail

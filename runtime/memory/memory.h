// The runtime's allocator: all dynamic memory of the runtime and of generated
// code comes from here, carved from 128 KB arenas of the system's virtual
// memory, with large blocks in system allocations of their own.
//
// Next fit finds free space: the first free region, in the order of the
// free-region list from where the last search ended, that is big enough.
// While the list is long a search index answers the same question without
// walking it. Arenas are never returned to the system; a freed large block's
// allocation is returned, or kept for the next large block while at most 4
// allocations of 16 MB together are kept.
//
// Block layout (p = the pointer handed out; every size is a multiple of 8 and
// counts the 8 bytes of overhead):
//
//   p - 8   trailer tag of the block before (or a boundary / system tag)
//   p - 5   header tag (1 byte)
//   p - 4   block size in bytes, overhead included (int32)
//   p ...   user data, size - 8 bytes
//   p + size - 8   trailer tag (1 byte), equal to the header tag
//
// A free block keeps a pointer to its free-region descriptor in the pointer-
// sized field right before its trailer tag: 4 bytes at p + size - 12 on a
// 32-bit build, 8 bytes at p + size - 16 on a 64-bit one. The smallest block
// (16 bytes) has 8 bytes of user data, so the field always fits, and since p
// and every size are multiples of 8 the 64-bit field is naturally aligned.
// User pointers are 8-byte aligned on every build.
//
// In a sanitizer build everything outside the bytes asked for is poisoned
// (memory_poison.h), so the sanitizer catches writes past a block's end and
// uses after a free.
//
// The allocator has no lock: the runtime runs on one thread, and calls from
// several threads at once must be serialised by the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kor {

// size 0 gives null; null when memory is exhausted or the size exceeds
// kMaxAllocation.
void* Allocate(size_t size);
// count * size zero bytes; either argument 0 (or an overflowing product) gives null.
void* AllocateZeroed(size_t count, size_t size);
// null p: Allocate; size 0: Free and null; a size above kMaxAllocation gives
// null and leaves the block as it was. Otherwise the block is resized in place
// when it can be, else moved (the contents up to the smaller size are kept).
void* Reallocate(void* p, size_t size);
// null is ignored. A block freed twice or a pointer that is not a block is
// reported as a diagnostic (runtime log, then the runtime error box) and
// nothing is changed. A pointer's tags are read only when it lies in an
// arena or is a large block alive, so a pointer into static data is refused
// however block-like its bytes, and a second free of a large block whose
// memory has gone back (or of a block merged into a free neighbour) is
// reported as freed twice.
void Free(void* p);

// ---- layout constants ------------------------------------------------------

inline constexpr uint8_t kTagAllocated = 0xA3;  // allocated block inside an arena
inline constexpr uint8_t kTagFree = 0x34;       // free block inside an arena
inline constexpr uint8_t kTagLarge = 0xE7;      // large block with its own allocation
inline constexpr uint8_t kTagBoundary = 0x17;   // arena boundary
inline constexpr uint8_t kTagSystem = 0x23;     // first byte of a large block's allocation

inline constexpr size_t kBlockOverhead = 8;
inline constexpr size_t kArenaSize = 0x20000;
// The one free block of a fresh arena: p = arena + 8, up to the end boundary.
inline constexpr size_t kArenaFirstBlock = 8;
inline constexpr size_t kArenaBlockSpace = 0x1FFF0;
// A rounded size above this gets a large block.
inline constexpr size_t kLargeThreshold = 0xD000;
// A region that would keep fewer bytes than this is handed out whole.
inline constexpr size_t kMinSplit = 32;
// Largest request: the rounded size must fit the 32-bit size field.
inline constexpr size_t kMaxAllocation = 0xFFFFFFF0u;
// Free-region descriptors come in pools of this many.
inline constexpr size_t kDescriptorsPerPool = 3500;

// Rounded block size for a request: ((n + 7) AND NOT 7) + 8. 0 when the
// request exceeds kMaxAllocation.
constexpr size_t BlockSizeFor(size_t n) {
  return n > kMaxAllocation ? 0 : ((n + 7) & ~static_cast<size_t>(7)) + kBlockOverhead;
}

// ---- inspection (tests, benchmarks and diagnostics) ----------------------

// Block size (overhead included) of an allocated block; 0 when p does not
// carry an allocated or large header tag.
size_t BlockSize(const void* p);
// Whether p is a large block with its own system allocation.
bool IsLargeBlock(const void* p);

struct HeapStats {
  size_t arenas = 0;              // arenas obtained so far (never returned)
  size_t descriptor_pools = 0;    // pools of kDescriptorsPerPool descriptors
  size_t free_regions = 0;        // descriptors on the circular list
  size_t spare_descriptors = 0;   // descriptors on the spare list
  size_t free_bytes = 0;          // bytes in free regions, overhead included
  size_t large_blocks = 0;        // large blocks alive
  size_t cached_large_bytes = 0;  // freed large blocks' allocations kept for reuse
};
HeapStats GetHeapStats();

// Walks every arena's tag chain, the descriptor list and the spare list and
// checks that they agree. Returns an empty string when the heap is sound,
// else a description of the first fault found.
std::string CheckHeap();

}  // namespace kor

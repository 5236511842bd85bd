// Allocator behaviour: block sizes and tags, arena layout, merging, resizing
// in place and by moving, descriptor pools, and the diagnostics' texts.
#include "runtime/memory/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/memory/memory_poison.h"
#include "runtime/memory/memory_testing.h"
#include "runtime/memory/runtime_log.h"
#include "runtime/os/os.h"

namespace kor {
namespace {

using testing::g_diagnostics;
using testing::InTempDirectory;
using testing::MemoryTest;

// Tags and sizes are read past the sanitizer (memory_poison.h).
uint8_t At(const void* p, ptrdiff_t offset) {
  return static_cast<uint8_t>(RawLoad(static_cast<const char*>(p) + offset));
}
uint32_t SizeField(const void* p) {
  uint32_t s;
  RawCopy(&s, static_cast<const char*>(p) - 4, 4);
  return s;
}

TEST_F(MemoryTest, RequestsRoundToEightPlusOverhead) {
  struct Case {
    size_t request, block;
  } cases[] = {{1, 16}, {8, 16}, {9, 24}, {16, 24}, {17, 32}, {100, 112}, {53240, 53248}};
  for (const Case& c : cases) {
    void* p = Allocate(c.request);
    ASSERT_NE(p, nullptr) << c.request;
    EXPECT_EQ(BlockSize(p), c.block) << c.request;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
    EXPECT_EQ(At(p, -5), kTagAllocated);
    EXPECT_EQ(SizeField(p), c.block);
    EXPECT_EQ(At(p, static_cast<ptrdiff_t>(c.block) - 8), kTagAllocated);
    EXPECT_FALSE(IsLargeBlock(p));
    Free(p);
  }
  EXPECT_EQ(Allocate(0), nullptr);
  EXPECT_EQ(Allocate(kMaxAllocation + 1), nullptr);
  EXPECT_EQ(BlockSizeFor(kMaxAllocation), 0xFFFFFFF8u);
  EXPECT_EQ(g_diagnostics.size(), 0u);
}

TEST_F(MemoryTest, LargeBlocksHaveTheirOwnAllocation) {
  size_t before = GetHeapStats().large_blocks;
  auto* p = static_cast<char*>(Allocate(53241));
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(IsLargeBlock(p));
  EXPECT_EQ(BlockSize(p), 53256u);
  EXPECT_EQ(At(p, -8), kTagSystem);
  EXPECT_EQ(At(p, -5), kTagLarge);
  EXPECT_EQ(At(p, 53256 - 8), kTagLarge);
  uint32_t end_word;
  RawCopy(&end_word, p + 53256 + 12, 4);
  EXPECT_EQ(end_word, 0u);
  std::memset(p, 0x5A, 53241);
  EXPECT_EQ(GetHeapStats().large_blocks, before + 1);
  Free(p);
  EXPECT_EQ(GetHeapStats().large_blocks, before);
}

// A freed large block's allocation is kept for the next large block that
// fits, within the cache's bounds, and a second free of it is still caught.
TEST_F(MemoryTest, FreedLargeAllocationsAreReusedWithinBounds) {
  // 5 MB: no other test leaves an allocation that big in the cache, so the
  // smaller block below can only take this one.
  auto* p = static_cast<char*>(Allocate(size_t{5} << 20));
  ASSERT_NE(p, nullptr);
  size_t cached = GetHeapStats().cached_large_bytes;
  Free(p);
  EXPECT_GT(GetHeapStats().cached_large_bytes, cached);
  Free(p);
  ASSERT_EQ(g_diagnostics.size(), 1u);
  EXPECT_EQ(g_diagnostics[0].second, "memory block free'd twice");
  g_diagnostics.clear();

  // A smaller large block takes the kept allocation, with fresh tags.
  auto* q = static_cast<char*>(Allocate(size_t{9} << 19));
  EXPECT_EQ(q, p);
  EXPECT_EQ(At(q, -5), kTagLarge);
  EXPECT_EQ(At(q, BlockSize(q) - 8), kTagLarge);
  std::memset(q, 0x11, size_t{9} << 19);
  // It can grow in place over the pages it already has.
  EXPECT_EQ(Reallocate(q, (size_t{5} << 20) - 100), q);
  Free(q);

  // Many freed blocks: the cache never holds more than its bound.
  std::vector<void*> blocks;
  for (int i = 0; i < 12; ++i) blocks.push_back(Allocate(3u << 20));
  for (void* b : blocks) Free(b);
  EXPECT_LE(GetHeapStats().cached_large_bytes, size_t{16} << 20);
  for (const auto& d : g_diagnostics) ADD_FAILURE() << d.first << " " << d.second;
}

TEST_F(MemoryTest, FreshArenaLayout) {
  char* p = BlockInFreshArena(100);
  char* arena = p - 8;
  EXPECT_EQ(At(arena, 0), kTagBoundary);
  EXPECT_EQ(At(arena, 0x1FFF3), kTagBoundary);
  uint32_t last;
  RawCopy(&last, arena + 0x1FFFC, 4);
  EXPECT_EQ(last, 0u);
  // The rest of the arena is one free block after the 112 bytes handed out.
  char* rest = p + 112;
  EXPECT_EQ(At(rest, -5), kTagFree);
  EXPECT_EQ(SizeField(rest), 0x1FFF0u - 112);
  EXPECT_EQ(At(rest, 0x1FFF0 - 112 - 8), kTagFree);
  // Freed again, the arena is one free block of 0x1FFF0 bytes.
  Free(p);
  EXPECT_EQ(At(p, -5), kTagFree);
  EXPECT_EQ(SizeField(p), 0x1FFF0u);
}

TEST_F(MemoryTest, NeighboursFreedFirstThirdSecondLeaveOneRegion) {
  char* a = BlockInFreshArena(40);
  char* b = static_cast<char*>(Allocate(40));
  char* c = static_cast<char*>(Allocate(40));
  char* guard = static_cast<char*>(Allocate(40));
  ASSERT_EQ(b, a + 48);
  ASSERT_EQ(c, b + 48);
  ASSERT_EQ(guard, c + 48);
  size_t regions = GetHeapStats().free_regions;
  Free(a);
  EXPECT_EQ(GetHeapStats().free_regions, regions + 1);
  Free(c);
  EXPECT_EQ(GetHeapStats().free_regions, regions + 2);
  EXPECT_EQ(CheckHeap(), "");
  Free(b);
  EXPECT_EQ(GetHeapStats().free_regions, regions + 1);
  EXPECT_EQ(At(a, -5), kTagFree);
  EXPECT_EQ(SizeField(a), 3u * 48);
  EXPECT_EQ(At(a, 3 * 48 - 8), kTagFree);
  // Freeing the guard joins everything with the arena's remainder.
  Free(guard);
  EXPECT_EQ(GetHeapStats().free_regions, regions);
  EXPECT_EQ(SizeField(a), 0x1FFF0u);
}

TEST_F(MemoryTest, SmallRemaindersAreHandedOutWhole) {
  char* a = BlockInFreshArena(0xD000 - 8);
  // The search starts where the last one ended: the rest of a's arena.
  char* b = static_cast<char*>(Allocate(0xD000 - 8));
  ASSERT_EQ(b, a + 0xD000);
  // 0x1FFF0 - 2 * 0xD000 = 0x5FF0 are left; asking for all but 24 bytes
  // hands out the whole region, whose descriptor goes back to the spares.
  size_t regions = GetHeapStats().free_regions;
  char* c = static_cast<char*>(Allocate(0x5FF0 - 24 - 8));
  ASSERT_EQ(c, b + 0xD000);
  EXPECT_EQ(BlockSize(c), 0x5FF0u);
  EXPECT_EQ(GetHeapStats().free_regions, regions - 1);
  Free(b);
  Free(c);
  Free(a);
}

TEST_F(MemoryTest, AllocateZeroedClearsReusedMemory) {
  auto* dirty = static_cast<char*>(Allocate(256));
  std::memset(dirty, 0xCC, 256);
  Free(dirty);
  auto* p = static_cast<unsigned char*>(AllocateZeroed(32, 8));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(p[i], 0) << i;
  Free(p);
  EXPECT_EQ(AllocateZeroed(0, 8), nullptr);
  EXPECT_EQ(AllocateZeroed(8, 0), nullptr);
  EXPECT_EQ(AllocateZeroed(SIZE_MAX / 2, 4), nullptr);
}

TEST_F(MemoryTest, ReallocateEdgeArguments) {
  void* p = Reallocate(nullptr, 10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(BlockSize(p), 24u);
  std::memcpy(p, "0123456789", 10);
  EXPECT_EQ(Reallocate(p, kMaxAllocation + 1), nullptr);
  EXPECT_EQ(std::memcmp(p, "0123456789", 10), 0);  // untouched
  EXPECT_EQ(Reallocate(p, 0), nullptr);            // freed
  EXPECT_EQ(At(p, -5), kTagFree);
}

TEST_F(MemoryTest, ReallocateInPlaceWithinAnArena) {
  char* p = BlockInFreshArena(100);  // followed by the arena's free remainder
  std::memset(p, 'x', 100);
  EXPECT_EQ(Reallocate(p, 1000), p);  // grows into the free successor
  EXPECT_EQ(BlockSize(p), 1008u);
  EXPECT_EQ(std::string(p, 100), std::string(100, 'x'));
  EXPECT_EQ(Reallocate(p, 200), p);  // the tail goes back to the successor
  EXPECT_EQ(BlockSize(p), 208u);
  EXPECT_EQ(At(p + 208, -5), kTagFree);
  EXPECT_EQ(CheckHeap(), "");
  // With an allocated neighbour, shrinking by 8 keeps the size, by 64 splits.
  char* next = static_cast<char*>(Allocate(16));
  ASSERT_EQ(next, p + 208);
  EXPECT_EQ(Reallocate(p, 192), p);
  EXPECT_EQ(BlockSize(p), 208u);
  EXPECT_EQ(Reallocate(p, 136), p);
  EXPECT_EQ(BlockSize(p), 144u);
  EXPECT_EQ(At(p + 144, -5), kTagFree);
  EXPECT_EQ(SizeField(p + 144), 64u);
  // Growing takes the free 64 bytes whole (less than 32 would remain).
  EXPECT_EQ(Reallocate(p, 190), p);
  EXPECT_EQ(BlockSize(p), 208u);
  // No room after it now: growing moves, keeping the contents.
  char* q = static_cast<char*>(Reallocate(p, 400));
  EXPECT_NE(q, p);
  EXPECT_EQ(std::string(q, 100), std::string(100, 'x'));
  EXPECT_EQ(At(p, -5), kTagFree);
  Free(q);
  Free(next);
}

TEST_F(MemoryTest, ReallocateAcrossAndWithinLargeSizes) {
  auto* p = static_cast<char*>(Allocate(1000));
  for (int i = 0; i < 1000; ++i) p[i] = static_cast<char>(i * 7);
  auto* big = static_cast<char*>(Reallocate(p, 100000));
  ASSERT_NE(big, nullptr);
  EXPECT_TRUE(IsLargeBlock(big));
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(big[i], static_cast<char>(i * 7)) << i;
  std::memset(big + 1000, 1, 99000);
  // Growth within the room kept stays in place.
  EXPECT_EQ(Reallocate(big, 110000), big);
  EXPECT_EQ(BlockSize(big), 110008u);
  EXPECT_EQ(At(big, 110008 - 8), kTagLarge);
  // Far beyond it the block is remapped or moved, contents kept.
  auto* bigger = static_cast<char*>(Reallocate(big, 3000000));
  ASSERT_NE(bigger, nullptr);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(bigger[i], static_cast<char>(i * 7)) << i;
  EXPECT_EQ(bigger[99999], 1);
  std::memset(bigger + 100000, 2, 2900000);
  // Shrinking to a large size stays in place; to an arena size it moves.
  EXPECT_EQ(Reallocate(bigger, 60000), bigger);
  EXPECT_EQ(BlockSize(bigger), 60008u);
  EXPECT_EQ(At(bigger, 60008 - 8), kTagLarge);
  // Its pages were given back; growing again gets them anew.
  bigger = static_cast<char*>(Reallocate(bigger, 2000000));
  ASSERT_NE(bigger, nullptr);
  EXPECT_EQ(bigger[59999], 1);
  EXPECT_EQ(bigger[999], static_cast<char>(999 * 7));
  std::memset(bigger + 60000, 3, 2000000 - 60000);
  auto* small = static_cast<char*>(Reallocate(bigger, 500));
  ASSERT_NE(small, nullptr);
  EXPECT_FALSE(IsLargeBlock(small));
  for (int i = 0; i < 500; ++i) ASSERT_EQ(small[i], static_cast<char>(i * 7)) << i;
  Free(small);
}

TEST_F(MemoryTest, ManyScatteredHolesTakeASecondDescriptorPool) {
  size_t regions = GetHeapStats().free_regions;
  size_t arenas = GetHeapStats().arenas;
  std::vector<void*> blocks;
  for (int i = 0; i < 8000; ++i) blocks.push_back(Allocate(8));
  for (size_t i = 0; i < blocks.size(); i += 2) Free(blocks[i]);
  HeapStats s = GetHeapStats();
  EXPECT_GE(s.free_regions, regions + 3999);
  EXPECT_GE(s.descriptor_pools, 2u);
  EXPECT_EQ((s.free_regions + s.spare_descriptors) % kDescriptorsPerPool, 0u);
  EXPECT_EQ(CheckHeap(), "");
  for (size_t i = 1; i < blocks.size(); i += 2) Free(blocks[i]);
  // All merged again: at most one more region per arena the test added.
  EXPECT_LE(GetHeapStats().free_regions, regions + GetHeapStats().arenas - arenas);
}

TEST(MemoryDiagnostics, TextsAndFormatting) {
  InTempDirectory temp;
  EXPECT_STREQ(DiagnosticText(1), "Out of free space");
  EXPECT_STREQ(DiagnosticText(3), "Block tags are inconsistant");
  EXPECT_STREQ(DiagnosticText(9), "mangled free list");
  EXPECT_STREQ(DiagnosticText(42), "Unknown Error");
  EXPECT_STREQ(DiagnosticText(-1), "Unknown Error");
  static std::string seen;
  DiagnosticHook old = SetDiagnosticHook([](int, const char* text) { seen = text; });
  ReportDiagnostic(10, 4096L, 3L);
  SetDiagnosticHook(old);
  EXPECT_EQ(seen, "memory leak 4096 bytes (3 allocs)");
}

}  // namespace
}  // namespace kor

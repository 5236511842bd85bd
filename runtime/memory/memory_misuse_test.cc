// Allocator misuse: double frees in every state a block can be in (merged
// into a neighbour, a large block whose memory went back to the system or
// out of the reuse cache), pointers that only look like blocks, writes past
// a block's end; each is reported and changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/memory/memory.h"
#include "runtime/memory/memory_poison.h"
#include "runtime/memory/memory_testing.h"
#include "runtime/memory/runtime_log.h"

namespace kor {
namespace {

using testing::g_diagnostics;
using testing::InTempDirectory;
using testing::MemoryTest;

constexpr int kFreedTwice = 11;
constexpr int kUnknownBlock = 0;

// The diagnostic numbers reported since the last call.
std::vector<int> Reported() {
  std::vector<int> numbers;
  for (const auto& d : g_diagnostics) numbers.push_back(d.first);
  g_diagnostics.clear();
  return numbers;
}

TEST_F(MemoryTest, MisuseIsReportedAndChangesNothing) {
  alignas(8) static char static_data[64];
  auto* p = static_cast<char*>(Allocate(24));
  Free(p);
  Free(p);
  ASSERT_EQ(g_diagnostics.size(), 1u);
  EXPECT_EQ(g_diagnostics[0].first, 11);
  EXPECT_EQ(g_diagnostics[0].second, "memory block free'd twice");
  EXPECT_EQ(CheckHeap(), "");

  Free(static_data + 8);
  Free(static_data + 3);  // not even aligned
  ASSERT_EQ(g_diagnostics.size(), 3u);
  EXPECT_EQ(g_diagnostics[1].first, 0);
  EXPECT_EQ(g_diagnostics[1].second, DiagnosticText(0));
  EXPECT_EQ(g_diagnostics[2].first, 0);
  EXPECT_EQ(Reallocate(static_data + 8, 10), nullptr);
  EXPECT_EQ(g_diagnostics.size(), 4u);

  // Writing over the trailer tag is caught before the block is merged.
  auto* q = static_cast<char*>(Allocate(16));
  RawStore(q + 16, 'X');
  Free(q);
  ASSERT_EQ(g_diagnostics.size(), 5u);
  EXPECT_EQ(g_diagnostics[4].first, 2);
  RawStore(q + 16, static_cast<char>(kTagAllocated));
  EXPECT_EQ(CheckHeap(), "");
  Free(q);
  EXPECT_EQ(g_diagnostics.size(), 5u);
}

// A block merged into the free block before it, into the one after it, or
// into both, is still known as freed: a second free of it is a double free,
// not a corrupt block or a mangled list.
TEST_F(MemoryTest, DoubleFreeAfterMergingIsReportedAsSuch) {
  char* a = BlockInFreshArena(40);
  auto* b = static_cast<char*>(Allocate(40));
  auto* c = static_cast<char*>(Allocate(40));
  auto* d = static_cast<char*>(Allocate(40));
  auto* guard = static_cast<char*>(Allocate(40));
  ASSERT_EQ(b, a + 48);
  ASSERT_EQ(c, b + 48);
  ASSERT_EQ(d, c + 48);
  ASSERT_EQ(guard, d + 48);
  Free(a);
  Free(b);  // merges into a
  Free(b);
  EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice});
  EXPECT_EQ(Reallocate(b, 100), nullptr);
  EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice});
  Free(d);
  Free(c);  // merges with a (before) and d (after)
  for (char* again : {a, b, c, d}) {
    Free(again);
    EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice}) << again - a;
  }
  EXPECT_EQ(CheckHeap(), "");
  // The four blocks are one free region again.
  uint32_t merged;
  RawCopy(&merged, a - 4, 4);
  EXPECT_EQ(merged, 4u * 48);
  Free(guard);
  EXPECT_TRUE(Reported().empty());
}

// A large block's memory is gone once it is freed (over the cache's bound,
// or pushed out of the cache by later frees): a second free must not touch
// it, and is reported as a double free.
TEST_F(MemoryTest, DoubleFreeOfAReleasedLargeBlockIsReported) {
  auto* huge = static_cast<char*>(Allocate(size_t{17} << 20));
  ASSERT_NE(huge, nullptr);
  Free(huge);
  Free(huge);
  EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice});
  EXPECT_EQ(Reallocate(huge, 10), nullptr);
  EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice});

  std::vector<char*> blocks;
  for (int i = 0; i < 8; ++i) blocks.push_back(static_cast<char*>(Allocate(100000)));
  for (char* b : blocks) Free(b);  // the first ones leave the four-slot cache
  for (char* b : blocks) {
    Free(b);
    EXPECT_EQ(Reported(), std::vector<int>{kFreedTwice});
  }
  EXPECT_EQ(CheckHeap(), "");
}

// Bytes that look like a block (the right tags and size) in memory the
// allocator never handed out as that block: static data, the inside of a
// large block, the inside of an arena block's user data. Each is refused,
// and the memory is never handed out later.
TEST_F(MemoryTest, PointersThatOnlyLookLikeBlocksAreRefused) {
  alignas(8) static char fake[64];
  auto forge_arena_block = [](char* p, uint32_t size) {
    RawStore(p - 8, 0);  // no free block before it
    RawStore(p - 5, static_cast<char>(kTagAllocated));
    for (int i = 0; i < 4; ++i) RawStore(p - 4 + i, static_cast<char>(size >> (8 * i)));
    RawStore(p + size - 8, static_cast<char>(kTagAllocated));
    RawStore(p + size - 5, 0);  // no free block after it
  };
  forge_arena_block(fake + 8, 16);
  Free(fake + 8);
  EXPECT_EQ(Reported(), std::vector<int>{kUnknownBlock});
  EXPECT_EQ(Reallocate(fake + 8, 8), nullptr);
  EXPECT_EQ(Reported(), std::vector<int>{kUnknownBlock});

  // A forged large block: the allocation would be "released" or cached.
  alignas(8) static char fake_large[0xE000];
  char* p = fake_large + 8;
  RawStore(fake_large, static_cast<char>(kTagSystem));
  uint32_t size = 0xD008;
  RawStore(p - 5, static_cast<char>(kTagLarge));
  for (int i = 0; i < 4; ++i) RawStore(p - 4 + i, static_cast<char>(size >> (8 * i)));
  RawStore(p + size - 8, static_cast<char>(kTagLarge));
  Free(p);
  EXPECT_EQ(Reported(), std::vector<int>{kUnknownBlock});

  auto* big = static_cast<char*>(Allocate(200000));
  std::memset(big, 0, 200000);
  forge_arena_block(big + 1024, 64);
  Free(big + 1024);
  EXPECT_EQ(Reported(), std::vector<int>{kUnknownBlock});

  // Nothing of the forged blocks was taken in: the next blocks come from
  // the arenas, never from static data or the large block.
  std::vector<void*> taken;
  for (int i = 0; i < 64; ++i) {
    void* q = Allocate(8);
    EXPECT_FALSE(q >= fake && q < fake + sizeof fake);
    EXPECT_FALSE(q >= big && q < big + 200000);
    taken.push_back(q);
  }
  for (void* q : taken) Free(q);
  Free(big);
  EXPECT_TRUE(Reported().empty());
  EXPECT_EQ(CheckHeap(), "");
}

#if !defined(_WIN32)
TEST(MemoryDeathTest, DoubleFreeRaisesARuntimeError) {
  InTempDirectory temp;
  EXPECT_EXIT(
      {
        void* p = Allocate(10);
        Free(p);
        Free(p);
      },
      ::testing::ExitedWithCode(2), "memory block free'd twice");
}

TEST(MemoryDeathTest, FreeingStaticDataRaisesARuntimeError) {
  InTempDirectory temp;
  alignas(8) static char data[32];
  EXPECT_EXIT(Free(data + 8), ::testing::ExitedWithCode(2),
              "Corrupt block/Unknown block type freed");
}
#endif

#if defined(KOR_ASAN)
// In a sanitizer build the sanitizer sees the runtime's heap: a write one
// byte past what was asked for, a read of a freed block (small or large, or
// merged into a free neighbour) and a write into a tag all stop the program.
void Touch(char* p) { *static_cast<volatile char*>(p) = 1; }
char Peek(const char* p) { return *static_cast<const volatile char*>(p); }

TEST(MemorySanitizerDeathTest, WritePastTheEndIsCaught) {
  EXPECT_DEATH(Touch(static_cast<char*>(Allocate(10)) + 10), "use-after-poison");
  EXPECT_DEATH(Touch(static_cast<char*>(Allocate(16)) + 16), "use-after-poison");
  EXPECT_DEATH(Touch(static_cast<char*>(Allocate(100000)) + 100000), "use-after-poison");
  EXPECT_DEATH(Touch(static_cast<char*>(Allocate(24)) - 5), "use-after-poison");
  // A block grown in place can be written to its new end, and no further.
  EXPECT_DEATH(
      {
        auto* p = static_cast<char*>(Allocate(10));
        p = static_cast<char*>(Reallocate(p, 30));
        Touch(p + 29);
        Touch(p + 30);
      },
      "use-after-poison");
}

TEST(MemorySanitizerDeathTest, UseAfterFreeIsCaught) {
  EXPECT_DEATH(
      {
        auto* p = static_cast<char*>(Allocate(40));
        Free(p);
        Peek(p);
      },
      "use-after-poison");
  EXPECT_DEATH(
      {
        auto* a = static_cast<char*>(Allocate(40));
        auto* b = static_cast<char*>(Allocate(40));
        Free(a);
        Free(b);  // merged with a when they are neighbours
        Peek(b + 8);
      },
      "use-after-poison");
  EXPECT_DEATH(
      {
        auto* p = static_cast<char*>(Allocate(200000));  // kept for reuse when freed
        Free(p);
        Peek(p + 4096);
      },
      "use-after-poison");
  EXPECT_DEATH(
      {
        auto* p = static_cast<char*>(Allocate(100));
        auto* q = static_cast<char*>(Reallocate(p, 5000));  // moved: the old block is freed
        if (q != p) Peek(p);
        else Peek(q + 5000);
      },
      "use-after-poison");
}

// What the program may use stays usable: every byte asked for, after
// allocation, in-place resizing and moving.
TEST_F(MemoryTest, EveryByteAskedForIsUsable) {
  for (size_t n : {size_t{1}, size_t{7}, size_t{8}, size_t{13}, size_t{4000}, size_t{60000}}) {
    auto* p = static_cast<char*>(Allocate(n));
    for (size_t i = 0; i < n; ++i) Touch(p + i);
    p = static_cast<char*>(Reallocate(p, n * 3));
    for (size_t i = 0; i < n * 3; ++i) Touch(p + i);
    p = static_cast<char*>(Reallocate(p, n));
    for (size_t i = 0; i < n; ++i) Touch(p + i);
    Free(p);
  }
  EXPECT_TRUE(g_diagnostics.empty());
}
#endif

}  // namespace
}  // namespace kor

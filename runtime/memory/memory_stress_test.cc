// Allocator stress: long random runs of allocate, free and reallocate over
// mixed sizes, checking every live block's contents and the heap's tag chains.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/memory/memory.h"
#include "runtime/memory/memory_internal.h"

namespace kor {
namespace {

struct Live {
  unsigned char* p = nullptr;
  size_t size = 0;
  unsigned char seed = 0;
};

void Fill(Live& b) {
  for (size_t i = 0; i < b.size; ++i) b.p[i] = static_cast<unsigned char>(b.seed + i * 31);
}

// Index of the first byte that lost its pattern, or -1.
long FirstBad(const Live& b, size_t upto) {
  for (size_t i = 0; i < upto; ++i) {
    if (b.p[i] != static_cast<unsigned char>(b.seed + i * 31)) return static_cast<long>(i);
  }
  return -1;
}

size_t RandomSize(std::mt19937& rng) {
  unsigned pick = rng() % 100;
  if (pick < 70) return 1 + rng() % 128;  // the common small strings
  if (pick < 90) return 1 + rng() % 2048;
  if (pick < 98) return 1 + rng() % 0xD010;  // up to just past the arena limit
  return 0xD000 + rng() % 300000;            // large blocks
}

void RunStress(uint32_t seed, int steps, size_t slots) {
  std::mt19937 rng(seed);
  std::vector<Live> live(slots);
  for (int step = 0; step < steps; ++step) {
    Live& b = live[rng() % slots];
    unsigned op = rng() % 3;
    if (b.p != nullptr) {
      ASSERT_EQ(FirstBad(b, b.size), -1) << "step " << step;
      ASSERT_GE(BlockSize(b.p), b.size + 8);
    }
    if (b.p == nullptr || op == 0) {
      if (b.p != nullptr) Free(b.p);
      b.size = RandomSize(rng);
      b.p = static_cast<unsigned char*>(Allocate(b.size));
      ASSERT_NE(b.p, nullptr);
      ASSERT_EQ(reinterpret_cast<uintptr_t>(b.p) % 8, 0u);
      b.seed = static_cast<unsigned char>(rng());
      Fill(b);
    } else if (op == 1) {
      Free(b.p);
      b = Live();
    } else {
      size_t n = RandomSize(rng);
      auto* q = static_cast<unsigned char*>(Reallocate(b.p, n));
      ASSERT_NE(q, nullptr);
      b.p = q;
      size_t kept = b.size < n ? b.size : n;
      ASSERT_EQ(FirstBad(b, kept), -1) << "step " << step << " realloc " << b.size << "->" << n;
      b.size = n;
      Fill(b);
    }
    ASSERT_EQ(CheckHeap(), "") << "step " << step;
    if (step % 256 == 0) {
      for (const Live& other : live) {
        if (other.p != nullptr) {
          ASSERT_EQ(FirstBad(other, other.size), -1) << "step " << step;
        }
      }
    }
  }
  for (Live& b : live) {
    if (b.p != nullptr) {
      ASSERT_EQ(FirstBad(b, b.size), -1);
    }
    Free(b.p);
  }
  EXPECT_EQ(CheckHeap(), "");
}

TEST(MemoryStress, FewSlotsManySteps) { RunStress(1, 6000, 40); }
TEST(MemoryStress, ManySlots) { RunStress(7, 6000, 600); }
TEST(MemoryStress, SmallBlocksOnly) {
  // Allocate and free only: every free block must merge with free neighbours.
  std::mt19937 rng(42);
  std::vector<void*> blocks;
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < 500; ++i) blocks.push_back(Allocate(8 + rng() % 505));
    std::shuffle(blocks.begin(), blocks.end(), rng);
    for (size_t i = 0; i < blocks.size() / 2; ++i) Free(blocks[i]);
    blocks.erase(blocks.begin(), blocks.begin() + static_cast<long>(blocks.size() / 2));
    ASSERT_EQ(CheckHeap(), "") << "round " << round;
  }
  for (void* p : blocks) Free(p);
  ASSERT_EQ(CheckHeap(), "");
}

// The search index must hand out exactly the block a walk of the list from
// the rover would: every allocation is checked against the walk's answer
// while thousands of regions (more than one descriptor pool) come and go.
TEST(MemoryStress, IndexGivesTheNextFitAnswer) {
  std::mt19937 rng(9);
  std::vector<void*> live;
  auto allocate = [&](size_t n) {
    memory_detail::FreeRegion* expected =
        memory_detail::WalkFind(static_cast<uint32_t>(BlockSizeFor(n)));
    char* expected_start = expected == nullptr ? nullptr : expected->start;
    void* p = Allocate(n);
    if (expected_start != nullptr) {
      EXPECT_EQ(p, expected_start);
    }
    live.push_back(p);
  };
  // Every other block freed leaves one region per freed block.
  for (int i = 0; i < 9000; ++i) allocate(8 + rng() % 200);
  std::vector<void*> kept;
  for (size_t i = 0; i < live.size(); ++i) {
    if (i % 2 == 0) {
      Free(live[i]);
    } else {
      kept.push_back(live[i]);
    }
  }
  live.swap(kept);
  ASSERT_GT(GetHeapStats().free_regions, kDescriptorsPerPool);
  ASSERT_EQ(CheckHeap(), "");
  for (int step = 0; step < 40000; ++step) {
    size_t victim = rng() % live.size();
    Free(live[victim]);
    live[victim] = live.back();
    live.pop_back();
    allocate(8 + rng() % 600);
    if (step % 4000 == 0) {
      ASSERT_EQ(CheckHeap(), "") << "step " << step;
    }
  }
  // The long walks among thousands of small regions built the index.
  EXPECT_TRUE(memory_detail::g_heap.index_active);
  ASSERT_EQ(CheckHeap(), "");
  for (void* p : live) Free(p);
  EXPECT_EQ(CheckHeap(), "");
}

}  // namespace
}  // namespace kor

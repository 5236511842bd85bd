// KORARRAY: capacity growth through the size classes, insertion order,
// search, copying and the failure beyond the capacity table.
#include "runtime/core/pointer_array.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/memory/memory.h"

namespace kor {
namespace {

std::vector<ArrayEntry> Entries(const KORARRAY& a) {
  return std::vector<ArrayEntry>(a.data, a.data + a.count);
}

TEST(PointerArray, CapacityGrowsThroughTheTable) {
  KORARRAY a{};
  std::vector<int32_t> capacities;
  for (int i = 0; i < 2000; ++i) {
    ASSERT_TRUE(ArrayInsert(&a, static_cast<ArrayEntry>(i), a.count));
    int32_t cap = ArrayCapacity(a.size_class);
    if (capacities.empty() || capacities.back() != cap) capacities.push_back(cap);
    ASSERT_GE(BlockSize(a.data), cap * sizeof(ArrayEntry) + 8);
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{2, 4, 8, 16, 32, 64, 128, 256, 1024, 2048}));
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(a.data[i], static_cast<ArrayEntry>(i));
  ArrayFree(&a);
  EXPECT_EQ(a.data, nullptr);
  EXPECT_EQ(a.count, 0);
  EXPECT_EQ(CheckHeap(), "");
}

TEST(PointerArray, TableEnds) {
  EXPECT_EQ(ArrayCapacity(0), 0);
  EXPECT_EQ(ArrayCapacity(9), 1024);
  EXPECT_EQ(ArrayCapacity(28), 10000000);
  EXPECT_EQ(ArrayCapacity(29), 10000000);
  EXPECT_EQ(ArrayCapacity(kArraySizeClasses - 1), 100000000);
  EXPECT_EQ(ArrayCapacity(kArraySizeClasses), 0);
}

TEST(PointerArray, InsertFindDelete) {
  KORARRAY a{};
  ASSERT_TRUE(ArrayInsert(&a, 10, 0));
  ASSERT_TRUE(ArrayInsert(&a, 30, 1));
  ASSERT_TRUE(ArrayInsert(&a, 20, 1));
  ASSERT_TRUE(ArrayInsert(&a, 5, 0));
  ASSERT_TRUE(ArrayInsert(&a, 20, 4));
  EXPECT_EQ(Entries(a), (std::vector<ArrayEntry>{5, 10, 20, 30, 20}));
  EXPECT_EQ(ArrayFind(&a, 20), 2);
  EXPECT_EQ(ArrayFind(&a, 5), 0);
  EXPECT_EQ(ArrayFind(&a, 99), -1);
  // Indexes outside 0 .. count change nothing.
  EXPECT_FALSE(ArrayInsert(&a, 1, -1));
  EXPECT_FALSE(ArrayInsert(&a, 1, 6));
  EXPECT_EQ(a.count, 5);
  EXPECT_TRUE(ArrayDelete(&a, 2));
  EXPECT_FALSE(ArrayDelete(&a, 4));
  EXPECT_EQ(Entries(a), (std::vector<ArrayEntry>{5, 10, 30, 20}));
  EXPECT_EQ(ArrayFind(&a, 20), 3);
  int pointee = 0;
  ASSERT_TRUE(ArrayInsert(&a, reinterpret_cast<ArrayEntry>(&pointee), 0));
  EXPECT_EQ(reinterpret_cast<int*>(a.data[0]), &pointee);
  ArrayFree(&a);
  KORARRAY empty{};
  EXPECT_EQ(ArrayFind(&empty, 0), -1);
}

TEST(PointerArray, CopyIsIndependent) {
  KORARRAY src{};
  for (ArrayEntry v = 1; v <= 5; ++v) ASSERT_TRUE(ArrayInsert(&src, v, src.count));
  KORARRAY dst{};
  ASSERT_TRUE(ArrayInsert(&dst, 77, 0));
  ASSERT_TRUE(ArrayCopy(&dst, &src));
  EXPECT_EQ(Entries(dst), Entries(src));
  EXPECT_EQ(dst.size_class, src.size_class);
  EXPECT_NE(dst.data, src.data);
  ASSERT_TRUE(ArrayInsert(&dst, 6, 5));
  ASSERT_TRUE(ArrayInsert(&dst, 7, 6));
  ASSERT_TRUE(ArrayInsert(&dst, 8, 7));
  ASSERT_TRUE(ArrayInsert(&dst, 9, 8));  // grows past src's class
  EXPECT_EQ(src.count, 5);
  EXPECT_EQ(Entries(dst), (std::vector<ArrayEntry>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  KORARRAY none{};
  ASSERT_TRUE(ArrayCopy(&dst, &none));
  EXPECT_EQ(dst.count, 0);
  EXPECT_EQ(dst.data, nullptr);
  ArrayFree(&src);
  ArrayFree(&dst);
  EXPECT_EQ(CheckHeap(), "");
}

TEST(PointerArray, TheRepeatedCapacityStillGrows) {
  // Classes 28 and 29 both hold 10,000,000 entries: the 10,000,001st entry
  // must land in class 30 rather than past the end of the data. The pages
  // of the big blocks are never touched except at the end.
  KORARRAY a{};
  a.size_class = 28;
  a.count = 10000000;
  a.data = static_cast<ArrayEntry*>(Allocate(10000000 * sizeof(ArrayEntry)));
  ASSERT_NE(a.data, nullptr);
  ASSERT_TRUE(ArrayInsert(&a, 42, a.count));
  EXPECT_EQ(a.size_class, 30);
  EXPECT_GE(BlockSize(a.data), 20000000 * sizeof(ArrayEntry));
  EXPECT_EQ(a.data[10000000], 42u);
  ArrayFree(&a);
}

#if !defined(_WIN32)
TEST(PointerArrayDeathTest, PastTheTableIsARuntimeError) {
  KORARRAY a{};
  a.size_class = kArraySizeClasses - 1;
  a.count = 100000000;  // a full last class; its data is never reached
  EXPECT_EXIT(ArrayInsert(&a, 1, a.count), testing::ExitedWithCode(2),
              "Out of memory in KORARRAY!");
}
#endif

}  // namespace
}  // namespace kor

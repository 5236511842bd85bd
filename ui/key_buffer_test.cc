// The keystroke buffer against a plain double-ended queue: any mix of pushes
// and pops keeps the same keys in the same order, growth keeps them, and the
// limit of 1024 takes nothing of a push that would pass it.
#include "ui/key_buffer.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace kor {
namespace {

TEST(KeyBuffer, MatchesAQueueUnderRandomPushesAndPops) {
  std::mt19937 rng(12345);
  KeyBuffer buffer;
  std::deque<uint16_t> oracle;
  uint16_t next = 1;
  for (int step = 0; step < 20000; ++step) {
    if (rng() % 3 != 0) {
      std::vector<uint16_t> keys(rng() % 40);
      for (uint16_t& k : keys) k = next++ & 0x7FF;
      bool fits = oracle.size() + keys.size() <= kKeyBufferLimit;
      ASSERT_EQ(buffer.Push(keys.data(), keys.size()), fits);
      if (fits) oracle.insert(oracle.end(), keys.begin(), keys.end());
    } else {
      uint16_t key = 0;
      ASSERT_EQ(buffer.Pop(&key), !oracle.empty());
      if (!oracle.empty()) {
        ASSERT_EQ(key, oracle.front());
        oracle.pop_front();
      }
    }
    ASSERT_EQ(buffer.size(), oracle.size());
    ASSERT_LE(buffer.capacity(), kKeyBufferLimit);
  }
}

TEST(KeyBuffer, StartsAtSixteenAndDoublesToTheLimit) {
  KeyBuffer buffer;
  EXPECT_EQ(buffer.capacity(), 16u);
  std::vector<size_t> capacities;
  for (uint16_t k = 0; k < kKeyBufferLimit; ++k) {
    ASSERT_TRUE(buffer.Push(&k, 1));
    if (capacities.empty() || capacities.back() != buffer.capacity())
      capacities.push_back(buffer.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<size_t>{16, 32, 64, 128, 256, 512, 1024}));
}

TEST(KeyBuffer, TheKeyAfterTheLimitIsRefusedAndNothingIsLost) {
  KeyBuffer buffer;
  std::vector<uint16_t> keys(kKeyBufferLimit);
  for (size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<uint16_t>(i);
  ASSERT_TRUE(buffer.Push(keys.data(), keys.size()));
  uint16_t extra = 7;
  EXPECT_FALSE(buffer.Push(&extra, 1));  // the 1025th
  EXPECT_EQ(buffer.size(), kKeyBufferLimit);
  for (uint16_t want : keys) {
    uint16_t got = 0;
    ASSERT_TRUE(buffer.Pop(&got));
    ASSERT_EQ(got, want);
  }
  EXPECT_TRUE(buffer.empty());
  // A push that would pass the limit takes none of its keys.
  std::vector<uint16_t> most(1000, 1), more(25, 2);
  ASSERT_TRUE(buffer.Push(most.data(), most.size()));
  EXPECT_FALSE(buffer.Push(more.data(), more.size()));
  EXPECT_EQ(buffer.size(), 1000u);
}

}  // namespace
}  // namespace kor

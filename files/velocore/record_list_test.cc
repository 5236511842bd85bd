// The flat record list against a vector of separately held records: random
// inserts, replacements, removals, cuts and appends (the buffer compacting
// on the way), and its searches against std::lower_bound over CompareKeys,
// on keys built to fool the cached 8-byte heads (short keys, zero bytes).
#include "files/velocore/record_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "files/velocore/page_codec.h"

namespace kor::vel {
namespace {

using Bytes = std::vector<uint8_t>;

void ExpectSame(const RecordList& list, const std::vector<Record>& oracle) {
  ASSERT_EQ(list.size(), oracle.size());
  uint32_t total = 0;
  for (size_t i = 0; i < oracle.size(); ++i) {
    RecordRef r = list[i];
    EXPECT_EQ(Bytes(r.key().begin(), r.key().end()),
              Bytes(oracle[i].key().begin(), oracle[i].key().end()));
    EXPECT_EQ(Bytes(r.data().begin(), r.data().end()),
              Bytes(oracle[i].data().begin(), oracle[i].data().end()));
    total += uint32_t(oracle[i].bytes.size());
  }
  EXPECT_EQ(list.byte_total(), total);
}

// Keys over a tiny alphabet with zero bytes and lengths around 8 and 16,
// so that many pairs share their heads or differ only past them.
Bytes TrickyKey(std::mt19937& random) {
  Bytes k(random() % 22);
  for (auto& b : k) b = uint8_t(random() % 3 == 0 ? 0 : random() % 2 + 1);
  return k;
}

TEST(RecordListTest, ChangesMatchAVectorOfRecords) {
  std::mt19937 random(5);
  RecordList list, other;
  std::vector<Record> oracle;
  for (int step = 0; step < 4000; ++step) {
    Bytes key = TrickyKey(random), data(random() % 300, uint8_t(step));
    size_t at = oracle.empty() ? 0 : random() % (oracle.size() + 1);
    switch (random() % 7) {
      case 0:
      case 1:
        list.Insert(at, key, data);
        oracle.insert(oracle.begin() + ptrdiff_t(at), MakeRecord(key, data));
        break;
      case 2:
        if (oracle.empty()) break;
        at %= oracle.size();
        list.Replace(at, key, data);
        oracle[at] = MakeRecord(key, data);
        break;
      case 3:
        if (oracle.empty()) break;
        at %= oracle.size();
        list.Erase(at);
        oracle.erase(oracle.begin() + ptrdiff_t(at));
        break;
      case 4: {
        // A copy of a record of the list itself, whose bytes move as it grows.
        if (oracle.empty()) break;
        size_t from = random() % oracle.size();
        Record copy = oracle[from];
        list.Insert(at, list[from].key(), list[from].data());
        oracle.insert(oracle.begin() + ptrdiff_t(at), copy);
        break;
      }
      case 5:
        if (oracle.empty() || random() % 8 != 0) break;
        // Split and join again, as a page split and a merge do.
        other.Clear();
        other.AppendFrom(list, at);
        list.Truncate(at);
        list.ShrinkToFit();
        list.AppendFrom(other);
        ASSERT_EQ(other.size(), oracle.size() - at);
        break;
      case 6:
        if (oracle.empty()) break;
        at %= oracle.size();
        if (list.MutableData(at).empty()) break;
        list.MutableData(at).back() ^= 0x5A;
        oracle[at].bytes.back() ^= 0x5A;
        break;
    }
    if (step % 50 == 0) ExpectSame(list, oracle);
  }
  ExpectSame(list, oracle);
}

// A page filled up to its split and cut to part of its records gives back
// the room it grew to: a bulk load keeps every changed page until it
// commits, and that room was half its memory.
TEST(RecordListTest, ShrinkingACutListKeepsItsRecordsAndGivesBackTheRoom) {
  RecordList list;
  std::vector<Record> oracle;
  for (uint32_t n = 0; n < 60; ++n) {
    Bytes key(9, 0), data(133, uint8_t(n));
    key[8] = uint8_t(n);
    list.PushBack(key, data);
    oracle.push_back(MakeRecord(key, data));
  }
  list.Truncate(40);  // less waste than live bytes: the cut alone keeps the buffer
  oracle.resize(40);
  size_t before = list.memory_held();
  list.ShrinkToFit();
  ExpectSame(list, oracle);
  EXPECT_LT(list.memory_held(), before);
  // What is left: the records' bytes, their slots, and slack below the
  // least waste worth a rewrite.
  EXPECT_LE(list.memory_held(), list.byte_total() + 2 * 40 * 16 + 1024);
  EXPECT_EQ(list.LowerBound(oracle[17].key()), 17u);
}

TEST(RecordListTest, SearchesAgreeWithLowerBoundOverCompareKeys) {
  std::mt19937 random(9);
  for (int round = 0; round < 200; ++round) {
    std::vector<Bytes> keys;
    for (int i = 0, n = int(random() % 60); i < n; ++i) keys.push_back(TrickyKey(random));
    auto less = [](const Bytes& a, const Bytes& b) { return CompareKeys(a, b) < 0; };
    std::sort(keys.begin(), keys.end(), less);
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    RecordList list;
    for (const Bytes& k : keys) list.PushBack(k, Bytes{1, 2});
    for (int probe = 0; probe < 40; ++probe) {
      Bytes k = TrickyKey(random);
      size_t lower = size_t(std::lower_bound(keys.begin(), keys.end(), k, less) - keys.begin());
      size_t upper = size_t(std::upper_bound(keys.begin(), keys.end(), k, less) - keys.begin());
      EXPECT_EQ(list.LowerBound(k), lower);
      EXPECT_EQ(list.UpperBound(k), upper);
    }
  }
}

TEST(RecordListTest, HeadsOrderKeysAsCompareKeysDoes) {
  const Bytes cases[][2] = {
      {{}, {0}},
      {{'A'}, {'A', 0}},
      {{'A', 0, 0, 0, 0, 0, 0, 0}, {'A', 0, 0, 0, 0, 0, 0, 0, 0}},
      {{1, 2, 3, 4, 5, 6, 7, 8, 1}, {1, 2, 3, 4, 5, 6, 7, 8, 0, 9}},
      {{0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {{2}, {1, 0xFF}},
      {Bytes(16, 7), Bytes(17, 7)},
      {Bytes(7, 7),
       [] {
         Bytes b(8, 7);
         b[7] = 0;
         return b;
       }()},
      {Bytes(17, 7),
       [] {
         Bytes b(17, 7);
         b[16] = 8;
         return b;
       }()},
      {[] {
         Bytes b(20, 1);
         b[12] = 0;
         return b;
       }(),
       Bytes(12, 1)},
  };
  for (const auto& c : cases) {
    for (int way = 0; way < 2; ++way) {
      const Bytes& a = c[way];
      const Bytes& b = c[1 - way];
      uint64_t ha = KeyHead(a), hb = KeyHead(b);
      int expected = CompareKeys(a, b);
      // Differing heads must agree with the bytes; equal heads say nothing.
      if (ha != hb) {
        EXPECT_EQ(ha < hb ? -1 : 1, expected);
      }
      RecordList list;
      list.PushBack(a, {});
      EXPECT_EQ(list.LowerBound(b), expected < 0 ? 1u : 0u);
      EXPECT_EQ(list.UpperBound(b), expected <= 0 ? 1u : 0u);
    }
  }
}

// A record taking a prefix of the one before it (the stored form's shared
// bytes) holds that prefix and its own rest, for prefixes up to a page's
// longest and beyond it, the buffer growing on the way.
TEST(RecordListTest, SharedPrefixesComeFromTheRecordBefore) {
  std::mt19937 random(3);
  RecordList list;
  std::vector<Record> oracle;
  Bytes last;
  for (size_t shared : {0, 1, 8, 63, 64, 65, 200, 0, 300, 2, 64}) {
    ASSERT_LE(shared, last.size());
    Bytes rest(150 + random() % 300);
    for (auto& b : rest) b = uint8_t(random());
    Bytes whole(last.begin(), last.begin() + ptrdiff_t(shared));
    whole.insert(whole.end(), rest.begin(), rest.end());
    auto key_length = uint16_t(random() % (whole.size() + 1));
    list.PushBackShared(shared, rest, key_length);
    oracle.push_back(MakeRecord(Bytes(whole.begin(), whole.begin() + key_length),
                                Bytes(whole.begin() + key_length, whole.end())));
    last = whole;
  }
  ExpectSame(list, oracle);
}

}  // namespace
}  // namespace kor::vel

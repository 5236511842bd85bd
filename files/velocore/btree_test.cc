// The tree against an ordered map: random inserts, replacements and
// removals of records of many sizes (splits, merges and moves between size
// classes), committed in batches, with the whole file verified after each.
#include "files/velocore/btree.h"

#include <map>
#include <random>
#include <set>

#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

Bytes KeyOf(uint32_t n) {
  Bytes k(4);
  Put32BE(k.data(), n);
  return k;
}

class TreeTest : public testing::MemoryFilesTest {
 protected:
  void SetUp() override {
    MemoryFilesTest::SetUp();
    ASSERT_TRUE(store_.Create("tree.vel", "").ok());
  }
  // The tree holds exactly the oracle's records, in order both ways.
  void ExpectSame() {
    Cursor c(tree_);
    ASSERT_TRUE(c.SeekCeiling({}).ok());
    for (auto& [k, v] : oracle_) {
      ASSERT_TRUE(c.valid());
      EXPECT_EQ(Bytes(c.record().key().begin(), c.record().key().end()), k);
      EXPECT_EQ(Bytes(c.record().data().begin(), c.record().data().end()), v);
      ASSERT_TRUE(c.Next().ok());
    }
    EXPECT_FALSE(c.valid());
    ASSERT_TRUE(c.SeekFloor(Bytes(8, 0xFF)).ok());
    for (auto it = oracle_.rbegin(); it != oracle_.rend(); ++it) {
      ASSERT_TRUE(c.valid());
      EXPECT_EQ(Bytes(c.record().key().begin(), c.record().key().end()), it->first);
      ASSERT_TRUE(c.Prev().ok());
    }
    EXPECT_FALSE(c.valid());
  }
  PageStore store_;
  Tree tree_{store_};
  std::map<Bytes, Bytes> oracle_;
};

TEST_F(TreeTest, RandomChangesMatchAnOrderedMap) {
  std::mt19937 random(7);
  uint32_t depth = 0;
  std::set<uint32_t> classes;
  // A bulk of small records first, for a tree three levels deep.
  for (uint32_t n = 0; n < 8000; ++n) {
    Bytes data(n % 23, uint8_t(n)), key = KeyOf(n * 7);
    key.resize(60, 'k');  // long keys make narrow internal pages
    ASSERT_TRUE(tree_.Put(MakeRecord(key, data)).ok());
    oracle_[key] = data;
    if (n % 2000 == 1999) {
      ASSERT_TRUE(store_.Commit().ok());
    }
  }
  for (int batch = 0; batch < 40; ++batch) {
    int ops = 1 + int(random() % 40);
    for (int i = 0; i < ops; ++i) {
      Bytes key = KeyOf(random() % 600 * 467);
      int what = int(random() % 10);
      if (what < 6) {
        // Sizes from a few bytes to pages of many blocks; runs make some
        // pages compress.
        size_t size = random() % 8 == 0 ? random() % 3000 : random() % 120;
        Bytes data(size, uint8_t(random() % 3));
        for (auto& b : data)
          if (random() % 4 == 0) b = uint8_t(random());
        ASSERT_TRUE(tree_.Put(MakeRecord(key, data)).ok());
        oracle_[key] = data;
      } else {
        bool found = false;
        ASSERT_TRUE(tree_.Erase(key, &found).ok());
        EXPECT_EQ(found, oracle_.erase(key) == 1);
      }
    }
    ASSERT_TRUE(store_.Commit().ok());
    if (batch % 4 != 3) continue;  // the whole checks every fourth batch
    ExpectSame();
    VerifyReport report;
    ASSERT_TRUE(VerifyFile(store_, &report, false).ok());
    for (const Problem& p : report.problems)
      ADD_FAILURE() << "batch " << batch << ": " << DescribeProblem(p);
    EXPECT_EQ(report.unused_slots, 0u) << "ranges stay dense";
    depth = std::max(depth, report.depth);
    for (uint32_t k = 1; k <= kMaxClass; ++k)
      if (report.pages_per_class[k]) classes.insert(k);
  }
  // The run reached what it is meant to exercise.
  EXPECT_GE(depth, 3u);
  EXPECT_GE(classes.size(), 8u);
  // Reopened from the bytes alone, the file holds the same.
  store_.Close();
  ASSERT_TRUE(store_.Open("tree.vel", kOsReadWrite, "").ok());
  ExpectSame();
  // Removing everything leaves an empty tree and no pages.
  for (auto& [k, v] : oracle_) {
    bool found = false;
    ASSERT_TRUE(tree_.Erase(k, &found).ok());
    ASSERT_TRUE(found);
  }
  oracle_.clear();
  ASSERT_TRUE(store_.Commit().ok());
  EXPECT_EQ(store_.header().root, kNoPage);
  EXPECT_EQ(store_.header().UsedEnd(), kHeaderSize);
  EXPECT_EQ(files_.Content("tree.vel").size(), kHeaderSize) << "the file is cut at its used end";
}

// The search hints only save work: the same changes and reads through a
// tree that always descends from the root give the same answers and, after
// every commit, the same file, byte for byte. The changes mix what the
// hints serve (appends at the end, records changed in place again and again,
// reads of neighbours) with random inserts and removals that split, merge
// and renumber pages between them.
TEST_F(TreeTest, SearchHintsGiveTheSameAnswersAndTheSameFile) {
  PageStore plain_store;
  ASSERT_TRUE(plain_store.Create("plain.vel", "").ok());
  Tree plain(plain_store);
  plain.UseSearchHints(false);
  std::mt19937 random(11);
  uint32_t next_append = 1000000;
  auto both = [&](auto&& op) { return std::make_pair(op(tree_), op(plain)); };
  for (int batch = 0; batch < 60; ++batch) {
    for (int i = 0; i < 150; ++i) {
      int what = int(random() % 10);
      Bytes key = what < 3 ? KeyOf(next_append++) : KeyOf(random() % 5000 * 13);
      if (what == 3) key = KeyOf(0xFFFFFF00u + random() % 3);  // counters
      key.resize(8 + random() % 40, 'k');
      if (what == 3) key.resize(8);
      Bytes data(random() % 90, uint8_t(random()));
      if (what == 3) {
        auto bump = [&](Tree& t) {
          bool found = false;
          Status s = t.Update(
              key, [](std::span<uint8_t> data) { return ++data.back(), Status::Ok(); }, &found);
          if (s.ok() && !found) s = t.Put(MakeRecord(key, Bytes(8, 1)));
          return s.ok();
        };
        auto [a, b] = both(bump);
        ASSERT_TRUE(a && b);
      } else if (what < 8) {
        auto [a, b] = both([&](Tree& t) { return t.Put(MakeRecord(key, data)).ok(); });
        ASSERT_TRUE(a && b);
      } else {
        auto erase = [&](Tree& t) {
          bool found = false;
          return t.Erase(key, &found).ok() ? int(found) : -1;
        };
        auto [a, b] = both(erase);
        ASSERT_EQ(a, b);
      }
      // Reads: an exact lookup and the neighbours on either side.
      Bytes probe = KeyOf(random() % 5000 * 13);
      probe.resize(8 + random() % 40, 'k');
      auto look = [&](Tree& t) {
        Record r, c, f;
        bool found = false, up = false, down = false;
        EXPECT_TRUE(t.Find(probe, &r, &found).ok());
        EXPECT_TRUE(t.Ceiling(probe, true, &c, &up).ok());
        EXPECT_TRUE(t.Floor(probe, false, &f, &down).ok());
        return std::make_tuple(found ? r : Record{}, up ? c : Record{}, down ? f : Record{});
      };
      auto [a, b] = both(look);
      ASSERT_EQ(a, b) << "batch " << batch << " step " << i;
    }
    ASSERT_TRUE(store_.Commit().ok());
    ASSERT_TRUE(plain_store.Commit().ok());
    ASSERT_EQ(files_.Content("tree.vel"), files_.Content("plain.vel")) << "batch " << batch;
  }
  VerifyReport report;
  ASSERT_TRUE(VerifyFile(store_, &report, false).ok());
  EXPECT_TRUE(report.problems.empty());
  EXPECT_GE(report.depth, 3u) << "deep enough for paths of several levels";
}

// Changing a record's data in place is a Put of the changed record: between
// random inserts and removals that split and merge the pages around them,
// counters bumped by Update in one tree and read, changed and Put in the
// other leave the same file after every commit.
TEST_F(TreeTest, UpdateInPlaceLeavesTheFileThatPutLeaves) {
  PageStore put_store;
  ASSERT_TRUE(put_store.Create("put.vel", "").ok());
  Tree by_put(put_store);
  std::mt19937 random(5);
  for (int batch = 0; batch < 40; ++batch) {
    for (int i = 0; i < 120; ++i) {
      int what = int(random() % 6);
      Bytes key = KeyOf(random() % 3000 * 11);
      key.resize(8 + random() % 30, 'k');
      Bytes data(random() % 120, uint8_t(random()));
      if (what < 2) {
        Bytes counter = KeyOf(random() % 40 * 77);  // scattered among the others
        counter.resize(9, 'c');
        bool found = false;
        ASSERT_TRUE(
            tree_
                .Update(
                    counter, [](std::span<uint8_t> d) { return d[3] += 3, Status::Ok(); }, &found)
                .ok());
        Record r;
        bool there = false;
        ASSERT_TRUE(by_put.Find(counter, &r, &there).ok());
        ASSERT_EQ(found, there);
        Bytes bumped = found ? Bytes(r.data().begin(), r.data().end()) : Bytes(16, 1);
        if (found) bumped[3] += 3;
        ASSERT_TRUE(by_put.Put(MakeRecord(counter, bumped)).ok());
        if (!found) {
          ASSERT_TRUE(tree_.Put(MakeRecord(counter, bumped)).ok());
        }
      } else if (what < 5) {
        ASSERT_TRUE(tree_.Put(MakeRecord(key, data)).ok());
        ASSERT_TRUE(by_put.Put(MakeRecord(key, data)).ok());
      } else {
        bool a = false, b = false;
        ASSERT_TRUE(tree_.Erase(key, &a).ok());
        ASSERT_TRUE(by_put.Erase(key, &b).ok());
        ASSERT_EQ(a, b);
      }
    }
    ASSERT_TRUE(store_.Commit().ok());
    ASSERT_TRUE(put_store.Commit().ok());
    ASSERT_EQ(files_.Content("tree.vel"), files_.Content("put.vel")) << "batch " << batch;
  }
}

TEST_F(TreeTest, ShorterKeySortsFirstAndCeilingFloorFindNeighbours) {
  for (Bytes k : {Bytes{1, 2}, Bytes{1, 2, 0}, Bytes{1}, Bytes{2}}) {
    ASSERT_TRUE(tree_.Put(MakeRecord(k, {})).ok());
  }
  Cursor c(tree_);
  ASSERT_TRUE(c.SeekCeiling({}).ok());
  std::vector<Bytes> order;
  while (c.valid()) {
    order.emplace_back(c.record().key().begin(), c.record().key().end());
    ASSERT_TRUE(c.Next().ok());
  }
  EXPECT_EQ(order, (std::vector<Bytes>{{1}, {1, 2}, {1, 2, 0}, {2}}));
  Record r;
  bool found = false;
  ASSERT_TRUE(tree_.Ceiling(Bytes{1, 2}, true, &r, &found).ok());
  EXPECT_EQ(Bytes(r.key().begin(), r.key().end()), (Bytes{1, 2, 0}));
  ASSERT_TRUE(tree_.Floor(Bytes{1, 3}, false, &r, &found).ok());
  EXPECT_EQ(Bytes(r.key().begin(), r.key().end()), (Bytes{1, 2, 0}));
  ASSERT_TRUE(tree_.Floor(Bytes{1}, true, &r, &found).ok());
  EXPECT_FALSE(found);
}

}  // namespace
}  // namespace kor::vel

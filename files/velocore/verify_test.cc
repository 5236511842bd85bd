// The whole-file check finds each kind of damage it promises to: the table
// is made sound, one thing is broken through the tree directly, and the
// report must name it.
#include "files/velocore/verify.h"

#include <functional>

#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

using testing::SampleImage;

class VerifyTest : public testing::MemoryFilesTest {
 protected:
  void SetUp() override {
    MemoryFilesTest::SetUp();
    ASSERT_TRUE(store_.Create("v.vel", "").ok());
    std::string why;
    ASSERT_TRUE(
        table_.Create("T", testing::SampleSchema(), false, testing::CurrentCollation(), &why).ok());
    for (int i = 1; i <= 30; ++i) {
      uint32_t r;
      ASSERT_TRUE(table_
                      .Add(SampleImage(i, "name" + std::to_string(i), 0, 0, "c").data(),
                           {Bytes(300, 'x'), Bytes(600, 3)}, &r)
                      .ok());
    }
    ASSERT_EQ(testing::VerifyProblems(store_), "");
  }
  uint32_t T() const { return table_.number(); }
  PageStore store_;
  Table table_{store_};
  Tree tree_{store_};
};

TEST_F(VerifyTest, EachDamageIsNamed) {
  struct Case {
    const char* what;
    std::function<void(Tree&, uint32_t)> damage;
    const char* reported;
  };
  const Case cases[] = {
      {"a lost key entry",
       [](Tree& t, uint32_t n) {
         Record r;
         bool found;
         t.Ceiling(TablePrefix(n, 1), false, &r, &found);
         Bytes key(r.key().begin(), r.key().end());
         t.Erase(key, &found);
       },
       "has no entry in key SMP:IDKEY"},
      {"an entry naming another record",
       [](Tree& t, uint32_t n) {
         Record r;
         bool found;
         t.Ceiling(TablePrefix(n, 1), false, &r, &found);
         t.Put(MakeRecord(r.key(), RecordNumberData(999)));
       },
       "entry of key SMP:IDKEY matches no data record"},
      {"a wrong statistics count",
       [](Tree& t, uint32_t n) {
         t.Put(MakeRecord(StatisticsKey(n, kKindData), EncodeStatistics({7, 0})));
       },
       "statistics count 7 for its records, found 30"},
      {"a data record of the wrong length",
       [](Tree& t, uint32_t n) { t.Put(MakeRecord(DataKey(n, 3), Bytes(12, 0))); },
       "data record of 12 bytes, the declaration says 40"},
      {"a gap in a memo chain",
       [](Tree& t, uint32_t n) {
         bool found;
         t.Erase(MemoKey(n, 4, 1, 1), &found);
       },
       "memo block out of sequence"},
      {"a BLOB whose length is not its blocks'",
       [](Tree& t, uint32_t n) {
         Record r;
         bool found;
         t.Find(MemoKey(n, 5, 1, 0), &r, &found);
         Bytes d(r.data().begin(), r.data().end());
         Put32(d.data(), 601);
         t.Put(MakeRecord(r.key(), d));
       },
       "BLOB length 601 but blocks hold 600"},
      {"a memo of a record that is gone",
       [](Tree& t, uint32_t n) { t.Put(MakeRecord(MemoKey(n, 77, 0, 0), Bytes(5, 'a'))); },
       "memo block of record 77, which does not exist"},
      {"a broken definition",
       [](Tree& t, uint32_t n) { t.Put(MakeRecord(DefinitionKey(n, 0), Bytes(3, 1))); },
       "definition stream malformed"},
      {"records of a table without a name",
       [](Tree& t, uint32_t) { t.Put(MakeRecord(DataKey(55, 1), Bytes(4, 0))); },
       "records of table 55, which has no name record"},
  };
  Bytes sound = files_.Content("v.vel");
  for (const Case& c : cases) {
    files_.SetContent("v.vel", sound);
    store_.InvalidateHeader();
    ASSERT_TRUE(store_.Refresh().ok());
    c.damage(tree_, T());
    ASSERT_TRUE(store_.Commit().ok()) << c.what;
    std::string problems = testing::VerifyProblems(store_);
    EXPECT_NE(problems.find(c.reported), std::string::npos) << c.what << ":\n" << problems;
  }
}

TEST_F(VerifyTest, PageDamageIsNamedWithItsPage) {
  // A page whose stored size claims another class, and one whose offset
  // field names another place.
  const Header& h = store_.header();
  uint32_t leaf = kNoPage;
  for (uint32_t k = 1; k <= kMaxClass && leaf == kNoPage; ++k) {
    if (h.start[k] != h.end[k] && h.start[k] != h.root) leaf = h.start[k];
  }
  ASSERT_NE(leaf, kNoPage);
  Bytes sound = files_.Content("v.vel");
  Bytes bad = sound;
  Put32(&bad[PageOffset(leaf)], 12345 * 256 + 512);
  files_.SetContent("v.vel", bad);
  store_.InvalidateHeader();
  ASSERT_TRUE(store_.Refresh().ok());
  EXPECT_NE(testing::VerifyProblems(store_).find("page " + std::to_string(leaf) + ": offset field"),
            std::string::npos);
  bad = sound;
  bad[PageOffset(leaf) + kPgHeaderSize + 7] ^= 0x40;  // inside the first record's key
  files_.SetContent("v.vel", bad);
  store_.InvalidateHeader();
  ASSERT_TRUE(store_.Refresh().ok());
  EXPECT_NE(testing::VerifyProblems(store_), "");
}

}  // namespace
}  // namespace kor::vel

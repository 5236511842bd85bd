// Tables over in-memory files: records with their keys, statistics, memos,
// duplicates, OPT keys, OEM conversion and the failed-check state.
#include "files/velocore/table.h"

#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

using testing::SampleImage;
using testing::SampleSchema;

class TableTest : public testing::MemoryFilesTest {
 protected:
  void SetUp() override {
    MemoryFilesTest::SetUp();
    ASSERT_TRUE(store_.Create("t.vel", "").ok());
    std::string why;
    ASSERT_TRUE(
        table_.Create("PEOPLE", SampleSchema(), false, testing::CurrentCollation(), &why).ok())
        << why;
  }
  PageStore store_;
  Table table_{store_};
};

TEST_F(TableTest, AddedRecordsReadBackWithTheirKeysAndCounts) {
  uint32_t a = 0, b = 0;
  ASSERT_TRUE(table_.Add(SampleImage(1, "Smith", 1250, 80000, "X1").data(), {}, &a).ok());
  ASSERT_TRUE(table_.Add(SampleImage(2, "jones", -5, 80001, "").data(), {}, &b).ok());
  EXPECT_LT(a, b);
  Bytes image;
  bool found = false;
  ASSERT_TRUE(table_.Read(a, &image, &found).ok());
  EXPECT_TRUE(found);
  EXPECT_EQ(image, SampleImage(1, "Smith", 1250, 80000, "X1"));
  uint32_t count = 0;
  ASSERT_TRUE(table_.Count(&count).ok());
  EXPECT_EQ(count, 2u);
  ASSERT_TRUE(table_.KeyCount(2, &count).ok());
  EXPECT_EQ(count, 1u) << "the OPT key skips the blank code";
  EXPECT_EQ(testing::VerifyProblems(store_), "");
}

TEST_F(TableTest, DuplicateInAUniqueKeyLeavesTheTableUnchanged) {
  uint32_t r = 0;
  ASSERT_TRUE(table_.Add(SampleImage(7, "A").data(), {}, &r).ok());
  auto before = files_.Content("t.vel");
  Status s = table_.Add(SampleImage(7, "B").data(), {}, &r);
  EXPECT_EQ(s.code, kErrCreatesDuplicateKey);
  EXPECT_EQ(files_.Content("t.vel"), before);
  EXPECT_EQ(testing::ReadState(table_).records.size(), 1u);
}

TEST_F(TableTest, PutMovesEntriesAndDeleteRemovesEverything) {
  uint32_t r = 0, s2 = 0;
  ASSERT_TRUE(
      table_.Add(SampleImage(1, "A", 0, 0, "C").data(), {Bytes(300, 'm'), Bytes(700, 9)}, &r).ok());
  ASSERT_TRUE(table_.Add(SampleImage(2, "B").data(), {}, &s2).ok());
  EXPECT_EQ(table_.Put(r, SampleImage(2, "A").data()).code, kErrCreatesDuplicateKey);
  ASSERT_TRUE(table_.Put(r, SampleImage(3, "Z", 0, 0, "").data()).ok());
  EXPECT_EQ(testing::VerifyProblems(store_), "");
  uint32_t n = 9;
  ASSERT_TRUE(table_.KeyCount(2, &n).ok());
  EXPECT_EQ(n, 0u);
  Bytes blob;
  ASSERT_TRUE(table_.ReadMemo(r, 1, &blob).ok());
  EXPECT_EQ(blob, Bytes(700, 9));
  ASSERT_TRUE(table_.Delete(r).ok());
  EXPECT_EQ(testing::VerifyProblems(store_), "");
  EXPECT_EQ(testing::ReadState(table_).records.size(), 1u);
  EXPECT_EQ(table_.Delete(r).code, kErrRecordNotAvailable);
}

TEST_F(TableTest, MemoOfBlanksKeepsNoBlockAndTrailingBlanksAreDropped) {
  uint32_t r = 0;
  Bytes notes(300, ' ');
  ASSERT_TRUE(table_.Add(SampleImage(1, "A").data(), {notes, {}}, &r).ok());
  VerifyReport report;
  ASSERT_TRUE(VerifyFile(store_, &report).ok());
  ASSERT_EQ(report.tables.size(), 1u);
  EXPECT_EQ(report.tables[0].memo_blocks, 0u);
  std::memcpy(notes.data(), "hello", 5);
  ASSERT_TRUE(table_.WriteMemo(r, 0, notes).ok());
  ASSERT_TRUE(VerifyFile(store_, &report).ok());
  EXPECT_EQ(report.tables[0].memo_blocks, 1u);
  Bytes back;
  ASSERT_TRUE(table_.ReadMemo(r, 0, &back).ok());
  EXPECT_EQ(back, notes) << "read back blank-padded to the declared size";
  EXPECT_EQ(table_.WriteMemo(r + 1, 0, notes).code, kErrRecordNotAvailable);
}

TEST_F(TableTest, ReopenedTableComparesItsDeclaration) {
  Table again(store_);
  std::string why;
  TableSchema declared = SampleSchema();
  EXPECT_TRUE(again.Open("PEOPLE", &declared, &why).ok()) << why;
  declared.fields[1].size = 21;
  EXPECT_EQ(again.Open("PEOPLE", &declared, &why).code, kErrInvalidRecordDeclaration);
  EXPECT_NE(why.find("SMP:NAME"), std::string::npos) << why;
  EXPECT_EQ(again.Open("NOSUCH", nullptr, &why).code, kErrFileNotFound);
}

TEST_F(TableTest, FullRecordCounterIsCheck1173AndChangesNothing) {
  store_.header().record_counter = 0xFDFFFFFE;
  ASSERT_TRUE(store_.Commit().ok());
  uint32_t r = 0;
  ASSERT_TRUE(table_.Add(SampleImage(1, "last").data(), {}, &r).ok());
  EXPECT_EQ(r, 0xFDFFFFFFu);
  auto before = files_.Content("t.vel");
  Status s = table_.Add(SampleImage(2, "one too many").data(), {}, &r);
  EXPECT_EQ(s.code, kErrFileSystemError);
  EXPECT_EQ(s.check, kCheckFileFull);
  EXPECT_EQ(files_.Content("t.vel"), before);
}

TEST_F(TableTest, AnotherProgramsCommitIsSeenThroughTheChangeCounter) {
  PageStore other_store;
  ASSERT_TRUE(other_store.Open("t.vel", kOsReadWrite, "").ok());
  Table other(other_store);
  std::string why;
  ASSERT_TRUE(other.Open("PEOPLE", nullptr, &why).ok());
  uint32_t n = 0, r = 0;
  ASSERT_TRUE(other.Count(&n).ok());  // caches the header and pages
  EXPECT_EQ(n, 0u);
  ASSERT_TRUE(table_.Add(SampleImage(1, "seen").data(), {}, &r).ok());
  ASSERT_TRUE(other.Count(&n).ok());
  EXPECT_EQ(n, 1u);
  Bytes image;
  bool found = false;
  ASSERT_TRUE(other.Read(r, &image, &found).ok());
  EXPECT_TRUE(found);
}

TEST_F(TableTest, OemTablesKeepTextInTheOemSet) {
  Table oem(store_);
  std::string why;
  ASSERT_TRUE(oem.Create("OEM", SampleSchema(), true, testing::CurrentCollation(), &why).ok());
  uint32_t r = 0;
  Bytes image = SampleImage(1, "caf\xE9", 0, 0, "\xC4x");  // Windows-1252 e-acute, A-umlaut
  Bytes notes(300, ' ');
  notes[0] = 0xE9;
  ASSERT_TRUE(oem.Add(image.data(), {notes, Bytes{0xE9}}, &r).ok());
  // Stored: code page 437 (0x82 and 0x8E); the BINARY BLOB as it was.
  Tree tree(store_);
  Record stored;
  bool found = false;
  ASSERT_TRUE(tree.Find(DataKey(oem.number(), r), &stored, &found).ok());
  EXPECT_EQ(stored.data()[4 + 3], 0x82);
  EXPECT_EQ(stored.data()[32], 0x8E);
  ASSERT_TRUE(tree.Find(MemoKey(oem.number(), r, 0, 0), &stored, &found).ok());
  EXPECT_EQ(stored.data()[0], 0x82);
  ASSERT_TRUE(tree.Find(MemoKey(oem.number(), r, 1, 0), &stored, &found).ok());
  EXPECT_EQ(stored.data()[4], 0xE9);
  Bytes back;
  ASSERT_TRUE(oem.Read(r, &back, &found).ok());
  EXPECT_EQ(back, image);
  ASSERT_TRUE(oem.ReadMemo(r, 0, &back).ok());
  EXPECT_EQ(back, notes);
  EXPECT_EQ(testing::VerifyProblems(store_), "");
}

TEST_F(TableTest, KeysWalkInTheirOrderBothWays) {
  // NAMEKEY: NOCASE name, then DAY descending; DUP, so equal values follow
  // the record numbers. CODEKEY is OPT: blank codes have no entry.
  struct Row {
    const char* name;
    int32_t day;
    const char* code;
  };
  const Row rows[] = {{"bravo", 5, "x"},
                      {"Alpha", 1, ""},
                      {"alpha", 9, "y"},
                      {"ALPHA", 9, ""},
                      {"charlie", 2, "x"}};
  std::vector<uint32_t> numbers;
  for (int i = 0; i < 5; ++i) {
    uint32_t r = 0;
    ASSERT_TRUE(
        table_.Add(SampleImage(i + 1, rows[i].name, 0, rows[i].day, rows[i].code).data(), {}, &r)
            .ok());
    numbers.push_back(r);
  }
  auto walk = [&](size_t key, bool forward) {
    std::vector<uint32_t> seen;
    Bytes from = forward ? table_.KeyFirst(key) : table_.KeyLast(key), entry;
    bool strict = !forward, found = true;
    uint32_t record = 0;
    while (true) {
      EXPECT_TRUE(table_.KeyEntry(key, from, forward, strict, &entry, &record, &found).ok());
      if (!found) break;
      seen.push_back(record);
      from = entry;
      strict = true;
    }
    return seen;
  };
  // alpha 9 (rec 3), ALPHA 9 (rec 4) [equal values: record order], Alpha 1, bravo, charlie.
  std::vector<uint32_t> by_name = {numbers[2], numbers[3], numbers[1], numbers[0], numbers[4]};
  EXPECT_EQ(walk(1, true), by_name);
  EXPECT_EQ(walk(1, false), std::vector<uint32_t>(by_name.rbegin(), by_name.rend()));
  EXPECT_EQ(walk(2, true), (std::vector<uint32_t>{numbers[0], numbers[4], numbers[2]}));
  // A search value: the first "ALPHA" going forward, the last going back.
  Bytes image = SampleImage(0, "aLpHa", 0, 9);
  Bytes entry;
  uint32_t record = 0;
  bool found = false;
  ASSERT_TRUE(table_
                  .KeyEntry(1, table_.KeySearchKey(1, image.data(), false), true, false, &entry,
                            &record, &found)
                  .ok());
  EXPECT_EQ(record, numbers[2]);
  ASSERT_TRUE(table_
                  .KeyEntry(1, table_.KeySearchKey(1, image.data(), true), false, false, &entry,
                            &record, &found)
                  .ok());
  EXPECT_EQ(record, numbers[3]);
}

}  // namespace
}  // namespace kor::vel

// Crash safety of the commit: for every write, flush and truncation of an
// update, the machine stops there (losing any subset of the writes since the
// last flush and tearing the last one), or the write fails (an error or a
// short write, once or from then on). After reopening, the file verifies
// clean and its table holds exactly the state before or after the update.
#include <functional>

#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

using testing::SampleImage;
using testing::TableState;

constexpr const char* kFile = "crash.vel";

// What an update must do to the tree for the loop to test what it claims.
enum class Shape { kSplits, kMerges, kMovesClasses };

struct Scenario {
  const char* name;
  Shape shape;
  std::function<void(Table&)> setup;     // run once, committed record by record
  std::function<Status(Table&)> update;  // one update, committed once
};

std::string Name(int i) {
  return "name" + std::to_string(i * 7919 % 1000) + std::string(i % 9, 'q');
}

void AddBase(Table& t, int count) {
  for (int i = 1; i <= count; ++i) {
    uint32_t r = 0;
    Bytes notes(300, ' ');
    if (i % 5 == 0) notes.assign(300, char('a' + i % 26));
    ASSERT_TRUE(
        t.Add(SampleImage(i, Name(i), i * 10, 70000 + i, i % 3 ? "C" + std::to_string(i) : "")
                  .data(),
              {notes, {}}, &r)
            .ok());
  }
}

const Scenario kScenarios[] = {
    {"inserts that split pages", Shape::kSplits, [](Table& t) { AddBase(t, 80); },
     [](Table& t) {
       t.HoldCommits(true);
       Status s;
       for (int i = 1000; i < 1040 && s.ok(); ++i) {
         uint32_t r = 0;
         s = t.Add(SampleImage(i, Name(i), -i, 0, "N").data(), {Bytes(300, 'z'), Bytes(40, 1)}, &r);
       }
       t.HoldCommits(false);
       return s;
     }},
    {"deletes that merge pages", Shape::kMerges, [](Table& t) { AddBase(t, 100); },
     [](Table& t) {
       t.HoldCommits(true);
       Status s;
       for (uint32_t r = 20; r < 95 && s.ok(); ++r) s = t.Delete(r);
       t.HoldCommits(false);
       return s;
     }},
    {"changes that move pages between size classes", Shape::kMovesClasses,
     [](Table& t) { AddBase(t, 60); },
     [](Table& t) {
       t.HoldCommits(true);
       Status s;
       for (uint32_t r = 2; r < 62 && s.ok(); r += 2) {
         s = t.WriteMemo(r, 1, Bytes(900 + r, uint8_t(r)));       // grows its page
         if (s.ok()) s = t.WriteMemo(r + 1, 0, Bytes(300, ' '));  // shrinks another
         if (s.ok()) s = t.Put(r, SampleImage(5000 + int(r), "moved" + Name(int(r))).data());
       }
       t.HoldCommits(false);
       return s;
     }},
};

class CrashTest : public testing::MemoryFilesTest, public ::testing::WithParamInterface<int> {
 protected:
  const Scenario& scenario() const { return kScenarios[GetParam()]; }

  void SetUp() override {
    MemoryFilesTest::SetUp();
    PageStore store;
    ASSERT_TRUE(store.Create(kFile, "").ok());
    Table t(store);
    std::string why;
    ASSERT_TRUE(
        t.Create("PEOPLE", testing::SampleSchema(), false, testing::CurrentCollation(), &why).ok());
    scenario().setup(t);
    before_ = testing::ReadState(t);
    VerifyReport shape_before, shape_after;
    ASSERT_TRUE(VerifyFile(store, &shape_before).ok());
    store.Close();
    base_ = files_.Content(kFile);
    // The update once without faults gives the state after it.
    Status s = RunUpdate();
    ASSERT_TRUE(s.ok()) << s.Describe();
    after_ = Reopened(nullptr);
    ASSERT_NE(before_, after_);
    PageStore reopened;
    ASSERT_TRUE(reopened.Open(kFile, kOsReadWrite, "").ok());
    ASSERT_TRUE(VerifyFile(reopened, &shape_after).ok());
    switch (scenario().shape) {
      case Shape::kSplits: EXPECT_GT(shape_after.pages, shape_before.pages); break;
      case Shape::kMerges: EXPECT_LT(shape_after.pages, shape_before.pages); break;
      case Shape::kMovesClasses:
        EXPECT_NE(shape_after.pages_per_class, shape_before.pages_per_class);
        break;
    }
  }

  // Runs the update on the base file under the plan in force.
  Status RunUpdate() {
    files_.SetContent(kFile, base_);
    PageStore store;
    Status s = store.Open(kFile, kOsReadWrite, "");
    if (!s.ok()) return s;
    Table t(store);
    std::string why;
    s = t.Open("PEOPLE", nullptr, &why);
    if (!s.ok()) return s;
    s = scenario().update(t);
    if (s.ok()) s = store.Commit();
    else store.Discard();
    return s;
  }

  // Opens the file as it stands, verifies it and reads the table.
  TableState Reopened(JournalOutcome* outcome) {
    PageStore store;
    Status s = store.Open(kFile, kOsReadWrite, "");
    EXPECT_TRUE(s.ok()) << s.Describe() << " events " << files_.events();
    if (outcome) *outcome = store.journal_outcome();
    uint32_t unused = 0;
    EXPECT_EQ(testing::VerifyProblems(store, &unused), "");
    EXPECT_EQ(unused, 0u);
    Table t(store);
    std::string why;
    EXPECT_TRUE(t.Open("PEOPLE", nullptr, &why).ok());
    return testing::ReadState(t);
  }

  Bytes base_;
  TableState before_, after_;
};

TEST_P(CrashTest, CrashAtEveryWriteAndFlushLeavesBeforeOrAfter) {
  using Loss = MemoryFiles::Loss;
  const std::pair<Loss, uint32_t> variants[] = {{Loss::kAll, 0},
                                                {Loss::kNone, 0},
                                                {Loss::kRandom, 1},
                                                {Loss::kRandom, 2},
                                                {Loss::kRandom, 3}};
  int64_t points = 0;
  int replayed = 0, kept_before = 0;
  for (int64_t n = 1;; ++n) {
    bool crashed = false;
    for (auto [loss, seed] : variants) {
      files_.SetPlan({n, loss, seed});
      RunUpdate();
      crashed = files_.crashed();
      if (!crashed) break;
      Bytes image = files_.CrashImage(kFile);
      files_.SetPlan({});
      files_.SetContent(kFile, image);
      JournalOutcome outcome;
      TableState state = Reopened(&outcome);
      bool is_before = state == before_, is_after = state == after_;
      EXPECT_TRUE(is_before || is_after) << "crash at event " << n << " seed " << seed;
      if (is_after) ++replayed;
      if (is_before) ++kept_before;
      if (::testing::Test::HasFailure()) return;
    }
    if (!crashed) break;
    points = n;
  }
  // Every event of the commit was a crash point, and both outcomes occurred.
  EXPECT_GT(points, 8);
  EXPECT_GT(replayed, 0);
  EXPECT_GT(kept_before, 0);
}

TEST_P(CrashTest, FailingWriteAtEveryPointFailsOrCompletesCleanly) {
  auto check = [&](Status s, int64_t n, bool persists, bool short_write) {
    if (!s.ok()) {
      EXPECT_TRUE(s.code == kErrFileSystemError || s.code == kErrAccessDenied) << s.Describe();
      if (s.code == kErrAccessDenied) {
        EXPECT_TRUE(short_write) << "5 is kept for short writes";
      }
    }
    TableState state = Reopened(nullptr);
    // A success is always the update whole. A failure is the state before
    // it, except when the disk fails from then on just after the arming
    // header was written: it can be neither made durable nor taken back,
    // and the file holds one state or the other, whole.
    if (s.ok() || !persists) {
      EXPECT_EQ(state == after_, s.ok()) << "failure at event " << n << ": " << s.Describe();
    }
    EXPECT_TRUE(state == after_ || state == before_) << "event " << n;
  };
  testing::ForEachFailingWrite(
      files_, [&] { return RunUpdate(); }, check);
}

INSTANTIATE_TEST_SUITE_P(Updates, CrashTest, ::testing::Range(0, 3));

}  // namespace
}  // namespace kor::vel

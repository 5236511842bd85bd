// Opening a file whose header names a journal: replayed by a writer, read
// through by a reader that may not write, dropped when it is damaged; and
// internal checks: 90 with the check number, the table refusing until it is
// closed, the runtime error when no recovery point is armed.
#include <gtest/gtest.h>

#include "files/velocore/physical_file.h"
#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

using testing::SampleImage;

class JournalTest : public testing::MemoryFilesTest {
 protected:
  void SetUp() override {
    MemoryFilesTest::SetUp();
    PageStore store;
    ASSERT_TRUE(store.Create("j.vel", "").ok());
    Table t(store);
    std::string why;
    ASSERT_TRUE(
        t.Create("T", testing::SampleSchema(), false, testing::CurrentCollation(), &why).ok());
    for (int i = 1; i <= 40; ++i) {
      uint32_t r;
      ASSERT_TRUE(t.Add(SampleImage(i, "n" + std::to_string(i)).data(), {}, &r).ok());
    }
    before_ = testing::ReadState(t);
    base_ = files_.Content("j.vel");
    // The next update stops right after its arm pass: nothing of it is at
    // home yet, and the header names the journal.
    t.HoldCommits(true);
    for (int i = 100; i < 130; ++i) {
      uint32_t r;
      ASSERT_TRUE(t.Add(SampleImage(i, "late").data(), {}, &r).ok());
    }
    after_ = testing::ReadState(t);  // read from the update not yet committed
    store.Discard();
    store.Close();
  }
  Bytes ArmedImage() {
    // Runs the update from the base and stops at each event in turn (losing
    // nothing written before it) until the header on disk arms the journal.
    for (int64_t n = 1; n < 200; ++n) {
      files_.SetContent("j.vel", base_);
      PageStore store;
      EXPECT_TRUE(store.Open("j.vel", kOsReadWrite, "").ok());
      Table t(store);
      std::string why;
      EXPECT_TRUE(t.Open("T", nullptr, &why).ok());
      t.HoldCommits(true);
      for (int i = 100; i < 130; ++i) {
        uint32_t r;
        t.Add(SampleImage(i, "late").data(), {}, &r);
      }
      files_.SetPlan({n, MemoryFiles::Loss::kNone, 1});
      store.Commit();
      if (!files_.crashed()) break;
      Bytes image = files_.CrashImage("j.vel");
      files_.SetPlan({});
      Header h;
      if (DecodeHeader(image.data(), &h, false).ok() && h.JournalArmed()) return image;
    }
    ADD_FAILURE() << "no armed state found";
    return {};
  }
  testing::TableState Read(uint32_t mode, JournalOutcome* outcome) {
    PageStore store;
    EXPECT_TRUE(store.Open("j.vel", mode, "").ok());
    *outcome = store.journal_outcome();
    Table t(store);
    std::string why;
    EXPECT_TRUE(t.Open("T", nullptr, &why).ok());
    return testing::ReadState(t);
  }
  // Opens the armed file with `mode` while another program holds a reader
  // slot, then adds a record once that program has gone.
  void WriteAfterReadingThrough(uint32_t mode);
  Bytes base_;
  testing::TableState before_, after_;
};

TEST_F(JournalTest, ReaderReadsThroughAndWriterReplays) {
  Bytes armed = ArmedImage();
  files_.SetContent("j.vel", armed);
  JournalOutcome outcome;
  EXPECT_EQ(Read(kOsReadOnly | kOsShareCompat, &outcome), after_);
  EXPECT_EQ(outcome, JournalOutcome::kReadThrough);
  EXPECT_EQ(files_.Content("j.vel"), armed) << "a reader changes nothing";
  EXPECT_EQ(Read(kOsReadWrite, &outcome), after_);
  EXPECT_EQ(outcome, JournalOutcome::kReplayed);
  Header h;
  ASSERT_TRUE(DecodeHeader(files_.Content("j.vel").data(), &h).ok());
  EXPECT_FALSE(h.JournalArmed());
}

TEST_F(JournalTest, DamagedJournalIsDroppedAndTheOldStateStays) {
  Bytes armed = ArmedImage();
  Header h;
  ASSERT_TRUE(DecodeHeader(armed.data(), &h, false).ok());
  // The journal's last entry (the new header) is cut off.
  armed.resize(h.journal_end - kHeaderSize);
  files_.SetContent("j.vel", armed);
  JournalOutcome outcome;
  EXPECT_EQ(Read(kOsReadWrite, &outcome), before_);
  EXPECT_EQ(outcome, JournalOutcome::kDropped);
}

// A damaged file whose header gives a used end far beyond the file (a range
// of the largest class ending at 64 MB): dropping the journal must not grow
// the file to it.
TEST_F(JournalTest, DroppingAJournalNeverGrowsTheFile) {
  Bytes armed = ArmedImage();
  Header h;
  ASSERT_TRUE(DecodeHeader(armed.data(), &h, false).ok());
  armed.resize(h.journal_end - kHeaderSize);  // damaged: dropped
  h.end[kMaxClass] = (64u << 20) / kBlockSize;
  h.start[kMaxClass] = h.end[kMaxClass] - kMaxClass;
  ASSERT_TRUE(RangesValid(h));
  ASSERT_GT(h.UsedEnd(), armed.size());
  EncodeHeader(h, armed.data());
  files_.SetContent("j.vel", armed);
  {
    PageStore store;
    EXPECT_TRUE(store.Open("j.vel", kOsReadWrite, "").ok());
    EXPECT_EQ(store.journal_outcome(), JournalOutcome::kDropped);
  }
  EXPECT_LE(files_.Content("j.vel").size(), armed.size());
}

// A writer that opened the file while another program sat in a read (so it
// could not take the writer lock and read through the journal instead) must
// repair the file before its first update: an update built over the
// journal's pages would put its own journal over them and never copy them
// home.
// Once sharing the file for writing, once denying others the right to write
// (such a writer keeps its header between updates).
TEST_F(JournalTest, WriterThatReadThroughRepairsBeforeItsFirstUpdate) {
  for (uint32_t share : {kOsDenyNone, kOsDenyWrite}) {
    SCOPED_TRACE(share);
    WriteAfterReadingThrough(kOsReadWrite | share);
  }
}

void JournalTest::WriteAfterReadingThrough(uint32_t mode) {
  files_.SetContent("j.vel", ArmedImage());
  FileIo reader;  // another program, in the middle of a read
  ASSERT_TRUE(reader.Open("j.vel", kOsReadOnly | kOsDenyNone, "").ok());
  ASSERT_TRUE(reader.LockReader(kReaderWaitMs).ok());
  PhysicalFile* pf = nullptr;
  ASSERT_TRUE(PhysicalFile::Acquire("j.vel", mode, "", &pf).ok());
  EXPECT_EQ(pf->store().journal_outcome(), JournalOutcome::kReadThrough);

  // As the driver does: the table opened while the other program reads,
  // the record added after it has gone.
  Table t(pf->store());
  t.HoldCommits(true);
  std::string why;
  ASSERT_TRUE(t.Open("T", nullptr, &why).ok());
  reader.Close();
  uint32_t added = 0;
  Status s = pf->BeginWrite();
  if (s.ok()) s = t.Add(SampleImage(999, "written").data(), {}, &added);
  s = pf->EndWrite(s);
  EXPECT_TRUE(s.ok()) << s.Describe();
  t.Close();
  pf->Release();

  PageStore store;
  ASSERT_TRUE(store.Open("j.vel", kOsReadWrite, "").ok());
  EXPECT_EQ(testing::VerifyProblems(store), "");
  EXPECT_FALSE(store.disk_header().JournalArmed());
  Table reopened(store);
  ASSERT_TRUE(reopened.Open("T", nullptr, &why).ok());
  testing::TableState state = testing::ReadState(reopened);
  ASSERT_EQ(state.records.count(added), 1u);
  EXPECT_EQ(state.records[added].first, SampleImage(999, "written"));
  state.records.erase(added);
  EXPECT_EQ(state, after_) << "the update read through the journal is kept whole";
}

TEST_F(JournalTest, InternalCheckFailsTheTableUntilItIsClosed) {
  files_.SetContent("j.vel", base_);
  PageStore store;
  ASSERT_TRUE(store.Open("j.vel", kOsReadWrite, "").ok());
  Table t(store);
  std::string why;
  ASSERT_TRUE(t.Open("T", nullptr, &why).ok());
  // Damage every leaf's stored size: any read of a record meets check 1477.
  Bytes bytes = files_.Content("j.vel");
  for (uint32_t k = 1; k <= kMaxClass; ++k) {
    for (uint32_t n = store.header().start[k]; n < store.header().end[k]; n += k) {
      if (bytes[PageOffset(n) + kPgLevel] == 0) Put16(&bytes[PageOffset(n) + kPgStoredSize], 9000);
    }
  }
  files_.SetContent("j.vel", bytes);
  store.InvalidateHeader();
  RecoveryPoint call;
  Bytes image;
  bool found = false;
  Status s = t.Read(1, &image, &found);
  EXPECT_EQ(s.code, kErrFileSystemError);
  EXPECT_EQ(s.check, kCheckPageSize);
  EXPECT_EQ(call.check(), kCheckPageSize) << "the recovery point saw it";
  EXPECT_EQ(t.Failed(), kCheckPageSize);
  files_.SetContent("j.vel", base_);  // even a repaired file is refused
  uint32_t count = 0;
  EXPECT_EQ(t.Count(&count).check, kCheckPageSize);
  t.Close();
  ASSERT_TRUE(t.Open("T", nullptr, &why).ok());
  EXPECT_TRUE(t.Count(&count).ok());
  EXPECT_EQ(count, 40u);
}

// The runtime error shows its box; natively it goes to standard error and
// takes the default answer, on Windows it would wait for a person.
#if !defined(_WIN32)
TEST(CheckTest, WithoutARecoveryPointACheckIsARuntimeError) {
  EXPECT_EXIT(Check(1602), ::testing::ExitedWithCode(2),
              "Possible data corruption in file \\(1602\\)");
}
#endif

}  // namespace
}  // namespace kor::vel

// Crash safety of a transaction over two files: for every write, flush and
// truncation of the multi-file COMMIT (control file steps included), the
// machine stops there, or the write fails; after reopening (each file resolving its journal
// through the control file), both files hold all of the transaction or
// none of it, and verify clean. Once with the control file of the files'
// folder, once with a control file named for the program (relative and
// absolute name), and with the files in two folders, each with its own
// control file. And a failure of one file's disk alone during the arm
// passes: the transaction then counts nowhere.
#include <map>
#include <memory>
#include <string>

#include "files/velocore/file_io.h"
#include "files/velocore/header.h"
#include "files/velocore/transaction.h"
#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

using testing::SampleImage;
using testing::TableState;

const char* const kFiles[] = {"d/a.vel", "d/b.vel"};

// The control file: the name set for the program ("" for none) and the
// file that serves as control file (a relative name is taken from the
// current folder); the second data file, and the control file of its
// folder when that is another one.
struct Control {
  const char* named;
  const char* file;
  const char* second = kFiles[1];
  const char* second_control = nullptr;
};

class TransactionCrash : public testing::MemoryFilesTest,
                         public ::testing::WithParamInterface<Control> {
 protected:
  void SetUp() override {
    MemoryFilesTest::SetUp();
    control_ = *GetParam().named != '\0' ? OsFullPathName(GetParam().file) : GetParam().file;
    kControl = control_.c_str();
    data_ = {kFiles[0], GetParam().second};
    controls_ = {kControl};
    if (GetParam().second_control != nullptr) controls_.push_back(GetParam().second_control);
    for (const char* name : data_) {
      PageStore store;
      ASSERT_TRUE(store.Create(name, "").ok());
      Table t(store);
      std::string why;
      ASSERT_TRUE(
          t.Create("PEOPLE", testing::SampleSchema(), false, testing::CurrentCollation(), &why)
              .ok());
      for (int i = 1; i <= 30; ++i) {
        uint32_t r = 0;
        ASSERT_TRUE(t.Add(SampleImage(i, "base" + std::to_string(i)).data(), {}, &r).ok());
      }
      store.Close();
      base_.push_back(files_.Content(name));
    }
    before_ = States();
    Status s = RunTransaction();
    ASSERT_TRUE(s.ok()) << s.Describe();
    after_ = States();
    ASSERT_NE(before_, after_);
    for (const char* control : controls_) ASSERT_TRUE(files_.Exists(control)) << control;
    if (*GetParam().named != '\0') {
      ASSERT_FALSE(files_.Exists("d/velocore.tcf"));
    }
  }

  void Restore() {
    for (size_t i = 0; i < 2; ++i) files_.SetContent(data_[i], base_[i]);
    for (const char* control : controls_) files_.SetContent(control, {});
  }

  // Adds to both files, changes and deletes in one, as one transaction.
  Status RunTransaction() {
    Restore();
    PhysicalFile* pf[2] = {};
    Status s;
    for (int i = 0; i < 2 && s.ok(); ++i) {
      s = PhysicalFile::Acquire(data_[i], kOsReadWrite | kOsDenyNone, "", &pf[i]);
      if (s.ok()) pf[i]->enlisted = true;
    }
    for (int i = 0; i < 2 && s.ok(); ++i) {
      Table t(pf[i]->store());
      t.HoldCommits(true);
      std::string why;
      s = pf[i]->BeginWrite();
      if (s.ok()) s = t.Open("PEOPLE", nullptr, &why);
      for (int n = 0; n < 40 && s.ok(); ++n) {
        uint32_t r = 0;
        s = t.Add(SampleImage(100 + n, "added" + std::to_string(n + i)).data(), {}, &r);
      }
      if (s.ok() && i == 1) s = t.Delete(5);
      if (s.ok() && i == 1) s = t.Put(7, SampleImage(500, "changed").data());
    }
    if (s.ok()) s = CommitFiles({pf[0], pf[1]}, GetParam().named);
    for (PhysicalFile* f : pf) {
      if (f == nullptr) continue;
      f->enlisted = false;
      f->store().Discard();
      f->store().io().UnlockWriter();
      f->Release();
    }
    return s;
  }

  // Both tables as a fresh program sees them, each file verified.
  std::vector<TableState> States() {
    std::vector<TableState> states;
    for (const char* name : data_) {
      PhysicalFile* pf = nullptr;
      Status s = PhysicalFile::Acquire(name, kOsReadWrite | kOsDenyNone, "", &pf);
      EXPECT_TRUE(s.ok()) << name << ": " << s.Describe();
      if (!s.ok()) return states;
      EXPECT_EQ(testing::VerifyProblems(pf->store()), "") << name;
      Table t(pf->store());
      std::string why;
      EXPECT_TRUE(t.Open("PEOPLE", nullptr, &why).ok());
      states.push_back(testing::ReadState(t));
      pf->Release();
    }
    return states;
  }

  std::string control_;
  const char* kControl = nullptr;
  std::vector<const char*> data_, controls_;
  std::vector<Bytes> base_;
  std::vector<TableState> before_, after_;
};

INSTANTIATE_TEST_SUITE_P(
    DefaultAndNamed, TransactionCrash,
    ::testing::Values(Control{"", "d/velocore.tcf"}, Control{"x/named.tcf", "x/named.tcf"},
                      Control{"/y/named.tcf", "/y/named.tcf"},
                      Control{"", "d/velocore.tcf", "e/b.vel", "e/velocore.tcf"}),
    [](const ::testing::TestParamInfo<Control>& info) {
      const char* named = info.param.named;
      if (info.param.second_control != nullptr) return std::string("TwoFolders");
      return std::string(*named == '\0' ? "Folder" : *named == '/' ? "Absolute" : "Relative");
    });

TEST_P(TransactionCrash, CrashAtEveryStepLeavesAllOrNothing) {
  using Loss = MemoryFiles::Loss;
  const std::pair<Loss, uint32_t> variants[] = {
      {Loss::kAll, 0}, {Loss::kNone, 0}, {Loss::kRandom, 1}, {Loss::kRandom, 2}};
  int64_t points = 0;
  int all = 0, none = 0;
  for (int64_t n = 1;; ++n) {
    bool crashed = false;
    for (auto [loss, seed] : variants) {
      files_.SetPlan({n, loss, seed});
      RunTransaction();
      crashed = files_.crashed();
      if (!crashed) break;
      std::vector<const char*> names = data_;
      names.insert(names.end(), controls_.begin(), controls_.end());
      std::vector<Bytes> images;
      for (const char* name : names) images.push_back(files_.CrashImage(name));
      files_.SetPlan({});
      for (size_t i = 0; i < names.size(); ++i) files_.SetContent(names[i], images[i]);
      std::vector<TableState> state = States();
      bool is_before = state == before_, is_after = state == after_;
      EXPECT_TRUE(is_before || is_after) << "crash at event " << n << " seed " << seed;
      all += is_after;
      none += is_before;
      if (::testing::Test::HasFailure()) return;
    }
    if (!crashed) break;
    points = n;
  }
  // The control file's steps and both files' passes were all crash points,
  // and both outcomes occurred.
  EXPECT_GT(points, 20);
  EXPECT_GT(all, 0);
  EXPECT_GT(none, 0);
}

// A write, flush or truncation that fails (once, or from then on; with an
// error or short) at any step of the COMMIT: a success is the whole
// transaction, a failure none of it unless the disk failed for good after a
// point of no return, and either way no file holds part of it.
TEST_P(TransactionCrash, FailingWriteAtEveryStepLeavesAllOrNothing) {
  testing::ForEachFailingWrite(
      files_, [&] { return RunTransaction(); },
      [&](Status s, int64_t n, bool persists, bool) {
        std::vector<TableState> state = States();
        if (s.ok() || !persists) {
          EXPECT_EQ(state == after_, s.ok()) << "failure at event " << n << ": " << s.Describe();
        }
        EXPECT_TRUE(state == after_ || state == before_) << "failure at event " << n;
      });
}

// Opening a file whose journal only its control file can decide while
// another program keeps that control file locked for writing longer than a
// reader waits: the opening is refused and the journal stays, and once the
// control file can be read the transaction counts in every file. (The
// opening that gives up waits the reader's whole time-out, once.)
class ControlBusy : public TransactionCrash {};

TEST_P(ControlBusy, OpeningKeepsTheJournalUntilTheControlFileCanBeRead) {
  // A disk that fails for good from some step of the COMMIT on: the first
  // step that leaves a data file armed after the commit point.
  std::vector<Bytes> images;
  std::string armed;
  for (int64_t n = 1; armed.empty(); ++n) {
    MemoryFiles::Plan plan;
    plan.fail_at = n;
    plan.fail_persists = true;
    files_.SetPlan(plan);
    RunTransaction();
    ASSERT_GE(files_.events(), n) << "no step left a file armed after the commit point";
    files_.SetPlan({});
    std::vector<const char*> names = data_;
    names.insert(names.end(), controls_.begin(), controls_.end());
    images.clear();
    for (const char* name : names) images.push_back(files_.Content(name));
    if (States() != after_) continue;  // resolving rewrote the files: put them back
    for (size_t i = 0; i < names.size(); ++i) files_.SetContent(names[i], images[i]);
    for (size_t i = 0; i < data_.size() && armed.empty(); ++i) {
      Header h;
      if (images[i].size() >= kHeaderSize && DecodeHeader(images[i].data(), &h, false).ok() &&
          h.JournalArmed()) {
        armed = data_[i];
      }
    }
  }
  OsHandle writer = kOsNoHandle;
  ASSERT_EQ(files_.Open(kControl, kOsReadWrite | kOsDenyNone, &writer), kOsOk);
  ASSERT_EQ(files_.Lock(writer, kLockBase, kReaderSlots), kOsOk);
  PhysicalFile* pf = nullptr;
  Status s = PhysicalFile::Acquire(armed, kOsReadWrite | kOsDenyNone, "", &pf);
  EXPECT_EQ(s.code, kErrAccessDenied) << s.Describe();
  if (s.ok()) pf->Release();
  files_.Unlock(writer, kLockBase, kReaderSlots);
  files_.Close(writer);
  EXPECT_EQ(States(), after_) << armed << " decided without its control file";
}

INSTANTIATE_TEST_SUITE_P(Folder, ControlBusy, ::testing::Values(Control{"", "d/velocore.tcf"}));

// After the transaction, an update of one file alone whose last header
// write fails (the COMMIT counts it: the journal is replayed at the next
// opening), and then the control file is deleted: the update must still
// be there. The transaction's old 0xFF record must not send the opening to
// a control file that is gone, which drops the journal.
class LaterUpdate : public TransactionCrash {
 protected:
  // Adds one record to the first file, alone, with the disk failing for
  // good from event n on; the COMMIT's answer.
  Status AddAlone(int64_t n) {
    MemoryFiles::Plan plan;
    plan.fail_at = files_.events() + n;
    plan.fail_persists = true;
    files_.SetPlan(plan);
    PhysicalFile* pf = nullptr;
    Status s = PhysicalFile::Acquire(data_[0], kOsReadWrite | kOsDenyNone, "", &pf);
    if (!s.ok()) return s;
    Table t(pf->store());
    t.HoldCommits(true);
    std::string why;
    uint32_t r = 0;
    s = t.Open("PEOPLE", nullptr, &why);
    if (s.ok()) s = pf->BeginWrite();
    if (s.ok()) s = pf->EndWrite(t.Add(SampleImage(900, "alone").data(), {}, &r));
    pf->Release();
    files_.SetPlan({});
    return s;
  }
};

TEST_P(LaterUpdate, CountsWithoutTheTransactionsControlFile) {
  Bytes first = files_.Content(data_[0]), control = files_.Content(kControl);
  bool armed = false;
  for (int64_t n = 1; n < 200 && !armed; ++n) {
    files_.SetContent(data_[0], first);
    files_.SetContent(kControl, control);
    if (!AddAlone(n).ok()) continue;
    Header h;
    Bytes now = files_.Content(data_[0]);
    armed =
        now.size() >= kHeaderSize && DecodeHeader(now.data(), &h, false).ok() && h.JournalArmed();
  }
  ASSERT_TRUE(armed) << "no failing step left a counted update armed";
  ASSERT_EQ(files_.Delete(kControl), kOsOk);
  std::vector<TableState> state = States();
  ASSERT_EQ(state.size(), 2u);
  EXPECT_EQ(state[0].records.size(), after_[0].records.size() + 1) << "the update was lost";
  EXPECT_EQ(state[1], after_[1]);
}

INSTANTIATE_TEST_SUITE_P(Folder, LaterUpdate, ::testing::Values(Control{"", "d/velocore.tcf"}));

// In-memory files where one file's disk fails on its own: once the first
// unit of its header (offset 0) has been written, every later flush and
// write of that file fails, while the other files go on working.
class OneDiskFails : public MemoryFiles {
 public:
  std::string failing;  // the file whose disk fails ("" for none)
  bool broken = false;

  uint32_t Open(const char* name, uint32_t mode, OsHandle* handle) override {
    return Note(name, MemoryFiles::Open(name, mode, handle), handle);
  }
  uint32_t OpenAlways(const char* name, uint32_t mode, OsHandle* handle) override {
    return Note(name, MemoryFiles::OpenAlways(name, mode, handle), handle);
  }
  uint32_t Create(const char* name, uint32_t attributes, OsHandle* handle) override {
    return Note(name, MemoryFiles::Create(name, attributes, handle), handle);
  }
  uint32_t WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done) override {
    if (Failing(handle)) return kOsGeneralFailure;
    uint32_t e = MemoryFiles::WriteAt(handle, offset, buffer, count, done);
    if (e == kOsOk && offset == 0 && !failing.empty() && names_[handle] == failing) broken = true;
    return e;
  }
  uint32_t Flush(OsHandle handle) override {
    return Failing(handle) ? kOsGeneralFailure : MemoryFiles::Flush(handle);
  }

 private:
  uint32_t Note(const char* name, uint32_t e, OsHandle* handle) {
    if (e == kOsOk) names_[*handle] = name;
    return e;
  }
  bool Failing(OsHandle handle) { return broken && names_[handle] == failing; }
  std::map<OsHandle, std::string> names_;
};

// A transaction over two files whose second file's disk fails just after
// its arming header was written (the header may be on the disk; it can be
// neither made durable nor taken back) must not count in that file alone:
// the first file is disarmed, so the second must drop its journal too.
TEST(TransactionFailure, ArmThatCannotBeTakenBackKeepsTheTransactionUncommitted) {
  OneDiskFails files;
  FileServices* previous = ReplaceFileServices(&files);
  RecoveryPoint point;
  std::vector<TableState> before;
  for (const char* name : kFiles) {
    PageStore store;
    ASSERT_TRUE(store.Create(name, "").ok());
    Table t(store);
    std::string why;
    ASSERT_TRUE(
        t.Create("PEOPLE", testing::SampleSchema(), false, testing::CurrentCollation(), &why).ok());
    uint32_t r = 0;
    ASSERT_TRUE(t.Add(SampleImage(1, "base").data(), {}, &r).ok());
    before.push_back(testing::ReadState(t));
  }
  PhysicalFile* pf[2] = {};
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(PhysicalFile::Acquire(kFiles[i], kOsReadWrite | kOsDenyNone, "", &pf[i]).ok());
    pf[i]->enlisted = true;
    Table t(pf[i]->store());
    t.HoldCommits(true);
    std::string why;
    uint32_t r = 0;
    ASSERT_TRUE(pf[i]->BeginWrite().ok());
    ASSERT_TRUE(t.Open("PEOPLE", nullptr, &why).ok());
    ASSERT_TRUE(t.Add(SampleImage(2, "added").data(), {}, &r).ok());
  }
  files.failing = kFiles[1];
  Status s = CommitFiles({pf[0], pf[1]}, "");
  EXPECT_FALSE(s.ok());
  EXPECT_TRUE(files.broken) << "the failure came where the test meant it to";
  for (PhysicalFile* f : pf) {
    f->enlisted = false;
    f->store().Discard();
    f->store().io().UnlockWriter();
    f->Release();
  }
  files.failing.clear();
  files.broken = false;
  for (int i = 0; i < 2; ++i) {
    PhysicalFile* f = nullptr;
    ASSERT_TRUE(PhysicalFile::Acquire(kFiles[i], kOsReadWrite | kOsDenyNone, "", &f).ok());
    Table t(f->store());
    std::string why;
    ASSERT_TRUE(t.Open("PEOPLE", nullptr, &why).ok());
    EXPECT_EQ(testing::ReadState(t), before[i]) << kFiles[i] << " holds part of the transaction";
    f->Release();
  }
  ReplaceFileServices(previous);
}

}  // namespace
}  // namespace kor::vel

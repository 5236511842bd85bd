// Table locks and record holds between two programs, as real processes: the
// test program starts itself again as the other holder, which takes the
// table's LOCK and HOLDs one record until told to let go, then adds a
// record while streaming and FLUSHes. Also COPY and
// RENAME of a whole file through the file statements.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "files/driver.h"
#include "files/operations.h"
#include "files/statements.h"
#include "files/velocore/project_file_test_support.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

using vel::testing::ProjectFile;

constexpr const char* kLockJobMark = "VelLockJob";
constexpr std::chrono::seconds kWorkerWait{45};

int32_t Call(int32_t op, FileDescriptor* file, DriverArgs args = {}) {
  ClearError();
  DispatchFileOp(op, file, &args);
  return ERRORCODE();
}

// Reads the record with this path (name "n") by the unique key.
int32_t GetByPath(ProjectFile& f, const std::string& path) {
  f.Fill(path, "n", 0, 0);
  return Call(kOpGETfilekey, &f.file, {.key = &f.path_key});
}

std::string JobFile(const std::string& job) {
  return ::testing::TempDir() + "vel_lockjob_" + job + ".dir";
}

// The other holder: started by LockBetweenPrograms.TableLockAndRecordHold
// with its job in the test filter; a plain run skips it.
TEST(VelLockWorker, HoldsUntilTold) {
  std::string filter = ::testing::GTEST_FLAG(filter);
  size_t at = filter.find(kLockJobMark);
  if (at == std::string::npos) GTEST_SKIP() << "started only by LockBetweenPrograms";
  std::string dir = testing::ReadWholeFile(JobFile(filter.substr(at + std::strlen(kLockJobMark))));
  auto say = [&](const std::string& what, const std::string& text) {
    ASSERT_TRUE(testing::WriteWholeFile(dir + "/" + what + ".part", text));
    ASSERT_EQ(OsRename((dir + "/" + what + ".part").c_str(), (dir + "/" + what).c_str()), kOsOk);
  };
  ProjectFile f(dir + "/locks.vel", false);
  SHARE(&f.file, 0x42);
  std::string report = "SHARE " + std::to_string(ERRORCODE());
  if (ERRORCODE() == 0) {
    LOCKfile(&f.file);
    report = "LOCK " + std::to_string(ERRORCODE());
  }
  if (ERRORCODE() == 0) {
    Call(kOpHOLDfile, &f.file);
    report = "GET " + std::to_string(GetByPath(f, "A"));
  }
  say("ready", report);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::Exists(dir + "/go"); }, kWorkerWait));
  UNLOCK(&f.file);
  report = "UNLOCK " + std::to_string(ERRORCODE());
  report += " RELEASE " + std::to_string(Call(kOpRELEASE, &f.file));
  // A streamed ADD, then FLUSH: the record must reach the file and the
  // file's writer lock come free for the other program.
  report += " STREAM " + std::to_string(Call(kOpSTREAM, &f.file));
  f.Fill("C", "n", 3, 3);
  ADD(&f.file);
  report += " ADD " + std::to_string(ERRORCODE());
  FLUSH(&f.file);
  report += " FLUSH " + std::to_string(ERRORCODE());
  say("released", report);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::Exists(dir + "/end"); }, kWorkerWait));
  CLOSE(&f.file);
  say("done", "CLOSE " + std::to_string(ERRORCODE()));
}

// The driver counts waits on the system's tick, which may be a few
// hundredths coarse: that much less still counts as the whole second.
constexpr int64_t kOneSecondAtLeast = 950;

int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

TEST(LockBetweenPrograms, TableLockAndRecordHold) {
  std::string dir = testing::UniqueTempName("vel_lock");
  testing::RemoveTreeSoon(dir);
  ASSERT_EQ(OsMakeDirectory(dir.c_str()), kOsOk);
  std::string name = dir + "/locks.vel";
  {
    ProjectFile f(name, false);
    CREATE(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    OPEN(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    for (const char* path : {"A", "B"}) {
      f.Fill(path, "n", 1, 1);
      ADD(&f.file);
      ASSERT_EQ(ERRORCODE(), 0) << path;
    }
  }
  std::string job = std::to_string(OsCurrentProcessId());
  ASSERT_TRUE(testing::WriteWholeFile(JobFile(job), dir));
  std::string command =
      "\"" + OsExecutablePath() + "\" --gtest_filter=VelLockWorker.*:" + kLockJobMark + job;
  ASSERT_GT(OsLaunch(command.c_str()), 32u);
  bool ready = testing::WaitFor([&] { return testing::Exists(dir + "/ready"); }, kWorkerWait);
  std::remove(JobFile(job).c_str());
  ASSERT_TRUE(ready) << "the other program did not start";
  ASSERT_EQ(testing::ReadWholeFile(dir + "/ready"), "GET 0");

  ProjectFile f(name, false);
  SHARE(&f.file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);

  // The table is locked by the other program.
  LOCKfile(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrFileIsAlreadyLocked);
  auto start = std::chrono::steady_clock::now();
  LOCKfilesec(&f.file, 1);
  EXPECT_EQ(ERRORCODE(), kErrFileIsAlreadyLocked);
  EXPECT_GE(MillisecondsSince(start), kOneSecondAtLeast) << "LOCK with seconds gave up early";

  // Record A is held by the other program; B is free.
  Call(kOpHOLDfilesec, &f.file, {.seconds = 1});
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(GetByPath(f, "A"), kErrRecordIsAlreadyHeld);
  EXPECT_GE(MillisecondsSince(start), kOneSecondAtLeast) << "HOLD with seconds gave up early";
  Call(kOpHOLDfilesec, &f.file, {.seconds = 1});
  EXPECT_EQ(GetByPath(f, "B"), 0);
  EXPECT_EQ(Call(kOpRELEASE, &f.file), 0);
  // A plain read of A works, but its PUT cannot take the record's byte.
  EXPECT_EQ(GetByPath(f, "A"), 0);
  f.Set(7, 7);
  PUT(&f.file);
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);

  // The other program lets go: LOCK with seconds and HOLD without seconds
  // wait for it (they usually start before it has let go).
  ASSERT_TRUE(testing::WriteWholeFile(dir + "/go", ""));
  LOCKfilesec(&f.file, 30);
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  Call(kOpHOLDfile, &f.file);
  EXPECT_EQ(GetByPath(f, "A"), 0);
  f.Set(7, 7);
  PUT(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::Exists(dir + "/released"); }, kWorkerWait));
  EXPECT_EQ(testing::ReadWholeFile(dir + "/released"), "UNLOCK 0 RELEASE 0 STREAM 0 ADD 0 FLUSH 0");
  // Its streamed record is here, and its FLUSH let go of the file: an ADD
  // here would end with 32 after waiting for a writer lock kept there.
  EXPECT_EQ(GetByPath(f, "C"), 0);
  EXPECT_EQ(f.Tag(), 3);
  f.Fill("D", "n", 4, 4);
  ADD(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  LOCKfile(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  UNLOCK(&f.file);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(GetByPath(f, "A"), 0);
  EXPECT_EQ(f.Tag(), 7);
  CLOSE(&f.file);

  ASSERT_TRUE(testing::WriteWholeFile(dir + "/end", ""));
  EXPECT_TRUE(testing::WaitFor([&] { return testing::Exists(dir + "/done"); }, kWorkerWait));
  EXPECT_EQ(testing::ReadWholeFile(dir + "/done"), "CLOSE 0");
  testing::RemoveTreeSoon(dir);
}

// Every record of a file by the unique key: path -> tag.
std::map<std::string, int> Records(const std::string& name, int32_t* open_error) {
  std::map<std::string, int> out;
  ProjectFile f(name, false);
  OPEN(&f.file, 0x40);
  *open_error = ERRORCODE();
  if (*open_error != 0) return out;
  SETkey(&f.path_key);
  for (NEXT(&f.file); ERRORCODE() == 0; NEXT(&f.file)) out[f.Path()] = f.Tag();
  EXPECT_EQ(ERRORCODE(), kErrRecordNotAvailable);
  CLOSE(&f.file);
  return out;
}

class CopyRename : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::UniqueTempName("vel_copy");
    testing::RemoveTreeSoon(dir_);
    ASSERT_EQ(OsMakeDirectory(dir_.c_str()), kOsOk);
    ProjectFile f(Path("source.vel"), false);
    CREATE(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    OPEN(&f.file);
    ASSERT_EQ(ERRORCODE(), 0);
    for (int i = 1; i <= 3; ++i) {
      f.Fill("P" + std::to_string(i), "n", int16_t(10 * i), 1);
      ADD(&f.file);
      ASSERT_EQ(ERRORCODE(), 0);
    }
  }
  void TearDown() override { testing::RemoveTreeSoon(dir_); }
  std::string Path(const std::string& file) const { return dir_ + "/" + file; }
  const std::map<std::string, int> expected_{{"P1", 10}, {"P2", 20}, {"P3", 30}};
  std::string dir_;
};

TEST_F(CopyRename, CopyLeavesSourceAndTheCopyHoldsTheSameRecords) {
  ProjectFile f(Path("source.vel"), false);
  COPY(&f.file, Path("copy.vel").c_str());
  ASSERT_EQ(ERRORCODE(), 0);
  int32_t error = -1;
  EXPECT_EQ(Records(Path("copy.vel"), &error), expected_);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(Records(Path("source.vel"), &error), expected_);
  EXPECT_EQ(error, 0);
}

TEST_F(CopyRename, RenameMovesTheFile) {
  ProjectFile f(Path("source.vel"), false);
  RENAME(&f.file, Path("renamed.vel").c_str());
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(testing::Exists(Path("source.vel")));
  int32_t error = -1;
  EXPECT_EQ(Records(Path("renamed.vel"), &error), expected_);
  EXPECT_EQ(error, 0);
}

TEST_F(CopyRename, MissingSourceGivesFileNotFound) {
  struct Case {
    const char* what;
    void (*statement)(FileDescriptor*, const char*);
  };
  const Case cases[] = {{"COPY", &COPY}, {"RENAME", &RENAME}};
  for (const Case& c : cases) {
    ProjectFile f(Path("missing.vel"), false);
    c.statement(&f.file, Path("target.vel").c_str());
    EXPECT_EQ(ERRORCODE(), kErrFileNotFound) << c.what;
    EXPECT_FALSE(testing::Exists(Path("target.vel"))) << c.what;
  }
}

// Nothing is overwritten: COPY or RENAME onto an existing file gives 5 and
// leaves both files as they were; a file this program has open (through
// another FILE) is not renamed from under it, and a FILE that is itself open
// refuses both with 52.
TEST_F(CopyRename, ExistingTargetsAndOpenFilesStayPut) {
  const std::string other = "other file's bytes";
  ASSERT_TRUE(testing::WriteWholeFile(Path("taken.vel"), other));
  struct Case {
    const char* what;
    void (*statement)(FileDescriptor*, const char*);
  };
  const Case cases[] = {{"COPY", &COPY}, {"RENAME", &RENAME}};
  int32_t error = -1;
  for (const Case& c : cases) {
    ProjectFile f(Path("source.vel"), false);
    c.statement(&f.file, Path("taken.vel").c_str());
    EXPECT_EQ(ERRORCODE(), kErrAccessDenied) << c.what;
    EXPECT_EQ(testing::ReadWholeFile(Path("taken.vel")), other) << c.what;
    EXPECT_EQ(Records(Path("source.vel"), &error), expected_) << c.what;

    ProjectFile open(Path("source.vel"), false);
    SHARE(&open.file, 0x42);
    ASSERT_EQ(ERRORCODE(), 0);
    c.statement(&open.file, Path("moved.vel").c_str());
    EXPECT_EQ(ERRORCODE(), kErrFileAlreadyOpen) << c.what;
    CLOSE(&open.file);
  }
  ProjectFile holder(Path("source.vel"), false);
  SHARE(&holder.file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  ProjectFile f(Path("source.vel"), false);
  RENAME(&f.file, Path("moved.vel").c_str());
  EXPECT_EQ(ERRORCODE(), kErrAccessDenied);
  EXPECT_TRUE(testing::Exists(Path("source.vel")));
  EXPECT_FALSE(testing::Exists(Path("moved.vel")));
  CLOSE(&holder.file);
  EXPECT_EQ(Records(Path("source.vel"), &error), expected_);
  EXPECT_EQ(error, 0);
}

}  // namespace
}  // namespace kor

// Tests of file sharing between two processes: a helper program (lockholder)
// opens and locks a file while this test tries the same file; all waits are
// bounded polls, never fixed sleeps.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::ScratchDir;
using testing::WaitFor;
using testing::WriteWholeFile;

std::string HelperPath() {
  std::string exe = OsExecutablePath();
  size_t cut = exe.find_last_of("/\\");
  std::string dir = cut == std::string::npos ? "." : exe.substr(0, cut);
#if defined(_WIN32)
  return dir + "\\..\\tests\\programs\\lockholder.exe";
#else
  return dir + "/../tests/programs/lockholder";
#endif
}

// The helper process holding `file` open with `mode` (and a lock when
// length > 0) until Release().
class Holder {
 public:
  Holder(const ScratchDir& dir, const std::string& file, uint32_t mode, uint64_t offset = 0,
         uint64_t length = 0)
      : ready_(dir.Path("ready.txt")), release_(dir.Path("release.txt")) {
    char args[128];
    snprintf(args, sizeof args, " 0x%x 0x%llx 0x%llx ", mode,
             static_cast<unsigned long long>(offset), static_cast<unsigned long long>(length));
    std::string command = "\"" + HelperPath() + "\" " + file + args + ready_ + " " + release_;
    started_ = OsLaunch(command.c_str()) > 32;
  }
  // Releases the helper and waits until it has begun to end.
  ~Holder() {
    Release();
    if (started_) WaitFor([&] { return !Exists(release_); });
  }

  // "<open result> <lock result>" once the helper has reported, else "".
  // The report may be seen before it can be opened (under Wine the rename
  // that made it can still hold it): the wait is for a successful read.
  std::string Report() {
    std::string report;
    if (!started_) return "";
    bool read = WaitFor([&] {
      report = ReadWholeFile(ready_);
      return report.rfind("<error", 0) != 0;
    });
    return read ? report : "";
  }
  void Release() {
    if (started_ && !released_) released_ = WriteWholeFile(release_, "");
  }

 private:
  std::string ready_, release_;
  bool started_ = false;
  bool released_ = false;
};

TEST(OsShare, DenyAllInAnotherProcessGivesAccessDenied) {
  ScratchDir dir;
  std::string name = dir.Path("shared.bin");
  ASSERT_TRUE(WriteWholeFile(name, "data"));
  Holder holder(dir, name, kOsReadWrite | kOsDenyAll);
  ASSERT_EQ(holder.Report(), "0 0");
  OsHandle h;
  for (uint32_t mode : {kOsReadOnly | kOsDenyNone, kOsReadWrite | kOsDenyNone, 0x42u}) {
    EXPECT_EQ(OsOpen(name.c_str(), mode, &h), kOsAccessDenied) << std::hex << mode;
    EXPECT_EQ(OsLastError(), kOsSharingViolation);
  }
  EXPECT_EQ(OsCreate(name.c_str(), kOsCreateNormal, &h), kOsAccessDenied);
  EXPECT_EQ(OsDelete(name.c_str()), kOsAccessDenied);
  holder.Release();
  // Once the holder has ended the file opens again.
  EXPECT_TRUE(WaitFor([&] {
    if (OsOpen(name.c_str(), kOsReadWrite | kOsDenyAll, &h) != kOsOk) return false;
    OsClose(h);
    return true;
  }));
  EXPECT_EQ(ReadWholeFile(name), "data");
}

TEST(OsShare, DenyWriteInAnotherProcessLetsReadersIn) {
  ScratchDir dir;
  std::string name = dir.Path("shared.bin");
  ASSERT_TRUE(WriteWholeFile(name, "data"));
  Holder holder(dir, name, kOsReadOnly | kOsDenyWrite);
  ASSERT_EQ(holder.Report(), "0 0");
  OsHandle h;
  EXPECT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsAccessDenied);
  EXPECT_EQ(OsOpen(name.c_str(), kOsWriteOnly | kOsDenyNone, &h), kOsAccessDenied);
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &h), kOsOk);
  OsClose(h);
  // A second reader that also denies writing is compatible with the first.
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyWrite, &h), kOsOk);
  OsClose(h);
}

TEST(OsShare, OurDenyModeRefusesTheOtherProcess) {
  ScratchDir dir;
  std::string name = dir.Path("shared.bin");
  ASSERT_TRUE(WriteWholeFile(name, "data"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyRead, &h), kOsOk);
  Holder holder(dir, name, kOsReadOnly | kOsDenyNone);
  EXPECT_EQ(holder.Report(), "5 0");
  OsClose(h);
}

TEST(OsShare, ByteRangeLocksExcludeEachOtherAndVanishWithTheHolder) {
  ScratchDir dir;
  std::string name = dir.Path("locked.bin");
  ASSERT_TRUE(WriteWholeFile(name, ""));
  const uint64_t kRecordByte = 0x80000000ull + 1024 + 41 + 1;
  Holder holder(dir, name, kOsReadWrite | kOsDenyNone, kRecordByte, 1);
  ASSERT_EQ(holder.Report(), "0 0");
  OsHandle h, other;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  EXPECT_EQ(OsLock(h, kRecordByte, 1), kOsLockViolation);
  EXPECT_EQ(OsLock(h, 0x80000000ull + 1024, 100), kOsLockViolation);  // covers it
  EXPECT_EQ(OsLock(h, kRecordByte + 1, 1), kOsOk);
  // Another open of ours coming and going changes nothing for the holder.
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadOnly | kOsDenyNone, &other), kOsOk);
  OsClose(other);
  EXPECT_EQ(OsLock(h, kRecordByte, 1), kOsLockViolation);
  holder.Release();
  // The holder ends without unlocking: the system drops its lock.
  EXPECT_TRUE(WaitFor([&] { return OsLock(h, kRecordByte, 1) == kOsOk; }));
  OsClose(h);
}

TEST(OsShare, OurLockRefusesTheOtherProcess) {
  ScratchDir dir;
  std::string name = dir.Path("locked.bin");
  ASSERT_TRUE(WriteWholeFile(name, "first byte"));
  OsHandle h;
  ASSERT_EQ(OsOpen(name.c_str(), kOsReadWrite | kOsDenyNone, &h), kOsOk);
  ASSERT_EQ(OsLock(h, 0, 1), kOsOk);
  {
    Holder holder(dir, name, kOsReadWrite | kOsDenyNone, 0, 1);
    EXPECT_EQ(holder.Report(), "0 33");
  }
  OsClose(h);
}

}  // namespace
}  // namespace kor

// The file services: the default reaches the files at the offsets given, and
// a replacement sees every call until the default is put back.
#include "runtime/os/file_services.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

using testing::ReadWholeFile;
using testing::ScratchDir;

TEST(FileServices, DefaultWritesReadsAndTruncatesAtOffsets) {
  ScratchDir dir;
  std::string name = dir.Path("f.bin");
  OsHandle h;
  ASSERT_EQ(Files().Create(name.c_str(), kOsCreateNormal, &h), kOsOk);
  uint32_t done = 0;
  EXPECT_EQ(Files().WriteAt(h, 4, "wxyz", 4, &done), kOsOk);
  EXPECT_EQ(done, 4u);
  EXPECT_EQ(Files().WriteAt(h, 0, "abcd", 4, &done), kOsOk);
  char buf[8] = {};
  EXPECT_EQ(Files().ReadAt(h, 2, buf, 8, &done), kOsOk);
  EXPECT_EQ(std::string(buf, done), "cdwxyz");  // short at the end
  EXPECT_EQ(Files().Flush(h), kOsOk);
  EXPECT_EQ(Files().Truncate(h, 5), kOsOk);
  int64_t size = 0;
  EXPECT_EQ(Files().Size(h, &size), kOsOk);
  EXPECT_EQ(size, 5);
  EXPECT_EQ(Files().Lock(h, 0x80000000u, 1), kOsOk);
  EXPECT_EQ(Files().Unlock(h, 0x80000000u, 1), kOsOk);
  EXPECT_EQ(Files().Close(h), kOsOk);
  EXPECT_EQ(ReadWholeFile(name), "abcdw");
  EXPECT_EQ(Files().Delete(name.c_str()), kOsOk);
}

// Fails the n-th write with a full disk after writing half of it.
class FailingWrites : public FileServices {
 public:
  explicit FailingWrites(int fail_at) : fail_at_(fail_at) {}
  uint32_t WriteAt(OsHandle handle, int64_t offset, const void* buffer, uint32_t count,
                   uint32_t* done) override {
    if (++writes_ != fail_at_) return FileServices::WriteAt(handle, offset, buffer, count, done);
    FileServices::WriteAt(handle, offset, buffer, count / 2, done);
    return kOsDiskFull;
  }
  int writes_ = 0;

 private:
  int fail_at_;
};

TEST(FileServices, ReplacementSeesTheCallsUntilTheDefaultIsBack) {
  ScratchDir dir;
  std::string name = dir.Path("g.bin");
  FailingWrites failing(2);
  EXPECT_EQ(ReplaceFileServices(&failing), nullptr);
  OsHandle h;
  ASSERT_EQ(Files().Create(name.c_str(), kOsCreateNormal, &h), kOsOk);
  uint32_t done = 0;
  EXPECT_EQ(Files().WriteAt(h, 0, "1234", 4, &done), kOsOk);
  EXPECT_EQ(Files().WriteAt(h, 4, "5678", 4, &done), kOsDiskFull);
  EXPECT_EQ(done, 2u);
  EXPECT_EQ(ReplaceFileServices(nullptr), &failing);
  EXPECT_EQ(Files().WriteAt(h, 6, "xy", 2, &done), kOsOk);
  EXPECT_EQ(failing.writes_, 2);
  Files().Close(h);
  EXPECT_EQ(ReadWholeFile(name), "123456xy");
}

}  // namespace
}  // namespace kor

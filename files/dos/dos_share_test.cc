// Records appended by one process are visible to another that has the same
// flat file open: the test program starts itself a second time as the
// appending process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "files/dos/dos_driver.h"
#include "files/driver.h"
#include "files/statements.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace kor {
namespace {

constexpr uint32_t kLen = 16;
constexpr const char* kNonceMark = "DosChildNonce";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

FileDescriptor Declare(const char* name, uint8_t* record) {
  return {.driver = &DosDriverEntry,
          .label = "S",
          .label_length = 1,
          .driver_name = "DOS",
          .name = name,
          .record = record,
          .record_length = kLen};
}

// The parent's unique name (process number and test) is the nonce.
std::string RequestPath(const std::string& nonce) {
  return ::testing::TempDir() + "dos_child_" + nonce + ".req";
}

// The child's part: runs only when started by the parent with a nonce in its
// test filter, so a plain run of the test program skips it.
TEST(DosChild, AppendThreeRecords) {
  std::string filter = ::testing::GTEST_FLAG(filter);
  size_t at = filter.find(kNonceMark);
  if (at == std::string::npos)
    GTEST_SKIP() << "started only by SharedFile.AppendsFromAnotherProcess";
  std::string nonce = filter.substr(at + std::strlen(kNonceMark));
  std::string request = RequestPath(nonce);
  std::string name = ReadAll(request);
  ASSERT_FALSE(name.empty());
  uint8_t record[kLen];
  FileDescriptor file = Declare(name.c_str(), record);
  SHARE(&file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  for (char c : {'x', 'y', 'z'}) {
    std::memset(record, c, kLen);
    ADD(&file);
    ASSERT_EQ(ERRORCODE(), 0);
  }
  CLOSE(&file);
  std::ofstream(request + ".part") << "done";
  std::rename((request + ".part").c_str(), (request + ".done").c_str());
}

TEST(SharedFile, AppendsFromAnotherProcess) {
  std::string name = testing::UniqueTempName("dos_shared") + ".dat";
  std::string nonce = name.substr(::testing::TempDir().size());
  std::string request = RequestPath(nonce);
  std::remove(name.c_str());
  std::remove((request + ".done").c_str());
  uint8_t record[kLen];
  FileDescriptor file = Declare(name.c_str(), record);
  CREATE(&file);
  SHARE(&file, 0x42);
  ASSERT_EQ(ERRORCODE(), 0);
  std::memset(record, 'a', kLen);
  ADD(&file);
  std::ofstream(request, std::ios::binary) << name;

  std::string command = "\"" + OsExecutablePath() +
                        "\" --gtest_filter=DosChild.AppendThreeRecords:" + kNonceMark + nonce;
  ASSERT_GT(OsLaunch(command.c_str()), 32u);
  bool finished = testing::WaitFor([&] {
    std::ifstream done(request + ".done");
    return done.good();
  });
  ASSERT_TRUE(finished) << "the second process did not finish";

  // The open file sees the other process's records.
  EXPECT_EQ(RECORDSfile(&file), 4);
  SETfile(&file);
  std::string seen;
  for (int i = 0; i < 4; ++i) {
    NEXT(&file);
    ASSERT_EQ(ERRORCODE(), 0);
    seen += static_cast<char>(record[0]);
  }
  EXPECT_EQ(seen, "axyz");
  CLOSE(&file);
  std::remove(name.c_str());
  std::remove(request.c_str());
  std::remove((request + ".done").c_str());
}

}  // namespace
}  // namespace kor

// The runtime log: creation on the first line, appending, the diagnostic
// record's layout and the auxiliary-device copy.
#include "runtime/memory/runtime_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "runtime/memory/memory.h"
#include "runtime/os/os.h"

namespace kor {
namespace {

namespace fs = std::filesystem;

class RuntimeLogTest : public testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("kor_log_" + std::to_string(OsCurrentProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    fs::current_path(dir_);
    RestartRuntimeLog();
    old_hook_ = SetDiagnosticHook([](int, const char*) {});
  }
  void TearDown() override {
    SetDiagnosticHook(old_hook_);
    fs::current_path(old_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
    RestartRuntimeLog();
  }
  static std::string ReadLog() {
    std::ifstream in(kRuntimeLogName, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path old_, dir_;
  DiagnosticHook old_hook_ = nullptr;
};

TEST_F(RuntimeLogTest, FirstLineCreatesLaterLinesAppend) {
  {
    std::ofstream stale(kRuntimeLogName, std::ios::binary);
    stale << "left over from an earlier run\r\n";
  }
  RuntimeLogWrite("one\r\n");
  RuntimeLogPrintf("%s %d\r\n", "two", 2);
  EXPECT_EQ(ReadLog(), "one\r\ntwo 2\r\n");
  RestartRuntimeLog();
  RuntimeLogWrite("fresh\r\n");
  EXPECT_EQ(ReadLog(), "fresh\r\n");
}

TEST_F(RuntimeLogTest, DiagnosticRecord) {
  void* p = Allocate(30);
  Free(p);
  Free(p);
  std::string log = ReadLog();
  // Text, up to ten return addresses of at least 8 hex digits, 34 dashes.
  std::regex record(
      "Error: memory block free'd twice\r\n"
      "(   [0-9a-f]{8,}\r\n){0,10}"
      "-{34}\r\n");
  EXPECT_TRUE(std::regex_match(log, record)) << log;
  // A second diagnostic is appended after the first.
  alignas(8) static char not_a_block[16];
  Free(not_a_block + 8);
  std::string both = ReadLog();
  ASSERT_GT(both.size(), log.size());
  EXPECT_EQ(both.substr(0, log.size()), log);
  EXPECT_EQ(both.compare(log.size(), 14, "Error: Corrupt"), 0) << both;
}

TEST_F(RuntimeLogTest, DiagnosticTextIsFormattedWithItsArguments) {
  static std::string seen;
  SetDiagnosticHook([](int, const char* text) { seen = text; });
  ReportDiagnostic(10, 2000000000L, 1999999999L);
  EXPECT_EQ(seen, "memory leak 2000000000 bytes (1999999999 allocs)");
  EXPECT_LT(seen.size(), kDiagnosticTextSize);
}

#if !defined(_WIN32)
TEST_F(RuntimeLogTest, AuxTraceCopiesLinesToStandardError) {
  fs::path profile = dir_ / "win.ini";
  {
    std::ofstream ini(profile);
    ini << "[Korvane 5 Tracing]\nauxtrace=1\n";
  }
  const char* old_profile = std::getenv("KORPROFILE");
  std::string saved = old_profile ? old_profile : "";
  setenv("KORPROFILE", profile.c_str(), 1);
  RestartRuntimeLog();
  testing::internal::CaptureStderr();
  RuntimeLogWrite("to both\r\n");
  std::string err = testing::internal::GetCapturedStderr();
  if (old_profile) {
    setenv("KORPROFILE", saved.c_str(), 1);
  } else {
    unsetenv("KORPROFILE");
  }
  EXPECT_EQ(err, "to both\r\n");
  EXPECT_EQ(ReadLog(), "to both\r\n");
}
#endif

}  // namespace
}  // namespace kor

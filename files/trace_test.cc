// Tests of the trace settings and the trace line.
#include "files/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#if !defined(_WIN32)
#include <unistd.h>
#endif
#include <iterator>

#include "files/fixture_test.h"
#include "files/operations.h"

namespace kor {
namespace {

TEST(TraceLine, FileAndKeyForms) {
  testing::EveryTypeFile t;
  FileControlBlock fcb;
  fcb.file = &t.file;
  fcb.external_name = "emp.dat";
  EXPECT_EQ(FormatTraceLine(kOpNEXT, fcb, nullptr, 1234, 0, "", 7),
            "NEXT(emp.dat 1234) Time Taken: 0.07 secs\r\n");
  // Short heads are padded to 18 characters.
  fcb.external_name = "e";
  EXPECT_EQ(FormatTraceLine(kOpADD, fcb, nullptr, 5, 0, "", 250),
            "ADD(e 5)          Time Taken: 2.50 secs\r\n");
  // A key with a NAME shows it, one without shows its label; the number is
  // the key's place in the file.
  EXPECT_EQ(FormatTraceLine(kOpSETkeykey, fcb, &t.long_index, 9, 0, "", 0),
            "SETkeykey(e,idx[2] 9) Time Taken: 0.00 secs\r\n");
  EXPECT_EQ(FormatTraceLine(kOpSETkey, fcb, &t.name_key, 9, 0, "", 100),
            "SETkey(e,EMP:NAMEKEY[1] 9) Time Taken: 1.00 secs\r\n");
}

TEST(TraceLine, ErrorForms) {
  FileControlBlock fcb;
  fcb.external_name = "x";
  EXPECT_EQ(FormatTraceLine(kOpNEXT, fcb, nullptr, 1, 33, "", 0),
            "NEXT(x 1)         Error: Record Not Available Time Taken: 0.00 secs\r\n");
  EXPECT_EQ(FormatTraceLine(kOpPUT, fcb, nullptr, 1, 90, "Write Fault", 12),
            "PUT(x 1)          File Error: Write Fault Time Taken: 0.12 secs\r\n");
  // A silent refusal is not an error.
  EXPECT_EQ(FormatTraceLine(kOpLOCKfile, fcb, nullptr, 1, -1, "", 0),
            "LOCKfile(x 1)     Time Taken: 0.00 secs\r\n");
}

TEST(TraceSettings, AllowDetailsOption) {
  EXPECT_TRUE(OptionsAllowDetails("ALLOWDETAILS"));
  EXPECT_TRUE(OptionsAllowDetails("/QUICKSCAN=ON/ allowDetails "));
  EXPECT_FALSE(OptionsAllowDetails(""));
  EXPECT_FALSE(OptionsAllowDetails("/ALLOWDETAILSX"));
  EXPECT_FALSE(OptionsAllowDetails("/NOALLOWDETAILS"));
}

TEST(TraceLog, AppendsAndCreates) {
  std::string path = ::testing::TempDir() + "trace_append.log";
  std::remove(path.c_str());
  ASSERT_TRUE(AppendToTraceLog(path, "one\r\n"));
  ASSERT_TRUE(AppendToTraceLog(path, "two\r\n"));
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "one\r\ntwo\r\n");
  std::remove(path.c_str());
  EXPECT_FALSE(AppendToTraceLog(::testing::TempDir() + "no/such/dir/x.log", "x"));
}

TEST(TraceLog, DeclarationDumpedOncePerFile) {
  testing::EveryTypeFile t, u;
  ForgetDeclarationDumps();
  EXPECT_TRUE(FirstDeclarationDump(&t.file));
  EXPECT_FALSE(FirstDeclarationDump(&t.file));
  EXPECT_TRUE(FirstDeclarationDump(&u.file));
  ForgetDeclarationDumps();
  EXPECT_TRUE(FirstDeclarationDump(&t.file));
}

#if !defined(_WIN32)
// The profile natively is the INI file named by KORPROFILE.
class TraceProfile : public ::testing::Test {
 protected:
  void Write(const char* text) {
    // One file per test and process: CTest runs the tests in parallel.
    path_ = ::testing::TempDir() + "trace_profile_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
            std::to_string(getpid()) + ".ini";
    std::ofstream(path_) << text;
    setenv("KORPROFILE", path_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("KORPROFILE");
    std::remove(path_.c_str());
  }
  std::string path_;
};

TEST_F(TraceProfile, SettingsAndDefaults) {
  Write(
      "[QWDOS]\nProfile=1\nDetails=1\n[QWOTHER]\nProfile=1\nTraceFile=\n"
      "[QWNAMED]\nProfile=1\nTraceFile=my.log\nDetails=0\n");
  FileControlBlock fcb;
  ReadTraceSettings(&fcb, "QWDOS", "DOS.LOG");
  EXPECT_TRUE(fcb.trace.on);
  EXPECT_TRUE(fcb.trace.details);
  EXPECT_EQ(fcb.trace.file_name, "DOS.LOG");
  ReadTraceSettings(&fcb, "QWOTHER", "OTHER.LOG");  // empty name: the default
  EXPECT_EQ(fcb.trace.file_name, "OTHER.LOG");
  EXPECT_FALSE(fcb.trace.details);
  ReadTraceSettings(&fcb, "QWNAMED", "X.LOG");
  EXPECT_EQ(fcb.trace.file_name, "my.log");
  ReadTraceSettings(&fcb, "QWNONE", "X.LOG");
  EXPECT_FALSE(fcb.trace.on);
  EXPECT_FALSE(fcb.trace.details);
}

TEST_F(TraceProfile, EncryptedFilesNeedAllowDetails) {
  Write("[QWDOS]\nProfile=1\nDetails=1\n");
  FileControlBlock fcb;
  fcb.attributes = kFileEncrypt;
  ReadTraceSettings(&fcb, "QWDOS", "DOS.LOG");
  EXPECT_TRUE(fcb.trace.on);
  EXPECT_FALSE(fcb.trace.details);
  fcb.options = "/AllowDetails";
  ReadTraceSettings(&fcb, "QWDOS", "DOS.LOG");
  EXPECT_TRUE(fcb.trace.details);
}
#endif

}  // namespace
}  // namespace kor

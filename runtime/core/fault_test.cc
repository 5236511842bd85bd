// The fault handler: which codes get a report, one report per process, and
// the report's file name.
#include "runtime/core/fault.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kor {
namespace {

TEST(Fault, SixCodesHaveNamesAndNoOtherHas) {
  struct {
    uint32_t code;
    const char* name;
  } const cases[] = {
      {0xC0000005, "Access Violation"},
      {0xC0000006, "Page Fault"},
      {0xC0000017, "No Memory"},
      {0xC000001D, "Illegal Instruction"},
      {0xC0000096, "Privileged Instruction"},
      {0xC00000FD, "Stack Overflow"},
      {0xC0000094, nullptr},  // integer division by zero
      {0xC0000008, nullptr},  // invalid handle
      {0x80000003, nullptr},  // breakpoint
      {0xE06D7363, nullptr},  // a C++ exception
      {0, nullptr},
  };
  for (const auto& c : cases) {
    const char* name = FaultName(c.code);
    if (c.name == nullptr) EXPECT_EQ(name, nullptr) << std::hex << c.code;
    else EXPECT_STREQ(name, c.name) << std::hex << c.code;
  }
}

// The writer the handler calls, recording what it was given.
std::vector<std::string> g_written;
void RecordingWriter(const OsFaultInfo& info, const char* name) {
  g_written.push_back(std::string(name) + "@" + std::to_string(info.code));
}

class HandleFaultTest : public testing::Test {
 protected:
  void SetUp() override { g_written.clear(); }
  FaultReportLatch latch_;
};

TEST_F(HandleFaultTest, TheFirstFaultOfTheSixIsReported) {
  HandleFault(&latch_, OsFaultInfo{0xC00000FD, nullptr, nullptr}, RecordingWriter);
  EXPECT_EQ(g_written, std::vector<std::string>{"Stack Overflow@3221225725"});
  EXPECT_TRUE(latch_.Taken());
}

TEST_F(HandleFaultTest, ASecondFaultWritesNothing) {
  HandleFault(&latch_, OsFaultInfo{0xC0000005, nullptr, nullptr}, RecordingWriter);
  HandleFault(&latch_, OsFaultInfo{0xC000001D, nullptr, nullptr}, RecordingWriter);
  HandleFault(&latch_, OsFaultInfo{0xC0000005, nullptr, nullptr}, RecordingWriter);
  EXPECT_EQ(g_written, std::vector<std::string>{"Access Violation@3221225477"});
}

TEST_F(HandleFaultTest, OtherCodesWriteNothingAndLeaveTheReportForALaterFault) {
  HandleFault(&latch_, OsFaultInfo{0xC0000094, nullptr, nullptr}, RecordingWriter);
  HandleFault(&latch_, OsFaultInfo{0xE0000001, nullptr, nullptr}, RecordingWriter);
  EXPECT_TRUE(g_written.empty());
  EXPECT_FALSE(latch_.Taken());
  HandleFault(&latch_, OsFaultInfo{0xC0000096, nullptr, nullptr}, RecordingWriter);
  EXPECT_EQ(g_written, std::vector<std::string>{"Privileged Instruction@3221225622"});
}

TEST_F(HandleFaultTest, ATakenLatchWritesNothingEvenWithoutAWriter) {
  HandleFault(&latch_, OsFaultInfo{0xC0000017, nullptr, nullptr}, nullptr);
  EXPECT_TRUE(latch_.Taken());
  HandleFault(&latch_, OsFaultInfo{0xC0000017, nullptr, nullptr}, RecordingWriter);
  EXPECT_TRUE(g_written.empty());
}

// The names that "exist" for ChooseFaultReportName.
std::set<std::string> g_existing;
bool Exists(const char* name) { return g_existing.count(name) != 0; }

// The names QWFAULT<c>.TXT for each c of `counters`.
std::set<std::string> Names(const std::string& counters) {
  std::set<std::string> names;
  for (char c : counters) names.insert(std::string("QWFAULT") + c + ".TXT");
  return names;
}

TEST(FaultReportName, TheFirstNameNotTakenInTheOrderOneToNineAToZUnderscore) {
  const std::string all = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  struct {
    std::string existing;
    const char* expected;
  } const cases[] = {
      {"", "QWFAULT1.TXT"},
      {"1", "QWFAULT2.TXT"},
      {"2", "QWFAULT1.TXT"},  // a gap is filled
      {"12345678", "QWFAULT9.TXT"},
      {"123456789", "QWFAULTA.TXT"},
      {"123456789AB", "QWFAULTC.TXT"},
      {all.substr(0, all.size() - 1), "QWFAULTZ.TXT"},
      {all, "QWFAULT_.TXT"},
      {all + "_", "QWFAULT_.TXT"},  // the last name is overwritten
  };
  for (const auto& c : cases) {
    g_existing = Names(c.existing);
    char name[kFaultReportNameSize];
    ChooseFaultReportName(Exists, name);
    EXPECT_STREQ(name, c.expected) << c.existing;
  }
  g_existing.clear();
}

}  // namespace
}  // namespace kor

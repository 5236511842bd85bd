// The deciding steps: the bounded connection loop, the DDE error check, the
// completion wait's tick verdicts, and the file checks over a real folder.
#include "app/core/batch_steps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/os/os_test_dir.h"

namespace mxb {
namespace {

// Answers opens from a channel number per attempt and records everything.
class FakePort : public BatchPort {
 public:
  int answer_on_open = 0;  // 1-based open that answers; 0 = never
  int opens = 0, starts = 0;
  uint32_t paused_ms = 0;
  std::vector<std::string> messages;
  int requests = 0;

  int32_t DdeOpen() override { return ++opens == answer_on_open ? 7 : 0; }
  void StartEnvironment() override { ++starts; }
  void Pause(uint32_t ms) override { paused_ms += ms; }
  void DdeExecute(int32_t, const std::string&) override {}
  void DdeRequestError(int32_t, int32_t* number, std::string* text) override {
    ++requests;
    *number = 102;
    *text = "Malformed command   ";
    kor::PostError(kor::kErrDdeChannelNotOpen);  // the requests' own state is not the check's
  }
  void Message(const std::string& text, const std::string&, uint32_t) override {
    messages.push_back(text);
  }
};

TEST(BatchSteps, ConnectionLoopIsBoundedAndStartsTheEnvironmentSparingly) {
  struct {
    int answer_on;
    int32_t channel;
    int opens;
    int starts;
  } cases[] = {
      {1, 7, 1, 0},    // already running
      {2, 7, 2, 1},    // started once, answers next time
      {12, 7, 12, 2},  // slow: a second start after ten failed opens
      {0, 0, kConnectAttempts, 3},
  };
  for (const auto& c : cases) {
    FakePort port;
    port.answer_on_open = c.answer_on;
    EXPECT_EQ(ConnectToEnvironment(port), c.channel);
    EXPECT_EQ(port.opens, c.opens) << c.answer_on;
    EXPECT_EQ(port.starts, c.starts) << c.answer_on;
    EXPECT_EQ(port.paused_ms, static_cast<uint32_t>(c.opens - 1) * kConnectPauseMs);
  }
}

TEST(BatchSteps, DdeErrorCheckByCode) {
  struct {
    int32_t code;
    const char* message;  // "" = none shown
    int requests;
  } cases[] = {
      {0, "", 0},
      {kor::kErrAccessDenied, "", 0},
      {kor::kErrInvalidDdeChannel, "Unexpected Error: 601", 0},
      {kor::kErrDdeChannelNotOpen, "Unexpected Error: 602", 0},
      {kor::kErrDdeExecuteRefused, "Error 102 : Malformed command", 1},
      {kor::kErrDdeTimeout, "DDE timeout", 0},
  };
  for (const auto& c : cases) {
    FakePort port;
    kor::ClearError();
    if (c.code != 0) kor::PostError(c.code);
    DdeCheckResult r = CheckDdeError(port, 7);
    EXPECT_EQ(r.code, c.code);
    // The saved text is the one of the code, not of the requests after it.
    EXPECT_EQ(r.text, c.code == 0 ? "" : std::string(kor::ErrorText(c.code)));
    EXPECT_EQ(port.requests, c.requests);
    EXPECT_EQ(port.messages.empty() ? "" : port.messages[0], std::string(c.message));
  }
  kor::ClearError();
}

TEST(BatchSteps, TickVerdictUsesElapsedTimeGraceAndCap) {
  const uint32_t cap = 15 * 60 * 1000;
  struct {
    uint32_t elapsed;
    int32_t error;
    TickVerdict verdict;
  } cases[] = {
      {10000, 0, TickVerdict::kLook},
      {10000, kor::kErrDdeTimeout, TickVerdict::kLook},  // within the grace time
      {kGraceMs, kor::kErrDdeTimeout, TickVerdict::kLook},
      {kGraceMs + 1, kor::kErrDdeTimeout, TickVerdict::kAbandonOnError},
      {kGraceMs + 1, 0, TickVerdict::kLook},
      {cap - 1, 0, TickVerdict::kLook},
      {cap, 0, TickVerdict::kAbandonOnCap},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JudgeTick(c.elapsed, c.error, cap), c.verdict) << c.elapsed << " " << c.error;
  }
}

class BatchFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kor::testing::UniqueTempName("batchsteps") + "/";
    ASSERT_EQ(kor::OsMakeDirectory(dir_.c_str()), 0u);
  }
  void TearDown() override {
    for (const std::string& f : files_) std::remove(f.c_str());
    kor::OsRemoveDirectory(dir_.c_str());
  }
  void Touch(const std::string& name) {
    files_.push_back(dir_ + name);
    std::FILE* f = std::fopen(files_.back().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(BatchFiles, SourceAndOutputChecks) {
  const BatchOpSpec& make = OpSpec(BatchOp::kMakeExe);
  EXPECT_FALSE(SourceExists(dir_ + "Sales.APP"));
  EXPECT_FALSE(OutputPresent(make, dir_, "Sales"));
  Touch("Sales.app");
  Touch("Sales.DLL");
  EXPECT_TRUE(SourceExists(dir_ + "SALES.APP"));
  EXPECT_FALSE(OutputPresent(make, dir_, "Sales"));  // another extension
  Touch("sales.exe");
  EXPECT_TRUE(OutputPresent(make, dir_, "SALES"));
  // A base name past 8 characters is found by its full name.
  EXPECT_FALSE(OutputPresent(make, dir_, "Inventory"));
  Touch("Inventory.exe");
  EXPECT_TRUE(OutputPresent(make, dir_, "Inventory"));
}

}  // namespace
}  // namespace mxb

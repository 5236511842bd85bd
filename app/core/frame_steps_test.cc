// The main frame's steps against a scripted environment: which opens
// succeed, what is started, closed and shown.
#include "app/core/frame_steps.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace mxb {
namespace {

// The environment answers the open after `answers_after` failed opens
// (-1: never); each answer is a new channel number. Closing a channel that
// is not open posts 602, as the client does.
class ScriptedScreen : public BatchScreen {
 public:
  int answers_after = 0;
  bool open_posts_error = false;  // an answered open leaves an error set
  int opens = 0, starts = 0;
  int32_t next_channel = 7;
  std::set<int32_t> open_channels;
  std::vector<int32_t> closed;
  std::vector<std::string> messages, actions;
  std::vector<bool> flags;

  int32_t DdeOpen() override {
    kor::ClearError();
    ++opens;
    if (answers_after < 0 || opens <= answers_after) {
      kor::PostError(kor::kErrDdeChannelNotOpen);
      return 0;
    }
    if (open_posts_error) kor::PostError(kor::kErrDdeTimeout);
    open_channels.insert(next_channel);
    return next_channel++;
  }
  void StartEnvironment() override { ++starts; }
  void Pause(uint32_t) override {}
  void DdeExecute(int32_t, const std::string&) override {}
  void DdeRequestError(int32_t, int32_t*, std::string*) override {}
  void Message(const std::string& text, const std::string&, uint32_t icon) override {
    messages.push_back(text);
    EXPECT_EQ(icon, kIconError);
  }
  bool ShowsMessages() override { return true; }
  void SetConnected(bool connected) override { flags.push_back(connected); }
  void SetLastAction(const std::string& text) override { actions.push_back(text); }
  void Beep() override {}
  void SetDdeTimeout(uint32_t) override {}
  void DdeClose(int32_t channel) override {
    closed.push_back(channel);
    if (open_channels.erase(channel) == 0) kor::PostError(kor::kErrDdeChannelNotOpen);
  }
  bool WaitForTick() override { return false; }
  uint32_t NowMs() override { return 0; }
};

TEST(FrameSteps, EveryBatchButtonStartsItsOwnOperation) {
  std::set<BatchOp> seen;
  for (int32_t field = 0; field <= 30; ++field) {
    std::optional<BatchOp> op = BatchOpOfField(field);
    if (!op) continue;
    EXPECT_TRUE(seen.insert(*op).second) << "field " << field;
    EXPECT_EQ(NeedsConfirmation(*op), field == kFieldImportApp);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kBatchOpCount));
  // The buttons and their operations, as the window shows them.
  EXPECT_EQ(*BatchOpOfField(3), BatchOp::kMakeExe);
  EXPECT_EQ(*BatchOpOfField(4), BatchOp::kMakeDll);
  EXPECT_EQ(*BatchOpOfField(5), BatchOp::kExportApp);
  EXPECT_EQ(*BatchOpOfField(6), BatchOp::kImportApp);
  EXPECT_EQ(*BatchOpOfField(8), BatchOp::kImportDct);
  EXPECT_EQ(*BatchOpOfField(9), BatchOp::kExportDct);
  for (int32_t other : {1, 2, 7, 10, 12, 13, 14, 19, 20, 22}) {
    EXPECT_FALSE(BatchOpOfField(other)) << other;
  }
}

TEST(FrameSteps, TheSpinsValueIsTheOperationsTimeout) {
  const uint8_t cases[][2] = {{15, 15}, {1, 1}, {99, 99}, {255, 255}, {0, 1}};
  for (const auto& c : cases) EXPECT_EQ(OperationTimeoutMinutes(c[0]), c[1]) << int{c[0]};
}

TEST(FrameSteps, FirstAttemptNeverStartsTheEnvironment) {
  struct Case {
    int answers_after;
    bool connected;
    const char* text;
  } cases[] = {{0, true, "Connected to Korvane"}, {-1, false, "Not Connected to Korvane"}};
  for (const Case& c : cases) {
    ScriptedScreen screen;
    screen.answers_after = c.answers_after;
    FrameLink link;
    FirstConnection(screen, &link);
    EXPECT_EQ(screen.opens, 1);
    EXPECT_EQ(screen.starts, 0);
    EXPECT_EQ(link.connected, c.connected);
    EXPECT_EQ(link.channel != 0, c.connected);
    EXPECT_EQ(screen.actions, std::vector<std::string>{c.text});
    EXPECT_EQ(screen.flags, std::vector<bool>{c.connected});
    EXPECT_TRUE(screen.messages.empty());
  }
}

TEST(FrameSteps, ConnectStartsAndRetriesWithinTheBound) {
  struct Case {
    int answers_after;
    bool open_posts_error;
    const char* text;
  } cases[] = {
      {0, false, "Connected to Korvane."},
      {3, false, "Connected to Korvane."},  // slow to start: one start, retries
      {0, true, "Connected to Korvane"},    // the error state is not clear
  };
  for (const Case& c : cases) {
    ScriptedScreen screen;
    screen.answers_after = c.answers_after;
    screen.open_posts_error = c.open_posts_error;
    FrameLink link;
    Connect(screen, &link, 5, 0);
    EXPECT_EQ(screen.opens, c.answers_after + 1);
    EXPECT_EQ(screen.starts, c.answers_after > 0 ? 1 : 0);
    EXPECT_TRUE(link.connected);
    EXPECT_EQ(screen.actions, std::vector<std::string>{c.text});
    EXPECT_TRUE(screen.messages.empty());
  }
}

TEST(FrameSteps, ConnectGivesUpWithTheBatchOperationsMessage) {
  ScriptedScreen screen;
  screen.answers_after = -1;
  FrameLink link;
  Connect(screen, &link, 4, 0);
  EXPECT_EQ(screen.opens, 4) << "the bound is the attempts given, no more";
  EXPECT_EQ(screen.messages, std::vector<std::string>{"Korvane could not be reached"});
  EXPECT_FALSE(link.connected);
  EXPECT_EQ(link.channel, 0);
  EXPECT_EQ(screen.actions, std::vector<std::string>{kNotConnectedText});
}

TEST(FrameSteps, ConnectReplacesTheHeldConversation) {
  ScriptedScreen screen;
  FrameLink link;
  FirstConnection(screen, &link);
  const int32_t first = link.channel;
  Connect(screen, &link, 5, 0);
  EXPECT_NE(link.channel, first);
  EXPECT_EQ(screen.closed, std::vector<int32_t>{first});
  EXPECT_EQ(screen.open_channels, std::set<int32_t>{link.channel}) << "one conversation held";
}

TEST(FrameSteps, DisconnectClosesOnlyTheHeldConversation) {
  ScriptedScreen screen;
  FrameLink link;
  FirstConnection(screen, &link);
  const int32_t held = link.channel;
  Disconnect(screen, &link);
  EXPECT_EQ(screen.closed, std::vector<int32_t>{held});
  EXPECT_EQ(screen.opens, 1) << "no fresh conversation is opened to be closed";
  EXPECT_TRUE(screen.open_channels.empty());
  EXPECT_EQ(link.channel, 0);
  EXPECT_FALSE(link.connected);
  EXPECT_EQ(screen.actions.back(), kDisconnectedText);
  EXPECT_EQ(screen.flags.back(), false);
  EXPECT_EQ(kor::ERRORCODE(), 0);
}

TEST(FrameSteps, DisconnectWithoutTheEnvironmentIsNoError) {
  ScriptedScreen screen;
  screen.answers_after = -1;
  FrameLink link;
  FirstConnection(screen, &link);
  ASSERT_NE(kor::ERRORCODE(), 0) << "the failed open left its error";
  Disconnect(screen, &link);
  EXPECT_TRUE(screen.closed.empty());
  EXPECT_TRUE(screen.messages.empty());
  EXPECT_EQ(screen.actions.back(), kDisconnectedText);
  EXPECT_EQ(kor::ERRORCODE(), 0);
  // A held conversation whose partner went away closes without an error too.
  screen.answers_after = 0;
  screen.opens = 0;
  FirstConnection(screen, &link);
  screen.open_channels.clear();  // the partner ended it
  Disconnect(screen, &link);
  EXPECT_EQ(kor::ERRORCODE(), 0);
  EXPECT_EQ(link.channel, 0);
}

TEST(FrameSteps, ReleaseAtClosingLeavesNothingOpen) {
  ScriptedScreen screen;
  FrameLink link;
  Connect(screen, &link, 5, 0);
  Release(screen, &link);
  EXPECT_TRUE(screen.open_channels.empty());
  Release(screen, &link);  // twice: nothing more is closed
  EXPECT_EQ(screen.closed.size(), 1u);
}

}  // namespace
}  // namespace mxb

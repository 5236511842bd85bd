// Program messages on a real window: posted to the top window, handed to
// their handler by the ACCEPT loop with the parameter, refused without a
// window or outside the program range, and the table's bounds.
#include "ui/program_messages.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/window_test_support.h"

namespace kor {
namespace {

std::vector<uintptr_t> g_got;
void Record(uintptr_t param) { g_got.push_back(param); }
void Ignore(uintptr_t) {}
// Also wakes the loop: a handled message brings no event of its own.
void RecordAndWake(uintptr_t param) {
  Record(param);
  PostEvent(kEventAccepted, 1);
}

TEST(ProgramMessages, ThePostReachesItsHandlerThroughTheLoopWithItsParameter) {
  g_got.clear();
  ASSERT_TRUE(SetProgramMessageHandler(kFirstProgramMessage, &RecordAndWake));
  // Without a window nobody would hand the message back.
  EXPECT_FALSE(PostToCurrentWindow(kFirstProgramMessage, 1));

  char name[20] = {};
  int16_t four = 0;
  void* addresses[3] = {name, &four, nullptr};
  Window main;
  main.Declare(testing::kTestModule, "T$MAIN", addresses);
  ASSERT_TRUE(main.Open());
  const uintptr_t big = uintptr_t(0x12345678) << (sizeof(uintptr_t) > 4 ? 16 : 0);
  testing::Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      EXPECT_TRUE(PostToCurrentWindow(kFirstProgramMessage, 7));
      EXPECT_TRUE(PostToCurrentWindow(kFirstProgramMessage, big));
      EXPECT_TRUE(g_got.empty());  // handed over by the loop, not at the post
    }
    return g_got.size() == 2 ? Pass::kBreak : Pass::kContinue;
  });
  EXPECT_TRUE(testing::RunLoop(main, rec.Body()));
  EXPECT_EQ(g_got, (std::vector<uintptr_t>{7, big}));

  // Removed: the message is the platform's again (nothing runs).
  ASSERT_TRUE(SetProgramMessageHandler(kFirstProgramMessage, nullptr));
  EXPECT_FALSE(RunProgramMessage(kFirstProgramMessage, 9));
  main.Close();
  EXPECT_EQ(g_got.size(), 2u);
}

TEST(ProgramMessages, OnlyTheProgramRangeAndEightAtOnce) {
  EXPECT_FALSE(SetProgramMessageHandler(kFirstProgramMessage - 1, &Ignore));
  EXPECT_FALSE(SetProgramMessageHandler(kLastProgramMessage + 1, &Ignore));
  EXPECT_FALSE(RunProgramMessage(uint32_t(kEventBase + kEventAccepted), 0));
  for (uint32_t i = 0; i < 8; ++i) {
    EXPECT_TRUE(SetProgramMessageHandler(kFirstProgramMessage + 16 + i, &Ignore)) << i;
  }
  EXPECT_FALSE(SetProgramMessageHandler(kFirstProgramMessage + 40, &Ignore));
  // Replacing a registered one needs no room.
  EXPECT_TRUE(SetProgramMessageHandler(kFirstProgramMessage + 16, &Record));
  g_got.clear();
  EXPECT_TRUE(RunProgramMessage(kFirstProgramMessage + 16, 5));
  EXPECT_EQ(g_got, (std::vector<uintptr_t>{5}));
  for (uint32_t i = 0; i < 8; ++i) SetProgramMessageHandler(kFirstProgramMessage + 16 + i, nullptr);
  EXPECT_TRUE(SetProgramMessageHandler(kFirstProgramMessage + 40, &Ignore));
  SetProgramMessageHandler(kFirstProgramMessage + 40, nullptr);
}

}  // namespace
}  // namespace kor

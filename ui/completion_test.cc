// Completion mode and the current control: selecting field 0 accepts every
// control that still needs it, in field order, and ends with exactly one
// EVENT:Completed; selecting a field refuses and ends it; EVENT:Selected and
// SelectField move FOCUS.
#include "ui/state_functions.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;
using testing::Seen;

class CompletionTest : public ::testing::Test {
 protected:
  void Open(const char* label) {
    w_.Declare(testing::kTestModule, label, addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override {
    w_.Close();
    EXPECT_EQ(TopWindow(), nullptr);
  }
  // Runs until a marker event (EVENT:Timer) that the body posts once the
  // window has had time to do what it would.
  std::vector<Seen> Run(std::function<Pass()> react) {
    Recorder rec([&] {
      if (EVENT() == kEventTimer) return Pass::kBreak;
      return react();
    });
    EXPECT_TRUE(RunLoop(w_, rec.Body()));
    return rec.seen();
  }

  char a_[10], b_[10], c_[10];
  void* addresses_[4] = {a_, b_, c_, nullptr};
  Window w_;
};

TEST_F(CompletionTest, EveryFieldThatNeedsItIsAcceptedThenOneCompleted) {
  Open("T$FORM");  // entries 1 and 3 are required, 2 is not
  int completed = 0;
  std::vector<Seen> seen = Run([&] {
    if (EVENT() == kEventOpenWindow) SelectField(0);
    if (EVENT() == kEventCompleted && ++completed == 1) {
      // Quiet now: nothing needs accepting any more.
      SelectField(0);
    }
    if (completed == 2) PostEvent(kEventTimer);
    return Pass::kContinue;
  });
  const std::vector<Seen> want = {{kEventOpenWindow, 0, 0}, {kEventAccepted, 1, 1},
                                  {kEventAccepted, 3, 3},   {kEventCompleted, 0, 0},
                                  {kEventCompleted, 0, 0},  {kEventTimer, 0, 0}};
  EXPECT_EQ(seen, want);
}

TEST_F(CompletionTest, AFormWhoseFieldsAllPassGetsExactlyOneCompleted) {
  Open("T$EMPTY");
  int passes = 0;
  std::vector<Seen> seen = Run([&] {
    if (EVENT() == kEventOpenWindow) SelectField(0);
    // Several quiet turns of the pump after the completion.
    if (EVENT() == kEventCompleted || (EVENT() == kEventNotify && ++passes < 5))
      PostEvent(kEventNotify);
    if (passes == 5) PostEvent(kEventTimer);
    return Pass::kContinue;
  });
  int completed = 0;
  for (const Seen& s : seen) completed += s.event == kEventCompleted;
  EXPECT_EQ(completed, 1);
  EXPECT_EQ(seen[1], (Seen{kEventCompleted, 0, 0}));
}

TEST_F(CompletionTest, SelectingAFieldRefusesAndEndsCompletion) {
  Open("T$FORM");
  std::vector<Seen> seen = Run([&] {
    if (EVENT() == kEventOpenWindow) SelectField(0);
    if (EVENT() == kEventAccepted && FIELD() == 1) {
      SelectField(1);  // the field is refused: the form goes back to it
      PostEvent(kEventTimer);
    }
    return Pass::kContinue;
  });
  const std::vector<Seen> want = {
      {kEventOpenWindow, 0, 0}, {kEventAccepted, 1, 1}, {kEventTimer, 0, 0}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(FOCUS(), 1);
}

TEST_F(CompletionTest, SelectedMakesAControlCurrent) {
  char name[20];
  int16_t four;
  void* addresses[] = {name, &four, nullptr};
  w_.Declare(testing::kTestModule, "T$MAIN", addresses);
  ASSERT_TRUE(w_.Open());
  std::vector<int32_t> focus;
  int stage = 0;
  Recorder rec(
      [&] {
        if (EVENT() == kEventOpenWindow) {
          PostEvent(kEventSelected, 6);
          stage = 1;
        } else if (EVENT() == kEventSelected && FIELD() == 6 && stage == 1) {
          focus.push_back(FOCUS());
          SelectField(4);
          focus.push_back(FOCUS());
          SetFocus(w_.ControlOf(1)->handle());  // the user moves on
          stage = 2;
        } else if (EVENT() == kEventSelected && FIELD() == 1 && stage == 2) {
          focus.push_back(FOCUS());
          return Pass::kBreak;
        }
        return Pass::kContinue;
      },
      true);
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  ASSERT_GE(focus.size(), 3u);
  EXPECT_EQ(focus.front(), 6);
  EXPECT_EQ(focus[1], 4);
  EXPECT_EQ(focus.back(), 1);
}

}  // namespace
}  // namespace kor

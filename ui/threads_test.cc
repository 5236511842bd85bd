// Windows on two runtime threads: a parent's close waits for its child on the
// other thread (EVENT:CloseDown, refused once with the parent staying open),
// events posted to a thread by number, and a window closed from the other
// thread.
#include "ui/thread_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

// What the child thread does: opens T$CHILD and runs its loop, telling the
// main thread (by posting EVENT:Notify to it) when it is ready, after each
// close-down it refused and, when asked, when its loop has ended. (A parent
// closing after its child can still see that last notice: it races with the
// parent's own end, so only a test that waits for it asks for it.)
struct Child {
  Window window;
  int refusals = 0;
  bool close_on_accepted = false;
  bool notify_when_gone = false;
  std::vector<int32_t> events;  // read by the main thread after the join
  std::atomic<bool> loop_ok{false};

  static void Run(void* arg) {
    auto* self = static_cast<Child*>(arg);
    self->window.Declare(testing::kTestModule, "T$CHILD", nullptr);
    if (!self->window.Open()) return;
    Recorder rec([self] { return self->React(); });
    self->loop_ok = RunLoop(self->window, rec.Body());
    self->events = rec.Events();
    if (self->notify_when_gone) PostEvent(kEventNotify, 0, 1);
  }

  Pass React() {
    if (EVENT() == kEventOpenWindow) PostEvent(kEventNotify, 0, 1);
    if (EVENT() == kEventAccepted && close_on_accepted)
      PostMessageA(window.handle(), WM_CLOSE, 0, 0);
    if (EVENT() == kEventCloseDown && refusals > 0) {
      --refusals;
      PostEvent(kEventNotify, 0, 1);
      return Pass::kCycle;
    }
    return Pass::kContinue;
  }
};

class ThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CurrentThread()->number, 1);
    main_.Declare(testing::kTestModule, "T$MAIN", addresses_);
    ASSERT_TRUE(main_.Open());
  }
  void TearDown() override {
    main_.Close();
    WaitForWindowThreads();
  }

  char name_[20] = {};
  int16_t four_ = 0;
  void* addresses_[3] = {name_, &four_, nullptr};
  Window main_;
  Child child_;
};

TEST_F(ThreadsTest, AParentClosesOnlyAfterItsChildHasGone) {
  child_.refusals = 1;
  int notices = 0;
  bool child_open_at_refusal = false;
  bool child_gone_at_end = false;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      EXPECT_GT(StartWindowThread(&Child::Run, &child_), 1);  // a thread of its own
    }
    if (EVENT() == kEventNotify) {
      // The child is ready (1st), then it refused the close-down (2nd).
      if (++notices == 2) child_open_at_refusal = child_.window.is_open() && main_.is_open();
      PostMessageA(main_.handle(), WM_CLOSE, 0, 0);
    }
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  child_gone_at_end = !child_.window.is_open();
  WaitForWindowThreads();
  EXPECT_FALSE(main_.is_open());
  EXPECT_TRUE(child_gone_at_end);
  EXPECT_TRUE(child_open_at_refusal);
  EXPECT_TRUE(child_.loop_ok);
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventNotify, kEventCloseWindow,
                                                kEventNotify, kEventCloseWindow}));
  EXPECT_EQ(child_.events,
            (std::vector<int32_t>{kEventOpenWindow, kEventCloseDown, kEventCloseDown}));
}

TEST_F(ThreadsTest, AnEventPostedToAThreadReachesItsTopWindow) {
  child_.close_on_accepted = true;
  child_.notify_when_gone = true;
  int32_t child_thread = 0;
  int notices = 0;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) child_thread = StartWindowThread(&Child::Run, &child_);
    if (EVENT() != kEventNotify) return Pass::kContinue;
    // The child is ready (1st notice), then gone (2nd).
    if (++notices == 2) return Pass::kBreak;
    PostEvent(kEventAccepted, 1, child_thread);
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  WaitForWindowThreads();
  EXPECT_TRUE(child_.loop_ok);
  EXPECT_EQ(child_.events,
            (std::vector<int32_t>{kEventOpenWindow, kEventAccepted, kEventCloseWindow}));
}

TEST_F(ThreadsTest, AWindowClosedFromAnotherThreadClosesItself) {
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) StartWindowThread(&Child::Run, &child_);
    if (EVENT() == kEventNotify) {
      child_.window.Close();  // marked; its thread closes it
      return Pass::kBreak;
    }
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  WaitForWindowThreads();
  EXPECT_FALSE(child_.window.is_open());
  EXPECT_TRUE(child_.loop_ok);
  EXPECT_EQ(child_.events, (std::vector<int32_t>{kEventOpenWindow}));
}

}  // namespace
}  // namespace kor

// Window events from platform messages, on real windows: the close request
// refused and accepted, the close button's standard action, system commands
// delivered before their action, moves and sizes queued after it, and the
// timer's period.
#include "ui/window_proc.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

class WindowEventsTest : public ::testing::Test {
 protected:
  void Open(const char* label) {
    w_.Declare(testing::kTestModule, label, addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override {
    w_.Close();
    EXPECT_EQ(TopWindow(), nullptr);
  }

  char name_[20] = {};
  int16_t four_ = 0;
  void* addresses_[3] = {name_, &four_, nullptr};
  Window w_;
};

TEST_F(WindowEventsTest, ARefusedCloseKeepsTheWindowAndTheNextOneClosesIt) {
  Open("T$MAIN");
  int closes = 0;
  bool open_after_refusal = false;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PostMessageA(w_.handle(), WM_CLOSE, 0, 0);
    if (EVENT() != kEventCloseWindow) return Pass::kContinue;
    if (++closes == 1) {
      // The program refuses the first close request (cycles).
      PostMessageA(w_.handle(), WM_CLOSE, 0, 0);
      return Pass::kCycle;
    }
    open_after_refusal = w_.is_open() && IsWindowVisible(w_.handle());
    return Pass::kContinue;
  });
  HWND handle = w_.handle();
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(rec.Events(),
            (std::vector<int32_t>{kEventOpenWindow, kEventCloseWindow, kEventCloseWindow}));
  EXPECT_TRUE(open_after_refusal);
  EXPECT_FALSE(w_.is_open());
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(WindowEventsTest, TheCloseButtonsStandardActionIsACloseRequest) {
  Open("T$MAIN");
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PostMessageA(w_.ControlOf(8)->handle(), BM_CLICK, 0, 0);
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventCloseWindow}));
  EXPECT_FALSE(w_.is_open());
}

TEST_F(WindowEventsTest, AButtonPressIsAcceptedForItsField) {
  Open("T$MAIN");
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PostMessageA(w_.ControlOf(6)->handle(), BM_CLICK, 0, 0);
    return EVENT() == kEventAccepted ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  ASSERT_FALSE(rec.seen().empty());
  EXPECT_EQ(rec.seen().back(), (testing::Seen{kEventAccepted, 6, 6}));
}

TEST_F(WindowEventsTest, SystemCommandsComeAtOnceBeforeTheirAction) {
  Open("T$MAIN");
  std::vector<int32_t> during;
  bool zoomed_when_refused = true;
  bool zoomed_when_allowed = false;
  int32_t event_after = 0;
  Recorder rec([&] {
    if (EVENT() == kEventMaximize) {
      during.push_back(EVENT());
      return during.size() == 1 ? Pass::kCycle : Pass::kContinue;
    }
    if (EVENT() == kEventOpenWindow) {
      SendMessageA(w_.handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      zoomed_when_refused = IsZoomed(w_.handle()) != 0;
      event_after = EVENT();  // the event being handled is current again
      SendMessageA(w_.handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      zoomed_when_allowed = IsZoomed(w_.handle()) != 0;
    }
    return EVENT() == kEventMaximized ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(during.size(), 2u);
  EXPECT_FALSE(zoomed_when_refused);
  EXPECT_TRUE(zoomed_when_allowed);
  EXPECT_EQ(event_after, kEventOpenWindow);
  // Maximising moves the window too (EVENT:Moved) before it is maximised.
  std::vector<int32_t> events = rec.Events();
  std::erase(events, kEventMoved);
  EXPECT_EQ(events, (std::vector<int32_t>{kEventOpenWindow, kEventMaximize, kEventMaximize,
                                          kEventMaximized}));
}

TEST_F(WindowEventsTest, MovesAndSizesAreQueuedAfterwards) {
  Open("T$MAIN");
  Recorder rec([&] {
    RECT r;
    GetWindowRect(w_.handle(), &r);
    if (EVENT() == kEventOpenWindow)
      SetWindowPos(w_.handle(), nullptr, r.left + 13, r.top + 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (EVENT() == kEventMoved)
      SetWindowPos(w_.handle(), nullptr, 0, 0, r.right - r.left + 20, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    return EVENT() == kEventSized ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventMoved, kEventSized}));
}

TEST_F(WindowEventsTest, WithoutTheMaximiseAttributeMovesAreNoEvents) {
  Open("T$CHILD");
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      SetWindowPos(w_.handle(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      SendMessageA(w_.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);  // not delivered at once
      PostEvent(kEventAccepted, 1);
    }
    return EVENT() == kEventAccepted ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  // Minimising happened at once; it is still told afterwards.
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventIconized, kEventAccepted}));
}

TEST_F(WindowEventsTest, TheTimerTicksAtItsPeriodInHundredths) {
  // T$TIMER has a period of 20 hundredths: a tick every 200 ms.
  Open("T$TIMER");
  std::vector<DWORD> ticks;
  Recorder rec([&] {
    if (EVENT() == kEventTimer) ticks.push_back(GetTickCount());
    return ticks.size() == 6 ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  ASSERT_EQ(ticks.size(), 6u);
  DWORD five_periods = ticks[5] - ticks[0];
  // 1000 ms: far from the 100 ms of a period taken as milliseconds x 5 and
  // from the 10 s of one taken as tenths.
  EXPECT_GE(five_periods, 900u);
  EXPECT_LT(five_periods, 3000u);
}

TEST_F(WindowEventsTest, QueriesReachTheirHandlers) {
  Open("T$MAIN");
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      PostMessageA(w_.handle(), QueryMessage(kQuerySelected), 4, 0);
      PostMessageA(w_.handle(), WM_COMMAND, 0, 0);  // an alert key's command
    }
    return EVENT() == kEventAlertKey ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  std::vector<testing::Seen> all = rec.all();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2], (testing::Seen{kEventSelected, 4, 0}));
  EXPECT_EQ(all.back(), (testing::Seen{kEventAlertKey, 0, 0}));
  EXPECT_EQ(FOCUS(), 4);
}

}  // namespace
}  // namespace kor

// The hidden timer window: its class and shape, and ticks that reach the
// object's procedure until the timer is stopped.
#include "ui/timer_window.h"

#include <gtest/gtest.h>

#include <string>

namespace kor {
namespace {

constexpr DWORD kWaitMs = 5000;

void CountTick(void* object) { ++*static_cast<int*>(object); }

// Pumps the thread's messages until `ticks` reaches `want` or the time is up.
bool PumpUntil(const int& ticks, int want, DWORD ms) {
  DWORD start = GetTickCount();
  while (ticks < want) {
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

TEST(TimerWindow, AHiddenPopUpOfItsOwnClassCarriesTheObjectsTimers) {
  int ticks = 0;
  UINT_PTR id = StartObjectTimer(10, &CountTick, &ticks);
  ASSERT_NE(id, 0u);
  HWND window = TimerWindow();
  ASSERT_NE(window, nullptr);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  EXPECT_EQ(std::string(cls), kTimerWindowClass);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_POPUP, 0);
  EXPECT_TRUE(PumpUntil(ticks, 3, kWaitMs));

  // A second object's timer ticks on the same window; stopping one leaves
  // the other running.
  int other = 0;
  UINT_PTR second = StartObjectTimer(10, &CountTick, &other);
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, id);
  EXPECT_EQ(TimerWindow(), window);
  StopObjectTimer(id);
  int stopped_at = ticks;
  EXPECT_TRUE(PumpUntil(other, 3, kWaitMs));
  EXPECT_EQ(ticks, stopped_at);
  StopObjectTimer(second);
  EXPECT_EQ(StartObjectTimer(10, nullptr, nullptr), 0u);  // no procedure, no timer
}

}  // namespace
}  // namespace kor

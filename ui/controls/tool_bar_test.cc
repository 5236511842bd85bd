// Tool bars on a real window (test$CTLTEST, C$TOOLBAR): the bar spans the
// window, holds its controls at their places with their identifiers, and
// their events reach the window.
#include "ui/controls/tool_bar.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "ui/controls/control_library.h"
#include "ui/controls/controls_init.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

TEST(ToolBarTest, TheBarHoldsItsControlsAndTheirEventsReachTheWindow) {
  constexpr uint8_t kinds[] = {kRecButton};
  RegisterLibraryControlKinds(kinds, 1);
  InitControlLibrary(0);
  Window w;
  w.Declare("test$CTLTEST", "C$TOOLBAR", nullptr);
  ASSERT_TRUE(w.Open());
  HWND bar = ToolBarOf(w.handle());
  ASSERT_NE(bar, nullptr);
  RECT client, bar_rect;
  GetClientRect(w.handle(), &client);
  GetWindowRect(bar, &bar_rect);
  EXPECT_EQ(bar_rect.right - bar_rect.left, client.right);
  EXPECT_EQ(bar_rect.bottom - bar_rect.top, ToPixelsY(w.state().scale, 18).pixels);

  HWND print = GetDlgItem(bar, 1 + kControlIdBase);
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(w.ControlOf(1)->handle(), print);
  RECT at;
  GetWindowRect(print, &at);
  MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&at), 2);
  EXPECT_EQ(at.left, ToPixelsX(w.state().scale, 2).pixels);
  EXPECT_EQ(at.top, ToPixelsY(w.state().scale, 2).pixels);
  EXPECT_EQ(GetParent(w.ControlOf(2)->handle()), w.handle());

  Recorder rec;
  PostMessageA(print, BM_CLICK, 0, 0);
  ASSERT_TRUE(RunLoop(w, [&] {
    Pass p = rec.Body()();
    const auto& all = rec.all();
    bool done = std::any_of(all.begin(), all.end(), [](const testing::Seen& s) {
      return s.event == kEventAccepted && s.field == 1;
    });
    return done ? Pass::kBreak : p;
  }));
  w.Close();
  InitControlLibrary(1);
}

}  // namespace
}  // namespace kor

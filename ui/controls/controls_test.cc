// The control library on real windows (test$CTLTEST, C$ALL): classes and
// child identifiers, tab stops, the default button, auto-repeat, standard
// actions, entry fields through their pictures, check boxes, spin boxes,
// bound strings, and Enter, Escape and mnemonics.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/pictures/format.h"
#include "ui/controls/buttons.h"
#include "ui/controls/control_library.h"
#include "ui/controls/image_control.h"
#include "ui/controls/list_queue.h"
#include "ui/controls/tooltips.h"
#include "ui/dialog_keys.h"
#include "ui/plain_controls.h"
#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

constexpr char kModule[] = "test$CTLTEST";
constexpr uint8_t kKinds[] = {kRecPrompt,      kRecEntry,  kRecButton, kRecCheck, kRecSpin,
                              kRecBoundString, kRecString, kRecGroup,  kRecList,  kRecImage};

class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterLibraryControlKinds(kKinds, std::size(kKinds));
    RegisterPlainControlKinds(kKinds, std::size(kKinds));
  }
  void SetUp() override {
    w_.Declare(kModule, "C$ALL", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override {
    w_.Close();
    EXPECT_EQ(TopWindow(), nullptr);
  }
  HWND Child(int32_t field) { return GetDlgItem(w_.handle(), field + kControlIdBase); }
  std::string ClassOf(int32_t field) {
    char name[64] = {};
    GetClassNameA(Child(field), name, sizeof name);
    return name;
  }
  std::string TextOf(int32_t field) {
    char text[256] = {};
    GetWindowTextA(Child(field), text, sizeof text);
    return text;
  }
  // Runs the loop until `done` says so (or the watchdog fires).
  void RunUntil(Recorder& rec, const std::function<bool()>& done) {
    ASSERT_TRUE(RunLoop(w_, [&] {
      LoopBody body = rec.Body();
      Pass p = body();
      return done() ? Pass::kBreak : p;
    }));
  }
  int Count(const Recorder& rec, int32_t event, int32_t field) {
    const auto& all = rec.all();
    return int(std::count_if(all.begin(), all.end(), [&](const testing::Seen& s) {
      return s.event == event && s.field == field;
    }));
  }

  int32_t entry_ = 42;
  int16_t check_ = 0;
  int32_t spin_ = 1;
  int32_t shown_ = 123456;
  int16_t inner_check_ = 0;
  char list_var_[20] = {};
  int64_t queue_ = 0;
  char drop_var_[20] = {};
  void* addresses_[10] = {&entry_,   &check_, &spin_,    &shown_, &inner_check_,
                          list_var_, &queue_, drop_var_, &queue_, nullptr};
  Window w_;
};

TEST_F(ControlsTest, EachControlIsAChildOfItsClassWithTheFieldPlus16384) {
  struct Want {
    int32_t field;
    const char* cls;
  };
  const Want want[] = {{1, "KorPrompt"}, {2, "KorEdit"},   {3, "KorButton"},  {6, "KorButton"},
                       {7, "KorCheck"},  {8, "KorEdit"},   {9, "KorString"},  {10, "KorString"},
                       {11, "KorGroup"}, {12, "KorCheck"}, {13, "KorButton"}, {15, "KorList"},
                       {17, "KorDrop"}};
  for (const Want& w : want) {
    SCOPED_TRACE(w.field);
    ASSERT_NE(Child(w.field), nullptr);
    EXPECT_EQ(GetDlgCtrlID(Child(w.field)), w.field + 16384);
    EXPECT_EQ(ClassOf(w.field), w.cls);
    EXPECT_EQ(w_.ControlByHandle(Child(w.field)), w_.ControlOf(w.field));
  }
  EXPECT_EQ(GetDlgCtrlID(Child(3)), 16387);
  EXPECT_EQ(TextOf(10), "A constant string");
}

TEST_F(ControlsTest, NoTabButtonIsSkippedAndTheLaterDefaultWins) {
  for (int32_t field : {2, 3, 5, 6, 7, 8, 13})
    EXPECT_TRUE(GetWindowLongA(Child(field), GWL_STYLE) & WS_TABSTOP) << field;
  EXPECT_FALSE(GetWindowLongA(Child(4), GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(GetNextDlgTabItem(w_.handle(), Child(3), FALSE), Child(5));
  EXPECT_EQ(w_.state().default_button, w_.ControlOf(5));
  EXPECT_EQ(GetWindowLongA(Child(5), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(Child(3), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(ControlsTest, AHeldRepeatButtonPostsAtTheIntervalAndAShortClickPostsOnce) {
  // Repeat 10 5: a delay of 100 ms, an interval of 50 ms.
  // Short click: down and up at once; a window of 600 ms, well past the
  // delay (the watchdog ends it), shows no second event.
  Recorder rec;
  PostMessageA(Child(6), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(Child(6), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  RunLoop(w_, rec.Body(), 600);
  EXPECT_EQ(Count(rec, kEventAccepted, 6), 1);

  // Held: the press posts one, then the delay and the interval add more
  // until it is released: four in one hold. A press takes the mouse capture,
  // which the platform gives only while the window is in the foreground;
  // with other programs' windows coming and going on the same display (tests
  // run side by side), a press that got no capture, or a hold another
  // program ended, is no hold: the test presses again until one hold ran, for
  // at most 10 s. A press the button never saw (no event, no capture) ends
  // its try after 2 s.
  int best = 0;
  DWORD start = GetTickCount();
  while (best < 4 && GetTickCount() - start < 10000) {
    SetForegroundWindow(w_.handle());
    Recorder held;
    PostMessageA(Child(6), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    LoopBody body = held.Body();
    RunLoop(
        w_,
        [&] {
          Pass p = body();
          int n = Count(held, kEventAccepted, 6);
          return n >= 4 || (n >= 1 && GetCapture() != Child(6)) ? Pass::kBreak : p;
        },
        2000);
    best = std::max(best, Count(held, kEventAccepted, 6));
    PostMessageA(Child(6), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    RunLoop(w_, Recorder().Body(), 100);  // the release is taken
  }
  EXPECT_GE(best, 4);
  Recorder after;
  RunLoop(w_, after.Body(), 300);
  EXPECT_LE(Count(after, kEventAccepted, 6), 1);  // at most a tick already queued
}

TEST_F(ControlsTest, TheCloseActionAsksToCloseInsteadOfPostingAccepted) {
  Recorder rec;
  PostMessageA(Child(14), BM_CLICK, 0, 0);
  RunUntil(rec, [&] { return Count(rec, kEventCloseWindow, 0) > 0; });
  EXPECT_EQ(Count(rec, kEventAccepted, 14), 0);
}

TEST_F(ControlsTest, AnEntryShowsItsPictureAndTakesTextBackOnLeaving) {
  EXPECT_EQ(TextOf(2), FormatLong(42, "@n6"));
  SetFocus(Child(2));
  SetWindowTextA(Child(2), "1234");
  Recorder rec;
  SetFocus(Child(3));
  RunUntil(rec, [&] { return Count(rec, kEventAccepted, 2) > 0; });
  EXPECT_EQ(entry_, 1234);
  EXPECT_EQ(TextOf(2), FormatLong(1234, "@n6"));

  SetFocus(Child(2));
  SetWindowTextA(Child(2), "12x4y");
  Recorder bad;
  SetFocus(Child(3));
  RunUntil(bad, [&] { return Count(bad, kEventRejected, 2) > 0; });
  EXPECT_EQ(entry_, 1234);
  EXPECT_EQ(Count(bad, kEventAccepted, 2), 0);
  EXPECT_EQ(TextOf(2), "12x4y");  // left for the user to correct
}

TEST_F(ControlsTest, CheckBoxesStoreTheirStateAndSpinBoxesStepWithinTheirRange) {
  Recorder rec;
  PostMessageA(Child(7), BM_CLICK, 0, 0);
  RunUntil(rec, [&] { return Count(rec, kEventAccepted, 7) > 0; });
  EXPECT_EQ(check_, 1);

  Recorder spin;
  for (int i = 0; i < 7; ++i) PostMessageA(Child(8), WM_KEYDOWN, VK_UP, 0);
  RunUntil(spin, [&] { return Count(spin, kEventNewSelection, 8) >= 7; });
  EXPECT_EQ(spin_, 10);  // 1, 3, 5, 7, 9, then the top of the range
  EXPECT_EQ(TextOf(8), FormatLong(10, "@n3"));
  Recorder down;
  PostMessageA(Child(8), WM_KEYDOWN, VK_DOWN, 0);
  RunUntil(down, [&] { return Count(down, kEventNewSelection, 8) >= 1; });
  EXPECT_EQ(spin_, 8);
}

TEST_F(ControlsTest, TheSpinBoxArrowsStepTheValue) {
  HWND arrows = FindWindowExA(Child(8), nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_NE(arrows, nullptr);
  RECT r;
  GetClientRect(arrows, &r);
  EXPECT_GT(r.right, 0);
  // The upper arrow.
  Recorder rec;
  PostMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, 1));
  PostMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, 1));
  RunUntil(rec, [&] { return Count(rec, kEventNewSelection, 8) > 0; });
  EXPECT_EQ(spin_, 3);
  EXPECT_EQ(TextOf(8), FormatLong(3, "@n3"));
}

TEST_F(ControlsTest, ABoundStringFormatsItsVariableOnRefresh) {
  EXPECT_EQ(TextOf(9), FormatLong(123456, "@n9.2"));
  shown_ = 7;
  w_.ControlOf(9)->Refresh();
  EXPECT_EQ(TextOf(9), FormatLong(7, "@n9.2"));
}

TEST_F(ControlsTest, EnterEscapeAndMnemonicsPressTheirButtons) {
  struct Case {
    WPARAM key;
    bool alt;
    int32_t field;  // the button whose EVENT:Accepted follows
  };
  const Case cases[] = {{VK_RETURN, false, 5},
                        {VK_ESCAPE, false, 13},
                        {'F', true, 3},
                        {'R', true, 6},
                        {'C', true, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    SetFocus(Child(2));
    Recorder rec;
    UINT msg = c.alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    PostMessageA(Child(2), msg, c.key, c.alt ? LPARAM(1) << 29 : 0);
    PostMessageA(Child(2), c.alt ? WM_SYSKEYUP : WM_KEYUP, c.key, c.alt ? LPARAM(1) << 29 : 0);
    RunUntil(rec, [&] { return Count(rec, kEventAccepted, c.field) > 0; });
    EXPECT_EQ(Count(rec, kEventAccepted, c.field), 1);
  }
  // A prompt's mnemonic moves the focus to the control after it.
  SetFocus(Child(3));
  PostMessageA(Child(3), WM_SYSKEYDOWN, 'N', LPARAM(1) << 29);
  Recorder rec;
  RunUntil(rec, [&] { return GetFocus() == Child(2); });
  EXPECT_EQ(GetFocus(), Child(2));
}

TEST_F(ControlsTest, ControlsWithATooltipAreToolsOfTheThreadsTooltipWindow) {
  HWND tip = ThreadTooltipWindow();
  ASSERT_NE(tip, nullptr);
  char cls[64] = {};
  GetClassNameA(tip, cls, sizeof cls);
  EXPECT_STREQ(cls, "tooltips_class32");
  EXPECT_TRUE(GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP);
  EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  struct Case {
    int32_t field;
    const char* text;
  };
  for (Case c : {Case{3, "The first button"}, Case{5, "The OK message"}, Case{6, "~alone"}}) {
    SCOPED_TRACE(c.field);
    char text[128] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = w_.handle();
    ti.uId = reinterpret_cast<UINT_PTR>(Child(c.field));
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, c.text);
  }
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
}

TEST_F(ControlsTest, AnImageTakesItsOwnSizeWhenTheRecordLeavesItOut) {
  EXPECT_EQ(ClassOf(16), "KorGraphic");
  RECT r;
  GetClientRect(Child(16), &r);
  // The icon's size rounded up to whole dialog units: at least the icon,
  // less than one unit more.
  int unit_x = MulDiv(1, w_.state().scale.horizontal, w_.state().scale.divisor) + 1;
  int unit_y = MulDiv(1, w_.state().scale.vertical, w_.state().scale.divisor) + 1;
  EXPECT_GE(r.right, GetSystemMetrics(SM_CXICON));
  EXPECT_LT(r.right, GetSystemMetrics(SM_CXICON) + unit_x);
  EXPECT_GE(r.bottom, GetSystemMetrics(SM_CYICON));
  EXPECT_LT(r.bottom, GetSystemMetrics(SM_CYICON) + unit_y);
}

TEST(ImagePlaceTest, StretchFillsCentreCentresAndPlainSitsTopLeft) {
  const RECT box = {10, 20, 110, 70};
  const SIZE image = {40, 30};
  struct Case {
    uint8_t options;
    RECT want;
  };
  const Case cases[] = {{0, {10, 20, 50, 50}},
                        {kImageStretch, {10, 20, 110, 70}},
                        {kImageCentre, {40, 30, 80, 60}},
                        {kImageTile, {10, 20, 50, 50}}};
  for (const Case& c : cases) {
    RECT at = ImagePlace(box, image, c.options);
    EXPECT_TRUE(EqualRect(&at, &c.want)) << int(c.options);
  }
}

TEST(TooltipsTest, ATildeTextShowsTheMessageWhenThereIsOne) {
  EXPECT_EQ(TooltipText("~x", "Message"), "Message");
  EXPECT_EQ(TooltipText("~x", ""), "~x");
  EXPECT_EQ(TooltipText("Plain", "Message"), "Plain");
  EXPECT_EQ(TooltipText("", "Message"), "");
}

TEST(DialogKeysTest, MnemonicsAreTheCharacterAfterASingleAmpersand) {
  EXPECT_EQ(MnemonicOf("&OK"), 'O');
  EXPECT_EQ(MnemonicOf("Chan&ge"), 'G');
  EXPECT_EQ(MnemonicOf("Gen && Make"), 0);
  EXPECT_EQ(MnemonicOf("A && &B"), 'B');
  EXPECT_EQ(MnemonicOf("trailing&"), 0);
  EXPECT_EQ(MnemonicOf(""), 0);
}

}  // namespace
}  // namespace kor

// The drop-down list on real windows (test$CTLTEST, C$DROP): its class and
// events, keys with the list closed and dropped, a click in the dropped
// list, Enter and Escape closing it instead of pressing buttons, and the
// selection that follows the bound variable.
#include "ui/controls/drop_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/values/data_types.h"
#include "ui/controls/control_library.h"
#include "ui/controls/list_box.h"
#include "ui/controls/list_queue.h"
#include "ui/properties.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

struct Row {
  char name[20];
  int32_t size;
};
constexpr QueueField kFields[] = {
    {.type = kTypeString, .offset = 0, .size = 20},
    {.type = kTypeLong, .offset = 20, .size = 4},
};
constexpr int kRows = 10;

class DropListTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    constexpr uint8_t kinds[] = {kRecList, kRecButton};
    RegisterLibraryControlKinds(kinds, 2);
  }
  void SetUp() override {
    const char* names[kRows] = {"Alpha",   "Bravo", "Charlie", "Delta", "Echo",
                                "Foxtrot", "Golf",  "Hotel",   "India", "Juliet"};
    for (int i = 0; i < kRows; ++i) {
      Row r = {};
      memset(r.name, ' ', sizeof r.name);
      memcpy(r.name, names[i], strlen(names[i]));
      r.size = (i + 1) * 100;
      queue_.Append(&r);
    }
    memset(bound_, ' ', sizeof bound_);
    w_.Declare("test$CTLTEST", "C$DROP", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override { w_.Close(); }
  HWND Field() { return GetDlgItem(w_.handle(), 1 + kControlIdBase); }
  HWND Popup() { return GetDlgItem(w_.handle(), kDropListId); }
  bool Dropped() { return SendMessageA(Field(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
  void RunUntil(Recorder& rec, const std::function<bool()>& done) {
    ASSERT_TRUE(RunLoop(w_, [&] {
      Pass p = rec.Body()();
      return done() ? Pass::kBreak : p;
    }));
  }
  static int Count(const Recorder& rec, int32_t event, int32_t field) {
    const auto& all = rec.all();
    return int(std::count_if(all.begin(), all.end(), [&](const testing::Seen& s) {
      return s.event == event && s.field == field;
    }));
  }
  // Runs `attempt` until one try ran with this window active throughout, for
  // at most 10 s; returns the last try's verdict. A dropped list closes when
  // its window loses the activation, which other programs' windows coming up
  // on the same display (tests run side by side) can take at any moment: a
  // try they interrupted proves nothing either way.
  bool Uninterrupted(const std::function<bool()>& attempt) {
    DWORD start = GetTickCount();
    bool ok = false;
    do {
      SetForegroundWindow(w_.handle());
      activations_lost_ = 0;
      ok = attempt();
      if (activations_lost_ == 0 && GetForegroundWindow() == w_.handle()) return ok;
    } while (GetTickCount() - start < 10000);
    return ok;
  }
  // Runs the loop (no assertion: a try may be cut short) until `done`.
  void RunTry(Recorder& rec, const std::function<bool()>& done) {
    RunLoop(
        w_,
        [&] {
          Pass p = rec.Body()();
          if (GetForegroundWindow() != w_.handle()) ++activations_lost_;
          return done() ? Pass::kBreak : p;
        },
        2000);
  }
  int activations_lost_ = 0;
  // Posts a key to the field (through the loop, as the user's would come)
  // and runs until `event` arrives for `field`.
  void Key(Recorder& rec, UINT msg, WPARAM key, int32_t event, int32_t field = 1) {
    SetFocus(Field());
    PostMessageA(Field(), msg, key, msg == WM_SYSKEYDOWN ? (1 << 29) : 0);
    RunUntil(rec, [&] { return Count(rec, event, field) > 0; });
  }
  std::string Bound() {
    std::string v(bound_, sizeof bound_);
    return v.substr(0, v.find_last_not_of(' ') + 1);
  }

  Queue queue_{sizeof(Row)};
  QueueBinding binding_ = {&queue_, kFields, 2};
  char bound_[20];
  char lower_[20] = {};
  void* addresses_[5] = {bound_, &binding_, lower_, &binding_, nullptr};
  Window w_;
};

TEST_F(DropListTest, IsAKorDropWithTheFieldsIdentifierAndNoSelection) {
  char cls[32] = {};
  ASSERT_NE(Field(), nullptr);
  GetClassNameA(Field(), cls, sizeof cls);
  EXPECT_STREQ(cls, "KorDrop");
  EXPECT_EQ(GetDlgCtrlID(Field()), 16385);
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 0);
  EXPECT_EQ(SendMessageA(Field(), LB_GETCOUNT, 0, 0), kRows);
  EXPECT_EQ(SendMessageA(Field(), WM_GETDLGCODE, 0, 0), kListDialogCode);
  EXPECT_EQ(GetPropertyValue(1, kPropListRows, 0), "4");
  EXPECT_FALSE(Dropped());
}

TEST_F(DropListTest, KeysMoveTheClosedSelectionAndFillTheDesignatedColumn) {
  struct Case {
    WPARAM key;
    int32_t choice;
  };
  // From no selection: Down takes the first row; Page Down moves by the
  // drop count (4); End the last, Home the first, Up stays on the first.
  const Case cases[] = {{VK_DOWN, 1}, {VK_DOWN, 2},  {VK_NEXT, 6}, {VK_END, kRows},
                        {VK_UP, 9},   {VK_PRIOR, 5}, {VK_HOME, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Recorder rec;
    Key(rec, WM_KEYDOWN, c.key, kEventNewSelection);
    EXPECT_EQ(w_.ControlOf(1)->Choice(), c.choice);
    EXPECT_EQ(Bound(), std::to_string(c.choice * 100));
    EXPECT_FALSE(Dropped());
  }
  char text[64] = {};
  GetWindowTextA(Field(), text, sizeof text);
  EXPECT_STREQ(text, "Alpha\t100");  // cells without their blanks
}

TEST_F(DropListTest, DroppingPostsDroppingDownThenDroppedDownAndShowsTheDropCount) {
  Recorder rec;
  Key(rec, WM_SYSKEYDOWN, VK_DOWN, kEventDroppedDown);
  std::vector<int32_t> events = rec.Events();
  auto down = std::find(events.begin(), events.end(), kEventDroppingDown);
  auto dropped = std::find(events.begin(), events.end(), kEventDroppedDown);
  ASSERT_NE(down, events.end());
  EXPECT_LT(down, dropped);
  ASSERT_TRUE(Dropped());
  ASSERT_NE(Popup(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Popup()));
  // Four rows and the header, under the field.
  RECT field, popup, client;
  GetWindowRect(Field(), &field);
  GetWindowRect(Popup(), &popup);
  GetClientRect(Popup(), &client);
  EXPECT_EQ(popup.top, field.bottom);
  EXPECT_EQ(popup.left, field.left);
  HDC dc = GetDC(Field());
  HGDIOBJ old = SelectObject(dc, w_.state().font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(Field(), dc);
  EXPECT_EQ(client.bottom, (tm.tmHeight + 4) + 4 * (tm.tmHeight + 2));
  // F4 closes it again; the selection did not change.
  SendMessageA(Field(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Popup(), nullptr);
  EXPECT_EQ(Count(rec, kEventNewSelection, 1), 0);
}

TEST_F(DropListTest, WithoutRoomBelowTheListDropsAboveTheField) {
  HWND lower = GetDlgItem(w_.handle(), 4 + kControlIdBase);
  SendMessageA(lower, CB_SHOWDROPDOWN, 1, 0);
  ASSERT_NE(Popup(), nullptr);
  RECT field, popup, client;
  GetWindowRect(lower, &field);
  GetWindowRect(Popup(), &popup);
  GetClientRect(Popup(), &client);
  EXPECT_EQ(popup.bottom, field.top);
  EXPECT_GT(client.bottom, 0);
  POINT corner = {popup.left, popup.top};
  ScreenToClient(w_.handle(), &corner);
  EXPECT_GE(corner.y, 0);  // inside the window
  SendMessageA(lower, CB_SHOWDROPDOWN, 0, 0);
  EXPECT_EQ(Popup(), nullptr);
}

TEST_F(DropListTest, AClickOnADroppedRowSelectsItAndClosesTheList) {
  w_.ControlOf(1)->SetProperty(kPropListSelected, 0, "2");
  SendMessageA(Field(), CB_SHOWDROPDOWN, 1, 0);
  ASSERT_NE(Popup(), nullptr);
  HDC dc = GetDC(Field());
  HGDIOBJ old = SelectObject(dc, w_.state().font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(Field(), dc);
  // The list starts with the selected row (2) at its top: the third row
  // shown is row 4.
  int y = (tm.tmHeight + 4) + 2 * (tm.tmHeight + 2) + (tm.tmHeight + 2) / 2;
  EXPECT_TRUE(Uninterrupted([&] {
    w_.ControlOf(1)->SetProperty(kPropListSelected, 0, "2");
    SendMessageA(Field(), CB_SHOWDROPDOWN, 1, 0);
    Recorder rec;
    PostMessageA(Popup(), WM_LBUTTONUP, 0, MAKELPARAM(10, y));
    RunTry(rec, [&] { return Count(rec, kEventNewSelection, 1) > 0; });
    return w_.ControlOf(1)->Choice() == 4 && Bound() == "400" && !Dropped();
  }));
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 4);
  EXPECT_EQ(Bound(), "400");
}

TEST_F(DropListTest, EnterAndEscapeCloseTheDroppedListWithoutPressingButtons) {
  for (WPARAM key : {WPARAM(VK_ESCAPE), WPARAM(VK_RETURN)}) {
    SCOPED_TRACE(key);
    int cancel = 0, ok = 0;
    EXPECT_TRUE(Uninterrupted([&] {
      SetFocus(Field());
      SendMessageA(Field(), CB_SHOWDROPDOWN, 1, 0);
      if (!Dropped()) return false;
      if ((SendMessageA(Field(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS) != DLGC_WANTALLKEYS)
        return false;
      Recorder rec;
      PostMessageA(Field(), WM_KEYDOWN, key, 0);
      PostMessageA(w_.handle(), WM_TIMER, 1, 0);  // a marker after the key
      RunTry(rec, [&] { return Count(rec, kEventTimer, 0) > 0; });
      cancel = Count(rec, kEventAccepted, 2);
      ok = Count(rec, kEventAccepted, 3);
      return Count(rec, kEventTimer, 0) > 0 && !Dropped();
    }));
    EXPECT_EQ(cancel, 0);  // Cancel
    EXPECT_EQ(ok, 0);      // the default OK
  }
  // Closed, Escape presses Cancel and Enter the default button.
  Recorder esc;
  Key(esc, WM_KEYDOWN, VK_ESCAPE, kEventAccepted, 2);
  Recorder enter;
  Key(enter, WM_KEYDOWN, VK_RETURN, kEventAccepted, 3);
}

TEST_F(DropListTest, RefreshSelectsTheRowOfTheVariableAndTypingLocatesByTheFirstColumn) {
  memcpy(bound_, "700", 3);
  w_.ControlOf(1)->Refresh();
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 7);
  Recorder rec;
  SetFocus(Field());
  PostMessageA(Field(), WM_CHAR, 'c', 0);
  RunUntil(rec, [&] { return Count(rec, kEventNewSelection, 1) > 0; });
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 3);  // Charlie, after wrapping round
  EXPECT_EQ(Bound(), "300");
  memcpy(bound_, "nothing   ", 10);
  w_.ControlOf(1)->Refresh();
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 3);  // no row matches: kept
}

}  // namespace
}  // namespace kor

// The list box on real windows (test$CTLTEST, C$LISTS): rows from the queue
// through the column pictures, selection with EVENT:NewSelection and the
// bound variable, keys in a list that scrolls itself and in one the program
// scrolls, the thumb's events, the properties and the dialog code.
#include "ui/controls/list_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "ui/controls/control_library.h"
#include "ui/controls/list_queue.h"
#include "ui/plain_controls.h"
#include "ui/properties.h"
#include "ui/thread_state.h"
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

class ListBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    constexpr uint8_t kinds[] = {kRecList};
    RegisterLibraryControlKinds(kinds, 1);
  }
  void SetUp() override {
    for (int i = 0; i < 40; ++i) {
      Row r = {};
      memset(r.name, ' ', sizeof r.name);
      std::string name = "Row " + std::to_string(i + 1);
      memcpy(r.name, name.data(), name.size());
      r.size = (i + 1) * 1000;
      queue_.Append(&r);
    }
    w_.Declare("test$CTLTEST", "C$LISTS", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override { w_.Close(); }
  HWND Child(int32_t field) { return GetDlgItem(w_.handle(), field + kControlIdBase); }
  std::string RowText(int32_t field, int row) {
    char text[256] = {};
    SendMessageA(Child(field), LB_GETTEXT, WPARAM(row), LPARAM(text));
    return text;
  }
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
  // Posts a key and runs the loop until `event` arrives for `field`.
  void Key(Recorder& rec, int32_t field, WPARAM key, int32_t event) {
    SetFocus(Child(field));
    PostMessageA(Child(field), WM_KEYDOWN, key, 0);
    RunUntil(rec, [&] { return Count(rec, event, field) > 0; });
  }
  std::string Selected(int32_t field) {
    std::string v;
    w_.ControlOf(field)->GetProperty(kPropListSelected, 0, &v);
    return v;
  }

  Queue queue_{sizeof(Row)};
  QueueBinding binding_ = {&queue_, kFields, 2};
  char bound_[20] = {};
  void* addresses_[4] = {bound_, &binding_, &binding_, nullptr};
  Window w_;
};

TEST_F(ListBoxTest, RowsShowTheQueueThroughTheColumnPictures) {
  char cls[32] = {};
  ASSERT_NE(w_.ControlOf(1), nullptr);
  ASSERT_NE(w_.ControlOf(1)->handle(), nullptr) << GetLastError();
  GetClassNameA(Child(1), cls, sizeof cls);
  EXPECT_STREQ(cls, "KorList");
  EXPECT_EQ(SendMessageA(Child(1), LB_GETCOUNT, 0, 0), 40);
  std::string size = FormatLong(3000, "@n6");
  size.erase(size.find_last_not_of(' ') + 1);
  EXPECT_EQ(RowText(1, 2), "Row 3\t" + size);
  EXPECT_EQ(SendMessageA(Child(1), WM_GETDLGCODE, 0, 0), kListDialogCode);
  std::string rows;
  ASSERT_TRUE(w_.ControlOf(1)->GetProperty(kPropListRows, 0, &rows));
  EXPECT_GT(atoi(rows.c_str()), 2);
  EXPECT_LT(atoi(rows.c_str()), 40);
  EXPECT_EQ(w_.ControlOf(1)->Choice(), 0);
}

TEST_F(ListBoxTest, AClickSelectsPostsNewSelectionAndFillsTheDesignatedColumn) {
  // The documented layout: a one-line header (font height + 4), then rows of
  // the font height + 2. The middle of the third row:
  HDC dc = GetDC(Child(1));
  HGDIOBJ old = SelectObject(dc, w_.state().font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(Child(1), dc);
  int y = (tm.tmHeight + 4) + 2 * (tm.tmHeight + 2) + (tm.tmHeight + 2) / 2;
  Recorder rec;
  PostMessageA(Child(1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
  RunUntil(rec, [&] { return Count(rec, kEventNewSelection, 1) > 0; });
  int32_t choice = w_.ControlOf(1)->Choice();
  EXPECT_EQ(choice, 3);
  // The second column is the designated one: its value, blank-padded.
  std::string want = std::to_string(choice * 1000);
  want.resize(sizeof bound_, ' ');
  EXPECT_EQ(std::string(bound_, sizeof bound_), want);
  Recorder dbl;
  PostMessageA(Child(1), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, y));
  RunUntil(dbl, [&] { return Count(dbl, kEventAccepted, 1) > 0; });
}

TEST_F(ListBoxTest, KeysMoveTheSelectionOfAListThatScrollsItself) {
  Recorder rec;
  Key(rec, 1, VK_END, kEventNewSelection);
  EXPECT_EQ(Selected(1), "40");
  Recorder up;
  Key(up, 1, VK_UP, kEventNewSelection);
  EXPECT_EQ(Selected(1), "39");
  Recorder home;
  Key(home, 1, VK_HOME, kEventNewSelection);
  EXPECT_EQ(Selected(1), "1");
  Recorder enter;
  Key(enter, 1, VK_RETURN, kEventAccepted);
  EXPECT_EQ(Count(enter, kEventAccepted, 1), 1);
}

TEST_F(ListBoxTest, AProgramScrolledListTurnsKeysIntoEventsAndKeepsItsSelection) {
  w_.ControlOf(2)->SetProperty(kPropListSelected, 0, "3");
  struct Case {
    WPARAM key;
    bool ctrl;
    int32_t event;
  };
  const Case cases[] = {
      {VK_HOME, false, kEventScrollTop}, {VK_END, false, kEventScrollBottom},
      {VK_UP, false, kEventScrollUp},    {VK_DOWN, false, kEventScrollDown},
      {VK_PRIOR, false, kEventPageUp},   {VK_NEXT, false, kEventPageDown},
      {VK_PRIOR, true, kEventScrollTop}, {VK_NEXT, true, kEventScrollBottom},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key * 10 + c.ctrl);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    Recorder rec;
    Key(rec, 2, c.key, c.event);
    EXPECT_EQ(Count(rec, kEventNewSelection, 2), 0);
    EXPECT_EQ(Selected(2), "3");
  }
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  Recorder locate;
  PostMessageA(Child(2), WM_CHAR, 'm', 0);
  RunUntil(locate, [&] { return Count(locate, kEventLocate, 2) > 0; });
  EXPECT_EQ(Selected(2), "3");
  Recorder drag;
  PostMessageA(Child(2), WM_VSCROLL, SB_THUMBTRACK, 0);
  PostMessageA(Child(2), WM_VSCROLL, SB_THUMBPOSITION, 0);
  RunUntil(drag, [&] { return Count(drag, kEventScrollDrag, 2) > 0; });
  EXPECT_EQ(Count(drag, kEventScrollTrack, 2), 1);
}

// The thumb of a program-scrolled list: the program's place shows on the
// scroll bar, a release leaves its own place for EVENT:ScrollDrag, and places
// outside 0..100 are held to it.
TEST_F(ListBoxTest, TheThumbOfAProgramScrolledListCarriesItsPlace) {
  Control* list = w_.ControlOf(2);
  std::string v;
  for (const auto& [set, want] : {std::pair{"37", 37}, {"0", 0}, {"250", 100}, {"-4", 0}}) {
    list->SetProperty(kPropListThumb, 0, set);
    ASSERT_TRUE(list->GetProperty(kPropListThumb, 0, &v));
    EXPECT_EQ(atoi(v.c_str()), want) << set;
    EXPECT_EQ(GetScrollPos(Child(2), SB_VERT), want) << set;
  }
  Recorder drag;
  PostMessageA(Child(2), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 64), 0);
  RunUntil(drag, [&] { return Count(drag, kEventScrollDrag, 2) > 0; });
  list->GetProperty(kPropListThumb, 0, &v);
  EXPECT_EQ(v, "64");
}

// The right button selects the row under it and always asks with
// EVENT:NewSelection (the program's pop-up); the window text is the
// selected row.
TEST_F(ListBoxTest, TheRightButtonAsksForThePopupOnEveryPress) {
  w_.ControlOf(2)->SetProperty(kPropListSelected, 0, "1");
  char text[256] = {};
  SendMessageA(Child(2), WM_GETTEXT, sizeof text, LPARAM(text));
  EXPECT_EQ(std::string(text), RowText(2, 0));
  for (int press = 0; press < 2; ++press) {
    Recorder rec;
    PostMessageA(Child(2), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 60));
    RunUntil(rec, [&] { return Count(rec, kEventNewSelection, 2) > 0; });
  }
  std::string selected = Selected(2);
  EXPECT_NE(selected, "1");
  EXPECT_NE(selected, "0");
  SendMessageA(Child(2), WM_GETTEXT, sizeof text, LPARAM(text));
  EXPECT_EQ(std::string(text), RowText(2, atoi(selected.c_str()) - 1));
}

}  // namespace
}  // namespace kor

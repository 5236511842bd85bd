// Icons, tree columns and column sizing of the list box on a real window
// (test$CTLTEST, C$TREE): the icon list set by number from the program's
// resources, icons drawn only where a row names a loaded icon, the expand
// boxes' events, and sizing a resizable column by its header edge.
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
#include "ui/controls/list_view.h"
#include "ui/images.h"
#include "ui/properties.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

constexpr char kCheck[] = "~c:\\korvane5\\images\\check.ico";
constexpr COLORREF kCheckGreen = RGB(80, 200, 80);  // images.txt, the mark's "L"

// Queue fields: 1 tag, 2 icon number, 3 name, 4 tree level, 5 size.
constexpr int kRowSize = 31;
constexpr QueueField kFields[] = {
    {.type = kTypeString, .offset = 0, .size = 1},  {.type = kTypeShort, .offset = 1, .size = 2},
    {.type = kTypeString, .offset = 3, .size = 20}, {.type = kTypeLong, .offset = 23, .size = 4},
    {.type = kTypeLong, .offset = 27, .size = 4},
};

struct RowSpec {
  int16_t icon;
  const char* name;
  int32_t level;
};
// An expanded parent with two children, a contracted parent, a leaf whose
// icon number has no icon.
constexpr RowSpec kRows[] = {
    {1, "Projects", 1},      {0, "MXB.APP", 2}, {1, "TOOLS.APP", 2},
    {0, "Dictionaries", -1}, {2, "Reports", 1},
};

class ListTreeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    constexpr uint8_t kinds[] = {kRecList};
    RegisterLibraryControlKinds(kinds, 1);
  }
  void SetUp() override {
    for (const RowSpec& spec : kRows) {
      char row[kRowSize];
      memset(row, ' ', sizeof row);
      memcpy(row + 1, &spec.icon, 2);
      memcpy(row + 3, spec.name, strlen(spec.name));
      memcpy(row + 23, &spec.level, 4);
      int32_t size = 100;
      memcpy(row + 27, &size, 4);
      queue_.Append(row);
    }
    w_.Declare("test$CTLTEST", "C$TREE", addresses_);
    ASSERT_TRUE(w_.Open());
    HDC dc = GetDC(List());
    HGDIOBJ old = SelectObject(dc, w_.state().font);
    GetTextMetricsA(dc, &tm_);
    SelectObject(dc, old);
    ReleaseDC(List(), dc);
  }
  void TearDown() override { w_.Close(); }
  HWND List() { return GetDlgItem(w_.handle(), 1 + kControlIdBase); }
  int HeaderHeight() const { return tm_.tmHeight + 4; }
  int RowHeight() const {
    return std::max<int>(tm_.tmHeight + 2, GetSystemMetrics(SM_CYSMICON) + 2);
  }
  int RowMiddle(int row) const { return HeaderHeight() + row * RowHeight() + RowHeight() / 2; }
  int Width(int column) { return atoi(GetPropertyValue(1, kPropListColumnWidth, column).c_str()); }
  void RunUntil(Recorder& rec, const std::function<bool()>& done) {
    ASSERT_TRUE(RunLoop(w_, [&] {
      Pass p = rec.Body()();
      return done() ? Pass::kBreak : p;
    }));
  }
  // Runs the loop until a marker (a tick of the window's timer) posted
  // after the messages posted so far has come through.
  void Settle(Recorder& rec) {
    PostMessageA(w_.handle(), WM_TIMER, 1, 0);
    RunUntil(rec, [&] { return !rec.all().empty() && rec.all().back().event == kEventTimer; });
  }
  // The program's events without the marker, the opening and the focus's
  // companions.
  static std::vector<int32_t> Events(const Recorder& rec) {
    std::vector<int32_t> out = rec.Events();
    for (int32_t drop : {kEventTimer, kEventOpenWindow})
      out.erase(std::remove(out.begin(), out.end(), drop), out.end());
    return out;
  }
  // Whether the first column's cell of `row` shows a pixel of the mark, in
  // the list painted into a bitmap (WM_PRINTCLIENT).
  bool ShowsMark(int row) {
    RECT client;
    GetClientRect(List(), &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(List(), WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    int top = HeaderHeight() + row * RowHeight();
    bool found = false;
    for (int y = top; y < top + RowHeight() && !found; ++y)
      for (int x = 0; x < Width(1) && !found; ++x) found = GetPixel(dc, x, y) == kCheckGreen;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return found;
  }

  Queue queue_{kRowSize};
  QueueBinding binding_ = {&queue_, kFields, 5};
  void* addresses_[2] = {&binding_, nullptr};
  Window w_;
  TEXTMETRICA tm_ = {};
};

TEST_F(ListTreeTest, IconsAreSetByNumberFromTheProgramsResources) {
  EXPECT_EQ(ImageResourceName(kCheck), "c:\\korvane5\\images\\check_ico");
  struct Case {
    int32_t number;
    const char* name;
    const char* reads;
  };
  const Case cases[] = {
      {1, kCheck, kCheck},           // the program's icon resource
      {2, "~c:\\no\\such.ico", ""},  // not in the program: none
      {3, "~" __FILE__, ""},         // "~": never read from the disk
      {0, kCheck, ""},               // numbers start at 1
      {1, "", ""},                   // removing it
      {1, kCheck, kCheck},           // and setting it again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    SetPropertyValue(1, kPropListIcon, c.number, c.name);
    EXPECT_EQ(GetPropertyValue(1, kPropListIcon, c.number), c.reads);
  }
}

TEST_F(ListTreeTest, AnIconColumnDrawsTheIconItsRowNames) {
  EXPECT_FALSE(ShowsMark(0));  // no icon 1 yet
  SetPropertyValue(1, kPropListIcon, 1, kCheck);
  const bool want[] = {true, false, true, false, false};  // icons 1, 0, 1, 0, 2
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ShowsMark(row), want[row]);
  }
}

TEST_F(ListTreeTest, TheExpandBoxesAskTheProgramToExpandOrContract) {
  int step = GetSystemMetrics(SM_CXSMICON);
  struct Case {
    int row;
    std::vector<int32_t> events;
  };
  const Case cases[] = {
      {3, {kEventNewSelection, kEventExpanding, kEventExpanded}},      // contracted
      {0, {kEventNewSelection, kEventContracting, kEventContracted}},  // expanded
      {4, {kEventNewSelection}},                                       // a leaf
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    int level = std::abs(kRows[c.row].level);
    int x = Width(1) + 2 + (level - 1) * step + step / 2;
    Recorder rec;
    PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, RowMiddle(c.row)));
    Settle(rec);
    EXPECT_EQ(Events(rec), c.events);
    EXPECT_EQ(w_.ControlOf(1)->Choice(), c.row + 1);
  }
  // The keys: "+" on the contracted row expands, "-" asks nothing of it.
  w_.ControlOf(1)->SetProperty(kPropListSelected, 0, "4");
  Recorder plus;
  PostMessageA(List(), WM_KEYDOWN, VK_ADD, 0);
  PostMessageA(List(), WM_KEYDOWN, VK_SUBTRACT, 0);
  Settle(plus);
  EXPECT_EQ(Events(plus), (std::vector<int32_t>{kEventExpanding, kEventExpanded}));
}

TEST_F(ListTreeTest, DraggingAResizableHeaderEdgeResizesAndPostsColumnResize) {
  int first = Width(1);
  int second = Width(2);
  int edge = first + second;  // the right edge of the name column
  Recorder rec;
  PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, 2));
  PostMessageA(List(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + 30, 2));
  PostMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(edge + 30, 2));
  Settle(rec);
  EXPECT_EQ(Events(rec), std::vector<int32_t>{kEventColumnResize});
  EXPECT_EQ(Width(2), second + 30);
  EXPECT_EQ(Width(1), first);
  // The first column has no "M": its edge is no grip, and the click in the
  // header selects nothing.
  Recorder fixed;
  PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first, 2));
  PostMessageA(List(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first + 20, 2));
  PostMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(first + 20, 2));
  Settle(fixed);
  EXPECT_EQ(Events(fixed), std::vector<int32_t>{});
  EXPECT_EQ(Width(1), first);
  // The program sets a width: no event, and never below the minimum.
  Recorder set;
  SetPropertyValue(1, kPropListColumnWidth, 3, "1");
  Settle(set);
  EXPECT_EQ(Width(3), kMinColumnWidth);
  EXPECT_EQ(Events(set), std::vector<int32_t>{});
  EXPECT_EQ(GetPropertyValue(1, kPropListColumnWidth, 9), "");
}

}  // namespace
}  // namespace kor

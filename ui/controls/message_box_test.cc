// The message box: button lists and answers, and real boxes under
// the platform driven from a second thread (labels, identifiers, default
// style, the text's lines, the answer of the pressed button, focus back).
#include "ui/controls/message_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/error_state.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/locale/environment.h"
#include "runtime/values/string_stack.h"
#include "ui/controls/control_class.h"
#include "ui/controls/controls_init.h"
#include "ui/controls/message_box_buttons.h"

namespace kor {
namespace {

std::vector<std::string> Labels(const MessageBoxButtons& set) {
  std::vector<std::string> out;
  for (const MessageBoxButton& b : set.buttons) out.push_back(b.label);
  return out;
}
std::vector<int32_t> Results(const MessageBoxButtons& set) {
  std::vector<int32_t> out;
  for (const MessageBoxButton& b : set.buttons) out.push_back(b.result);
  return out;
}

TEST(MessageBoxButtonsTest, ButtonListsGiveTheirButtonsResultsAndDefault) {
  struct Case {
    const char* spec;
    int32_t default_arg;
    std::vector<std::string> labels;
    std::vector<int32_t> results;
    int default_index;
  };
  const Case cases[] = {
      {"0", 0, {"OK"}, {1}, 0},
      {"", 0, {"OK"}, {1}, 0},
      {"   ", 0, {"OK"}, {1}, 0},
      {"6", 0, {"&Yes", "&No"}, {6, 7}, 0},
      {"6", 4, {"&Yes", "&No"}, {6, 7}, 1},
      {"6", 64, {"&Yes", "&No"}, {6, 7}, 0},  // names no present button
      {"255",
       128,
       {"OK", "&Yes", "&No", "&Abort", "&Retry", "&Ignore", "Cancel", "&Help"},
       {1, 6, 7, 3, 4, 5, 2, 9},
       7},
      {"256", 0, {"OK"}, {1}, 0},  // no known bit
      {"65", 0, {"OK", "Cancel"}, {1, 2}, 0},
      // Ten digits are read (9999999999 = 0x2540BE3FF): the low byte counts.
      {"99999999999999999999",
       0,
       {"OK", "&Yes", "&No", "&Abort", "&Retry", "&Ignore", "Cancel", "&Help"},
       {1, 6, 7, 3, 4, 5, 2, 9},
       0},
      {"Save|&no|Discard", 3, {"Save", "&no", "Discard"}, {100, 7, 101}, 2},
      {"Save|&No|Discard", 9, {"Save", "&No", "Discard"}, {100, 7, 101}, 0},
      {"&No|&No", 0, {"&No", "&No"}, {7, 100}, 0},  // a result is not given twice
      {"A |B", 2, {"A", "B"}, {100, 101}, 1},
      {"|", 0, {"", ""}, {100, 101}, 0},
      {"1|2", 0, {"OK"}, {1}, 0},  // a digit first: a bit set
      {"a|b|c|d|e|f|g|h|i|j",
       0,
       {"a", "b", "c", "d", "e", "f", "g", "h"},
       {100, 101, 102, 103, 104, 105, 106, 107},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spec);
    MessageBoxButtons set = ParseMessageBoxButtons(c.spec, c.default_arg);
    EXPECT_EQ(Labels(set), c.labels);
    EXPECT_EQ(Results(set), c.results);
    EXPECT_EQ(set.default_index, c.default_index);
  }
}

TEST(MessageBoxButtonsTest, AnswersAreBitsForSetsAndPositionsForLists) {
  MessageBoxButtons set = ParseMessageBoxButtons("70", 0);  // Yes, No, Cancel
  EXPECT_EQ(MessageBoxAnswer(set, 6), 2);
  EXPECT_EQ(MessageBoxAnswer(set, 7), 4);
  EXPECT_EQ(MessageBoxAnswer(set, 2), 64);
  EXPECT_EQ(MessageBoxAnswer(set, 1), 0);  // OK is not in the box
  EXPECT_EQ(MessageBoxAnswer(set, 0), 0);
  MessageBoxButtons list = ParseMessageBoxButtons("Keep|&No|Drop", 0);
  EXPECT_EQ(MessageBoxAnswer(list, 100), 1);
  EXPECT_EQ(MessageBoxAnswer(list, 7), 2);
  EXPECT_EQ(MessageBoxAnswer(list, 101), 3);
  EXPECT_EQ(MessageBoxAnswer(list, 6), 0);
}

TEST(MessageBoxButtonsTest, ReplacementLabelsComeFromTheMessageTexts) {
  SetMessageText(kButtonMessageBase + 1, "&Ja");
  SetMessageText(kButtonMessageBase + 2, "&Nein");
  MessageBoxButtons set = ParseMessageBoxButtons("6", 0);
  EXPECT_EQ(Labels(set), (std::vector<std::string>{"&Ja", "&Nein"}));
  // A list text equal to the replacement keeps the standard result.
  EXPECT_EQ(Results(ParseMessageBoxButtons("x|&nein", 0)), (std::vector<int32_t>{100, 7}));
  InitErrorState(1);  // drops the override list
  InitErrorState(0);
  EXPECT_EQ(Labels(ParseMessageBoxButtons("6", 0)), (std::vector<std::string>{"&Yes", "&No"}));
}

TEST(MessageBoxButtonsTest, BarsBecomeLineBreaks) {
  EXPECT_EQ(BarsToLineBreaks("one|two"), "one\r\ntwo");
  EXPECT_EQ(BarsToLineBreaks("||"), "\r\n\r\n");
  EXPECT_EQ(BarsToLineBreaks("none"), "none");
}

// ---- real boxes ----------------------------------------------------------

struct BoxButton {
  std::string text;
  int id;
  bool is_default;
  RECT rect;
};

struct SeenBox {
  std::string text;
  std::vector<BoxButton> buttons;
  bool has_icon = false;
  bool system_modal = false;
  int focus_id = 0;
  RECT text_rect = {};
};

std::string TextOf(HWND w) {
  char buf[512] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
  auto* seen = reinterpret_cast<SeenBox*>(lp);
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  int id = GetDlgCtrlID(child);
  RECT r;
  GetWindowRect(child, &r);
  if (lstrcmpiA(cls, "Button") == 0) {
    LONG style = GetWindowLongA(child, GWL_STYLE);
    seen->buttons.push_back({TextOf(child), id, (style & 0xF) == BS_DEFPUSHBUTTON, r});
  } else if (id == kMessageBoxTextId) {
    seen->text = TextOf(child);
    seen->text_rect = r;
  } else if (id == kMessageBoxIconId) {
    seen->has_icon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
  }
  return TRUE;
}

struct FindArg {
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindBox(HWND w, LPARAM lp) {
  auto* arg = reinterpret_cast<FindArg*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 && TextOf(w) == arg->caption &&
      IsWindowVisible(w)) {
    arg->found = w;
    return FALSE;
  }
  return TRUE;
}

// From a second thread: waits (bounded) for the box, reads it, then presses
// the button with identifier `press` (0: sends Escape's IDCANCEL).
class BoxDriver {
 public:
  BoxDriver(const char* caption, int press) {
    thread_ = std::thread([this, caption, press] { Drive(caption, press); });
  }
  ~BoxDriver() {
    if (thread_.joinable()) thread_.join();
  }
  SeenBox Seen() {
    thread_.join();
    return seen_;
  }
  bool found() const { return found_; }

 private:
  void Drive(const char* caption, int press) {
    FindArg arg = {caption, nullptr};
    for (int i = 0; i < 1000 && arg.found == nullptr; ++i) {
      EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&arg));
      if (arg.found == nullptr) Sleep(10);  // polling, bounded to 10 s
    }
    if (arg.found == nullptr) return;
    found_ = true;
    EnumChildWindows(arg.found, &CollectChild, reinterpret_cast<LPARAM>(&seen_));
    seen_.system_modal = (GetWindowLongA(arg.found, GWL_STYLE) & DS_SYSMODAL) != 0;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(arg.found, nullptr), &gui) && gui.hwndFocus)
      seen_.focus_id = GetDlgCtrlID(gui.hwndFocus);
    if (press == 0) {
      PostMessageA(arg.found, WM_COMMAND, IDCANCEL, 0);
    } else {
      PostMessageA(GetDlgItem(arg.found, press), BM_CLICK, 0, 0);
    }
  }

  std::thread thread_;
  SeenBox seen_;
  std::atomic<bool> found_ = false;
};

std::vector<std::string> Texts(const SeenBox& box) {
  std::vector<std::string> out;
  for (const BoxButton& b : box.buttons) out.push_back(b.text);
  return out;
}

TEST(MessageBoxTest, ButtonNumberZeroShowsOneOkButtonAndAnswersOne) {
  MessageBoxArgs args{.text = "Plain", .caption = "MB zero", .buttons = "0"};
  BoxDriver driver("MB zero", IDOK);
  EXPECT_EQ(ShowMessageBox(args), 1);
  SeenBox box = driver.Seen();
  ASSERT_TRUE(driver.found());
  ASSERT_EQ(box.buttons.size(), 1u);
  EXPECT_EQ(box.buttons[0].text, "OK");
  EXPECT_TRUE(box.buttons[0].is_default);
  EXPECT_EQ(box.focus_id, IDOK);
  EXPECT_EQ(box.text, "Plain");
  EXPECT_FALSE(box.has_icon);
}

TEST(MessageBoxTest, AListWithTheStandardNoKeepsItsResultAndTheThirdAnswersThree) {
  MessageBoxArgs args{
      .text = "Three", .caption = "MB list", .buttons = "Keep|&No|Drop", .default_button = 2};
  BoxDriver driver("MB list", 101);
  EXPECT_EQ(ShowMessageBox(args), 3);
  SeenBox box = driver.Seen();
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(Texts(box), (std::vector<std::string>{"Keep", "&No", "Drop"}));
  ASSERT_EQ(box.buttons.size(), 3u);
  EXPECT_EQ(box.buttons[1].id, IDNO);
  EXPECT_TRUE(box.buttons[1].is_default);
  EXPECT_FALSE(box.buttons[0].is_default);
  EXPECT_EQ(box.focus_id, IDNO);
  // One row, centred, left to right, none overlapping.
  for (size_t i = 1; i < box.buttons.size(); ++i) {
    EXPECT_EQ(box.buttons[i].rect.top, box.buttons[0].rect.top);
    EXPECT_GT(box.buttons[i].rect.left, box.buttons[i - 1].rect.right);
  }
}

TEST(MessageBoxTest, ABarStartsASecondLineAndTheIconClassShowsAnIcon) {
  MessageBoxArgs args{.text = "First line|Second line",
                      .caption = "MB lines",
                      .buttons = "6",
                      .default_button = 4,
                      .system_modal = true,
                      .style = 0x30};
  BoxDriver driver("MB lines", IDNO);
  EXPECT_EQ(ShowMessageBox(args), 4);
  SeenBox box = driver.Seen();
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(box.text, "First line\r\nSecond line");
  EXPECT_TRUE(box.has_icon);
  EXPECT_TRUE(box.system_modal);
  EXPECT_EQ(box.focus_id, IDNO);
  // The static is tall enough for two lines: taller than one button.
  ASSERT_FALSE(box.buttons.empty());
  EXPECT_GT(box.text_rect.bottom - box.text_rect.top,
            box.buttons[0].rect.bottom - box.buttons[0].rect.top);
  // The text sits above the buttons.
  EXPECT_LE(box.text_rect.bottom, box.buttons[0].rect.top);
}

TEST(MessageBoxTest, EscapeWithoutACancelButtonAnswersZeroAndWithOneAnswersCancel) {
  {
    BoxDriver driver("MB escape", 0);
    EXPECT_EQ(ShowMessageBox({.text = "x", .caption = "MB escape", .buttons = "6"}), 0);
    ASSERT_TRUE(driver.Seen().buttons.size() == 2 && driver.found());
  }
  BoxDriver driver("MB cancel", 0);
  EXPECT_EQ(ShowMessageBox({.text = "x", .caption = "MB cancel", .buttons = "65"}), 64);
  EXPECT_TRUE(driver.found());
}

TEST(MessageBoxTest, TheFocusGoesBackToTheWindowThatHadIt) {
  HWND edit = CreateWindowExA(0, "Edit", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 30,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  SetForegroundWindow(edit);
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);
  BoxDriver driver("MB focus", IDOK);
  EXPECT_EQ(ShowMessageBox({.text = "x", .caption = "MB focus", .buttons = "1"}), 1);
  EXPECT_TRUE(driver.Seen().buttons.size() == 1 && driver.found());
  EXPECT_EQ(GetFocus(), edit);
  DestroyWindow(edit);
}

TEST(MessageBoxTest, MessagePopsTextCaptionIconAndButtons) {
  PushCString("Yes|No");  // buttons, pushed first
  PushCString("");        // icon
  PushCString("MB stack");
  PushCString("From the stack");
  BoxDriver driver("MB stack", 100);
  EXPECT_EQ(MESSAGE(0, 0), 1);
  SeenBox box = driver.Seen();
  EXPECT_EQ(box.text, "From the stack");
  EXPECT_EQ(Texts(box), (std::vector<std::string>{"Yes", "No"}));
}

TEST(MessageBoxTest, TheRuntimesBoxesKeepTheirTextsAndPlatformResults) {
  // The "Runtime error" call: Yes/No, the second the default, stop icon.
  BoxDriver driver("MB runtime", IDNO);
  int answer = PlatformStyleMessageBox("Code 401 | text\nDo you want to GPF?", "MB runtime",
                                       MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2);
  EXPECT_EQ(answer, IDNO);
  SeenBox box = driver.Seen();
  EXPECT_EQ(box.text, "Code 401 | text\nDo you want to GPF?");  // the bar stays
  EXPECT_EQ(Texts(box), (std::vector<std::string>{"&Yes", "&No"}));
  ASSERT_EQ(box.buttons.size(), 2u);
  EXPECT_TRUE(box.buttons[1].is_default);
  EXPECT_TRUE(box.has_icon);
}

TEST(MessageBoxTest, TheControlLibraryPutsItsBoxInPlaceOfTheSystemsAndTakesItAway) {
  InitControlLibrary(0);
  EXPECT_EQ(HaltMessageBox(), &PlatformStyleMessageBox);
  InitControlLibrary(1);
  EXPECT_NE(HaltMessageBox(), &PlatformStyleMessageBox);
}

TEST(MessageBoxTest, AnUnknownPlatformClassStopsWith503InTheRuntimesBox) {
  // After shutdown a runtime error shows its box and returns: this test
  // process goes on.
  StopRuntimeErrorsHalting();
  InitControlLibrary(0);
  BoxDriver driver("Runtime error", IDNO);
  EXPECT_FALSE(EnsureControlClass({"KorBogus", "NoSuchPlatformClass", 0}));
  SeenBox box = driver.Seen();
  InitControlLibrary(1);
  ASSERT_TRUE(driver.found());
  EXPECT_EQ(box.text, "Internal error 03\nDo you want to GPF?");
  EXPECT_EQ(Texts(box), (std::vector<std::string>{"&Yes", "&No"}));
}

TEST(MessageBoxTest, AReplacementAnswersInsteadOfTheBox) {
  static std::string seen_caption;
  SetMessageBoxReplacement([](const MessageBoxArgs& a) -> int32_t {
    seen_caption = a.caption;
    return 77;
  });
  EXPECT_EQ(ShowMessageBox({.text = "t", .caption = "replaced"}), 77);
  SetMessageBoxReplacement(nullptr);
  EXPECT_EQ(seen_caption, "replaced");
}

}  // namespace
}  // namespace kor

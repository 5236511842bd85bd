// Standard actions on a real window (test$CTLTEST, C$ACTIONS): which buttons
// are enabled for the current control and the open windows, and the editing
// actions working on the field that keeps the focus.
#include "ui/controls/standard_actions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/controls/control_library.h"
#include "ui/window_proc.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

class StandardActionsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    constexpr uint8_t kinds[] = {kRecEntry, kRecButton};
    RegisterLibraryControlKinds(kinds, 2);
    SetStandardActionHandler(&PerformAction);
    SetActionStateHandler(&UpdateStandardActions);
  }
  static void TearDownTestSuite() {
    SetStandardActionHandler(nullptr);
    SetActionStateHandler(nullptr);
  }
  void SetUp() override {
    memset(first_, ' ', sizeof first_);
    memset(second_, ' ', sizeof second_);
    memcpy(first_, "Hello", 5);
    memcpy(second_, "Fixed", 5);
    w_.Declare("test$CTLTEST", "C$ACTIONS", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override { w_.Close(); }
  HWND Child(int32_t field) { return GetDlgItem(w_.handle(), field + kControlIdBase); }
  // Gives the field the focus and runs the loop until it is the current
  // control.
  void Focus(int32_t field) {
    SetFocus(Child(field));
    Recorder rec;
    ASSERT_TRUE(RunLoop(w_, [&] {
      rec.Body()();
      return FOCUS() == field ? Pass::kBreak : Pass::kContinue;
    }));
  }
  std::string Text(int32_t field) {
    char text[64] = {};
    GetWindowTextA(Child(field), text, sizeof text);
    return text;
  }
  static std::string ClipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "(not open)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      out = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return out;
  }
  std::string Enabled() {  // "1" or "0" per button 3 to 8
    std::string out;
    for (int32_t field = 3; field <= 8; ++field) out += IsWindowEnabled(Child(field)) ? '1' : '0';
    return out;
  }

  char first_[20];
  char second_[20];
  void* addresses_[3] = {first_, second_, nullptr};
  Window w_;
};

TEST_F(StandardActionsTest, EnablingFollowsTheCurrentControlAndTheOpenWindows) {
  struct Case {
    int32_t focus;
    const char* enabled;  // cut, copy, paste, cascade, other, close
  };
  const Case cases[] = {
      {1, "111011"},  // an entry field: editing, but one window only
      {2, "010011"},  // read-only: copy only
      {1, "111011"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focus);
    Focus(c.focus);
    EXPECT_EQ(Enabled(), c.enabled);
  }
  // A second window open: activating this one enables cascading.
  Window other;
  other.Declare("test$CTLTEST", "C$TOOLBAR", nullptr);
  ASSERT_TRUE(other.Open());
  ShowWindow(other.handle(), SW_SHOW);
  SetActiveWindow(other.handle());
  SetActiveWindow(w_.handle());
  EXPECT_EQ(Enabled().substr(3, 1), "1");
  other.Close();
}

TEST_F(StandardActionsTest, CopyAndPasteWorkOnTheFieldThatKeepsTheFocus) {
  Focus(1);
  ASSERT_EQ(Text(1).substr(0, 5), "Hello");
  SendMessageA(Child(1), EM_SETSEL, 0, 5);
  SendMessageA(Child(4), BM_CLICK, 0, 0);  // Copy
  EXPECT_EQ(GetFocus(), Child(1));
  EXPECT_EQ(ClipboardText(), "Hello");
  SendMessageA(Child(1), EM_SETSEL, 5, 10);  // over blanks: the field is full
  SendMessageA(Child(5), BM_CLICK, 0, 0);    // Paste
  EXPECT_EQ(GetFocus(), Child(1));
  std::string text = Text(1);
  EXPECT_EQ(text.substr(0, 10), "HelloHello");
  // Cut on the read-only field is disabled and changes nothing.
  Focus(2);
  SendMessageA(Child(2), EM_SETSEL, 0, -1);
  EXPECT_TRUE(PerformAction(&w_, nullptr, kActionCut));
  EXPECT_EQ(Text(2).substr(0, 5), "Fixed");
  // A code without an action is not taken.
  EXPECT_FALSE(PerformAction(&w_, nullptr, 7));
}

}  // namespace
}  // namespace kor

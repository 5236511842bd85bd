// Check boxes with state icons on a real window (test$CTLTEST, C$CHECKS):
// the icon shown follows the state, by click and by refresh, and a check
// box with one icon shows it in both states.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "ui/controls/buttons.h"
#include "ui/controls/control_library.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;

// The program's icon resources the window names, loaded here on their own.
HICON Resource(const char* name) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

class CheckIconsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    constexpr uint8_t kinds[] = {kRecCheck};
    RegisterLibraryControlKinds(kinds, 1);
  }
  void SetUp() override {
    w_.Declare("test$CTLTEST", "C$CHECKS", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override { w_.Close(); }
  HWND Child(int32_t field) { return GetDlgItem(w_.handle(), field + kControlIdBase); }
  HICON Shown(int32_t field) {
    return reinterpret_cast<HICON>(SendMessageA(Child(field), BM_GETIMAGE, IMAGE_ICON, 0));
  }
  void Click(int32_t field) {
    Recorder rec;
    PostMessageA(Child(field), BM_CLICK, 0, 0);
    ASSERT_TRUE(RunLoop(w_, [&] {
      rec.Body()();
      return EVENT() == kEventAccepted && FIELD() == field ? Pass::kBreak : Pass::kContinue;
    }));
  }

  int16_t mark_ = 0;
  int16_t same_ = 0;
  void* addresses_[3] = {&mark_, &same_, nullptr};
  Window w_;
};

TEST_F(CheckIconsTest, TheIconShownFollowsTheState) {
  HICON off = Resource("c:\\korvane5\\images\\check_ico");
  HICON on = Resource("Check1_ico");
  ASSERT_NE(off, nullptr);
  ASSERT_NE(on, nullptr);
  ASSERT_NE(off, on);
  EXPECT_EQ(Shown(1), off);
  EXPECT_EQ(GetWindowLongA(Child(1), GWL_STYLE) & BS_PUSHLIKE, BS_PUSHLIKE);
  struct Step {
    int16_t mark;
    HICON shown;
  };
  const Step steps[] = {{1, on}, {0, off}, {1, on}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.mark);
    Click(1);
    EXPECT_EQ(mark_, s.mark);
    EXPECT_EQ(Shown(1), s.shown);
  }
  mark_ = 0;
  w_.ControlOf(1)->Refresh();
  EXPECT_EQ(Shown(1), off);
  // One icon: the same in both states.
  Click(2);
  EXPECT_EQ(same_, 1);
  EXPECT_EQ(Shown(2), off);
}

}  // namespace
}  // namespace kor

// Properties of the system target and of controls (the numbers, the string
// stack form, error 536 without a window) and a control's choice.
#include "ui/properties.h"

#include <gtest/gtest.h>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"
#include "ui/system_target.h"
#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

TEST(PropertyNumbers, DecimalOrHexadecimalWithATrailingH) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t value;
  };
  const Case kCases[] = {
      {"7C68h", true, 0x7C68},
      {"7c68H", true, 0x7C68},
      {"31848", true, 31848},
      {"0", true, 0},
      {"FFFFFFFFh", true, 0xFFFFFFFF},
      {"4294967295", true, 0xFFFFFFFF},
      {"4294967296", false, 0},  // past 32 bits
      {"100000000h", false, 0},  // nine hexadecimal digits
      {"", false, 0},
      {"h", false, 0},
      {"7C68", false, 0},
      {"12G", false, 0},
      {"-1", false, 0},
      {" 12", false, 0},
  };
  for (const Case& c : kCases) {
    uint32_t value = 0xDEAD;
    EXPECT_EQ(ParsePropertyNumber(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    } else {
      EXPECT_EQ(value, 0xDEADu) << c.text;  // a refused text leaves the output alone
    }
  }
}

TEST(Properties, AControlTargetWithoutAWindowPosts536) {
  ASSERT_EQ(TopWindow(), nullptr);
  SetPropertyValue(3, 0x7C00, 0, "x");
  EXPECT_EQ(ERRORCODE(), kErrWindowNotOpen);
  ClearError();
  EXPECT_EQ(GetPropertyValue(3, 0x7C00, 0), "");
  EXPECT_EQ(ERRORCODE(), kErrWindowNotOpen);
  // The runtime itself needs no window, and setting clears an earlier error.
  SetPropertyValue(0, 0x7C01, 0, "one");
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(GetPropertyValue(0, 0x7C01, 0), "one");
}

TEST(Properties, TheStatementTakesTheNumberThenTheValueFromTheStringStack) {
  int depth = StringStackDepth();
  PushCString("  7C68h ");
  PushCString("C:\\ICONS\\S.ICO    ");  // fixed-length values come blank-padded
  SetProperty(0, 0);
  EXPECT_EQ(SystemProperty(kPropIcon), "C:\\ICONS\\S.ICO");
  EXPECT_EQ(StringStackDepth(), depth);
  // A number that is not one sets nothing, and both entries still go.
  PushCString("7C68");
  PushCString("C:\\ICONS\\T.ICO");
  SetProperty(0, 0);
  EXPECT_EQ(SystemProperty(kPropIcon), "C:\\ICONS\\S.ICO");
  EXPECT_EQ(StringStackDepth(), depth);
}

class OpenWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_.Declare(testing::kTestModule, "T$MAIN", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  void TearDown() override { w_.Close(); }
  char name_[20] = {};
  int16_t four_ = 0;
  void* addresses_[3] = {name_, &four_, nullptr};
  Window w_;
};

TEST_F(OpenWindowTest, AFieldTheWindowLacksIsLeftAlone) {
  SetPropertyValue(99, 0x7C00, 0, "x");
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(GetPropertyValue(99, 0x7C00, 0), "");
  EXPECT_EQ(ERRORCODE(), 0);
}

TEST_F(OpenWindowTest, AControlsChoiceIsWhatTheControlReports) {
  HWND check = w_.ControlOf(4)->handle();
  EXPECT_EQ(ControlChoice(4), 0);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(ControlChoice(4), 1);
  EXPECT_EQ(ControlChoice(1), 0);   // a button has no choice
  EXPECT_EQ(ControlChoice(99), 0);  // nor a field the window lacks
  // Field 0: the current event's control.
  int32_t seen = -1;
  testing::Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PostEvent(kEventAccepted, 4);
    if (EVENT() == kEventAccepted && FIELD() == 4) {
      seen = ControlChoice();
      return Pass::kBreak;
    }
    return Pass::kContinue;
  });
  ASSERT_TRUE(testing::RunLoop(w_, rec.Body()));
  EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace kor

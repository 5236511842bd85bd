// Keys on a real window: PRESSed keystrokes typed into an entry, alert keys
// of the window and of a control with EVENT:PreAlert before them (a cycle
// makes the key ordinary), hot keys, the key code and key character, and the
// limit of the keystroke buffer.
#include "ui/key_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;
using testing::Seen;

constexpr uint16_t kF5 = VK_F5;          // the window's alert key
constexpr uint16_t kF6 = VK_F6;          // the entry's (field 2) alert key
constexpr uint16_t kInsert = VK_INSERT;  // button 3's hot key

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_.Declare(testing::kTestModule, "T$MAIN", addresses_);
    ASSERT_TRUE(w_.Open());
  }
  // Shows the window (its first loop) so that its controls can take the focus.
  void Show() {
    ASSERT_TRUE(RunLoop(w_, [] { return Pass::kBreak; }));
  }
  void TearDown() override {
    CurrentThread()->keys.Clear();
    w_.Close();
  }

  char name_[20] = {};
  int16_t four_ = 0;
  void* addresses_[3] = {name_, &four_, nullptr};
  Window w_;
};

TEST_F(KeysTest, AlertKeysComeAfterPreAlertUnlessTheProgramCycles) {
  struct Case {
    int32_t focus_field;  // the control that has the focus
    uint16_t key;
    bool cycle_prealert;
    std::vector<Seen> want;  // after EVENT:OpenWindow, up to the hot key's Accepted
  };
  const Case cases[] = {
      {1, kF5, false, {{kEventPreAlert, 0, 0}, {kEventAlertKey, 0, 0}, {kEventAccepted, 3, 3}}},
      {1, kF5, true, {{kEventPreAlert, 0, 0}, {kEventAccepted, 3, 3}}},
      {2, kF6, false, {{kEventPreAlert, 2, 0}, {kEventAlertKey, 2, 0}, {kEventAccepted, 3, 3}}},
      {1, kF6, false, {{kEventAccepted, 3, 3}}},  // F6 is the entry's, not the button's
      {2, kF5, false, {{kEventPreAlert, 0, 0}, {kEventAlertKey, 0, 0}, {kEventAccepted, 3, 3}}},
  };
  Show();
  for (const Case& c : cases) {
    uint16_t seen_key = 0;
    Recorder rec([&] {
      if (EVENT() == kEventAccepted) return Pass::kBreak;
      if (EVENT() == kEventPreAlert) {
        seen_key = KeyCode();
        return c.cycle_prealert ? Pass::kCycle : Pass::kContinue;
      }
      return Pass::kContinue;
    });
    SetFocus(w_.ControlOf(c.focus_field)->handle());
    PRESS({c.key, kInsert});
    ASSERT_EQ(ERRORCODE(), 0);
    ASSERT_TRUE(RunLoop(w_, rec.Body()));
    std::vector<Seen> got;
    for (const Seen& s : rec.seen())
      if (s.event != kEventOpenWindow) got.push_back(s);
    EXPECT_EQ(got, c.want) << "key " << c.key << " focus " << c.focus_field;
    if (c.want.size() > 1) {
      EXPECT_EQ(seen_key, c.key);
    }
  }
}

TEST_F(KeysTest, PressedKeysTypeIntoTheFocusedEntry) {
  std::string typed;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      SelectField(2);
      PRESS("Ab7");
      PRESS({kInsert});
    }
    if (EVENT() != kEventAccepted || FIELD() != 3) return Pass::kContinue;
    char text[32] = {};
    GetWindowTextA(w_.ControlOf(2)->handle(), text, sizeof text);
    typed = text;
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(typed, "Ab7");
  EXPECT_EQ(FOCUS(), 2);
}

TEST_F(KeysTest, TheKeyCodeAndCharacterOfTheCurrentEvent) {
  std::vector<uint16_t> codes;
  std::vector<char> chars;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PRESS({kInsert});
    if (EVENT() != kEventAccepted) return Pass::kContinue;
    codes.push_back(KeyCode());
    SetKeyCode('A');
    codes.push_back(KeyCode());
    chars.push_back(KeyCharacter());
    SetKeyCode('A' | kKeyShift);
    chars.push_back(KeyCharacter());
    codes.push_back(CurrentThread()->key_code);
    SetKeyCode(VK_RETURN | kKeyCtrl | 0xF800);  // only the low 11 bits count
    codes.push_back(KeyCode());
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(codes, (std::vector<uint16_t>{kInsert, 'A', 'A' | kKeyShift, 525}));
  EXPECT_EQ(chars, (std::vector<char>{'a', 'A'}));
}

// A mouse-button press is noted as the key code (2: right button) that the
// events after it carry; a list asks for its pop-up menu by it.
TEST_F(KeysTest, AMouseButtonPressSetsTheKeyCode) {
  uint16_t seen = 0;
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) {
      PostMessageA(w_.handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
      PostMessageA(w_.handle(), WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
      PostMessageA(w_.ControlOf(3)->handle(), BM_CLICK, 0, 0);
    }
    if (EVENT() != kEventAccepted) return Pass::kContinue;
    seen = KeyCode();
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(w_, rec.Body()));
  EXPECT_EQ(seen, kKeyRightButton);
}

TEST(KeyCodes, CharactersAndTheirKeysRoundTrip) {
  for (char c : std::string("abcxyzABCXYZ0123456789 ")) {
    uint16_t key = KeyCodeOfCharacter(c);
    ASSERT_NE(key, 0) << c;
    EXPECT_EQ(CharacterOfKey(key), c) << c;
  }
  EXPECT_EQ(KeyCodeOfCharacter('a'), 'A');
  EXPECT_EQ(KeyCodeOfCharacter('A'), 'A' | kKeyShift);
  EXPECT_EQ(CharacterOfKey(VK_RETURN), '\r');
  EXPECT_EQ(CharacterOfKey(VK_F5), 0);
}

TEST(Press, TheKeyAfterTheThousandTwentyFourthPosts534) {
  std::vector<uint16_t> keys(1024, 'A');
  PRESS(keys.data(), keys.size());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(CurrentThread()->keys.size(), 1024u);
  PRESS({'B'});
  EXPECT_EQ(ERRORCODE(), kErrTooManyKeystrokes);
  EXPECT_EQ(CurrentThread()->keys.size(), 1024u);  // nothing was lost or added
  CurrentThread()->keys.Clear();
  PRESS({'B'});
  EXPECT_EQ(ERRORCODE(), 0);
  CurrentThread()->keys.Clear();
}

}  // namespace
}  // namespace kor

// Tests of the description's names: key codes, colours, bits, types and
// numbers read and written back.
#include "tools/rsc/names.h"

#include <gtest/gtest.h>

#include "ui/resource/window_format.h"

namespace rsc {
namespace {

TEST(Names, KeysOfThePrograms) {
  struct Case {
    const char* text;
    int32_t code;
  };
  const Case cases[] = {
      {"Insert", 45},
      {"Delete", 46},
      {"Enter", 13},
      {"Ctrl+Enter", 525},
      {"PgUp", 33},
      {"PgDn", 34},
      {"F1", 112},
      {"F12", 123},
      {"Ctrl+P", 0x250},
      {"Shift+Tab", 0x109},
      {"Alt+F4", 0x473},
      {"vk5", 5},
      {"Ctrl+Alt+Shift+A", 0x741},
      {"7", 55},
      {"0x1234", 0x1234},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseKey(c.text), c.code) << c.text;
  }
  for (const char* bad : {"Ctrl+", "Hyper+A", "F13", "F0", "vk256", "a", "Enterprise", ""})
    EXPECT_FALSE(ParseKey(bad).has_value()) << bad;
  EXPECT_EQ(FormatKey(525), "Ctrl+Enter");
  EXPECT_EQ(FormatKey(5), "vk5");
}

TEST(Names, EveryKeyCodeWritesAndReadsBack) {
  for (int32_t code = 0; code <= 0x7FF; ++code) EXPECT_EQ(ParseKey(FormatKey(code)), code) << code;
  EXPECT_EQ(ParseKey(FormatKey(0x10000)), 0x10000);
}

TEST(Names, ColoursArePackedRedFirst) {
  EXPECT_EQ(ParseColour("rgb(255,0,0)"), 0x0000FF);
  EXPECT_EQ(ParseColour("rgb(0,0,255)"), 0xFF0000);
  EXPECT_EQ(ParseColour("default"), -1);
  EXPECT_EQ(ParseColour("0x80000005"), static_cast<int32_t>(0x80000005));
  for (const char* bad : {"rgb(256,0,0)", "rgb(1,2)", "rgb(1,2,3,4)", "red", "rgb(1,2,3"})
    EXPECT_FALSE(ParseColour(bad).has_value()) << bad;
  for (int32_t v : {0, 0x123456, 0xFFFFFF, -1, static_cast<int32_t>(0x80000005)})
    EXPECT_EQ(ParseColour(FormatColour(v)), v);
}

TEST(Names, BitsAreNamesAndLeftoverHex) {
  BitNames names = ControlAttrNames(kor::kRecEntry);
  EXPECT_EQ(FormatBits(kor::kCtlNoTab | kor::kCtlReadOnly | 0x10000, names),
            "notab readonly 0x10000");
  std::string bad;
  EXPECT_EQ(ParseBits({"readonly", "notab", "0x10000"}, names, &bad),
            kor::kCtlNoTab | kor::kCtlReadOnly | 0x10000);
  EXPECT_FALSE(ParseBits({"paged"}, names, &bad).has_value());  // a list's, not an entry's
  EXPECT_EQ(bad, "paged");
  EXPECT_EQ(FormatBits(0x3800 & ~kor::kFrameMask, WindowFlagNames()), "maxbox sysmenu look3d");
}

TEST(Names, TypesAndNumbers) {
  EXPECT_EQ(TypeByName("STRING"), 18);
  EXPECT_EQ(TypeByName("QUEUE"), 26);
  EXPECT_EQ(TypeByName("type23"), 23);
  EXPECT_FALSE(TypeByName("string").has_value());
  EXPECT_EQ(NaturalSize(1), 1);
  EXPECT_EQ(NaturalSize(9), 8);
  EXPECT_EQ(NaturalSize(18), 0);
  EXPECT_EQ(ParseNumber("-12"), -12);
  EXPECT_EQ(ParseNumber("0xFFFFFFFF"), -1);
  for (const char* bad : {"", "-", "1x", "0x", "0x123456789", "12a"})
    EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
}

}  // namespace
}  // namespace rsc

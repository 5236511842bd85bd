// Tests of the unit conversion: MulDiv's rounding at halves and its failure
// values, the scale of each unit, omitted values, and the rounding of natural
// sizes up to whole units checked against a brute-force search.
#include "ui/resource/units.h"

#include <gtest/gtest.h>

#include <climits>

#include "ui/resource/window_format.h"

namespace kor {
namespace {

TEST(Units, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int32_t a, b, c, result;
  };
  const Case cases[] = {
      {5, 1, 2, 3},           {-5, 1, 2, -3},         {5, -1, 2, -3},
      {-5, -1, -2, -3},       {7, 3, 2, 11},          {4, 1, 3, 1},
      {5, 1, 3, 2},           {-4, 1, 3, -1},         {291, 12, 8, 437},
      {176, 13, 8, 286},      {100, 96, 25, 384},     {1000, 96, 1000, 96},
      {1, 1, 0, -1},          {INT32_MAX, 2, 1, -1},  {INT32_MIN, 1, 1, INT32_MIN},
      {INT32_MIN, -1, 1, -1}, {0x40000000, 4, 2, -1}, {0x40000000, 2, 4, 0x20000000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Units, EachUnitHasItsScale) {
  UnitMetrics m;
  m.average_char_width = 6;
  m.char_height = 13;
  m.pixels_per_inch_x = 96;
  m.pixels_per_inch_y = 120;
  struct Case {
    int32_t attr;
    bool report;
    int32_t h, v, d;
  };
  const Case cases[] = {
      {kUnitDialog, false, 12, 13, 8},        {kUnitInch25, false, 96, 120, 25},
      {kUnitInch1000, false, 96, 120, 1000},  {kUnitPixelOrPoint, false, 1, 1, 1},
      {kUnitPixelOrPoint, true, 96, 120, 72}, {kUnitDialog | 0x3800, false, 12, 13, 8},
  };
  for (const Case& c : cases) {
    UnitScale s = MakeUnitScale(c.attr, m, c.report);
    EXPECT_EQ(s.horizontal, c.h);
    EXPECT_EQ(s.vertical, c.v);
    EXPECT_EQ(s.divisor, c.d);
  }
}

TEST(Units, PositionsConvertAndOmittedValuesAreDefaults) {
  UnitScale dialog{12, 13, 8};  // 1 unit = 1.5 pixels across, 1.625 down
  EXPECT_EQ(ToPixelsX(dialog, 291).pixels, 437);
  EXPECT_EQ(ToPixelsY(dialog, 176).pixels, 286);
  EXPECT_FALSE(ToPixelsX(dialog, 0).is_default);
  Converted omitted = ToPixelsX(dialog, kOmitted);
  EXPECT_TRUE(omitted.is_default);
  EXPECT_EQ(omitted.pixels, 0);
  EXPECT_TRUE(ToPixelsY(dialog, kOmitted).is_default);
  EXPECT_EQ(ToPixelsX(dialog, -3).pixels, -5);  // -4.5 rounds away from zero
}

// The smallest pixel size a whole number of units can give that is not below
// `pixels`: found by trying unit counts one after another.
int32_t SmallestWholeUnitSize(int32_t numerator, int32_t divisor, int32_t pixels) {
  for (int32_t units = 0;; ++units) {
    int32_t size = MulDivRound(units, numerator, divisor);
    if (size >= pixels) return size;
  }
}

TEST(Units, NaturalSizesRoundUpToWholeUnits) {
  const UnitScale scales[] = {{12, 13, 8},     {14, 16, 8}, {96, 96, 25},
                              {96, 120, 1000}, {1, 1, 1},   {7, 9, 8}};
  for (const UnitScale& s : scales) {
    for (int32_t px = 0; px <= 400; ++px) {
      SCOPED_TRACE(std::to_string(s.horizontal) + "/" + std::to_string(s.divisor) + " at " +
                   std::to_string(px));
      EXPECT_EQ(RoundUpToUnitsX(s, px), SmallestWholeUnitSize(s.horizontal, s.divisor, px));
      EXPECT_EQ(RoundUpToUnitsY(s, px), SmallestWholeUnitSize(s.vertical, s.divisor, px));
    }
  }
}

TEST(Units, RoundingUpWorkedExamples) {
  UnitScale dialog{12, 13, 8};
  EXPECT_EQ(RoundUpToUnitsX(dialog, 60), 60);  // exactly 40 units
  EXPECT_EQ(RoundUpToUnitsX(dialog, 61), 62);  // 40.67 -> 41 units = 61.5 -> 62
  EXPECT_EQ(RoundUpToUnitsX(dialog, 62), 62);
  EXPECT_EQ(RoundUpToUnitsX(dialog, 63), 63);  // 42 units
  EXPECT_EQ(RoundUpToUnitsY(dialog, 14), 15);  // 8.6 -> 9 units = 14.6 -> 15
}

}  // namespace
}  // namespace kor

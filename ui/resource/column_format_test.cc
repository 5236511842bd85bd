// The column format parser: the two worked examples column by column, the
// edge cases, every modifier in both cases, and malformed strings.
#include "ui/resource/column_format.h"

#include <gtest/gtest.h>

#include <string>

namespace kor {
namespace {

constexpr UnitScale kPixels = {1, 1, 1};
// Dialog units of a font 6 pixels wide on average: pixel = units * 12 / 8.
constexpr UnitScale kDialog = {12, 13, 8};

TEST(ColumnFormatTest, TheLogBrowseExampleGivesFourColumnsOnFieldsOneToFour) {
  ColumnFormat f = ParseColumnFormat(
      "97L(2)~Application~@s40@36R~Date~C(2)@d1@34L(2)~Time~L(5)@t3@240L~Event~@s80@", kPixels);
  ASSERT_EQ(f.columns.size(), 4u);
  struct Want {
    int32_t units;
    ColumnAlign align;
    int32_t indent;
    const char* header;
    ColumnAlign header_align;
    int32_t header_indent;
    const char* picture;
  };
  const Want want[] = {
      {97, ColumnAlign::kLeft, 2, "Application", ColumnAlign::kLeft, 0, "@s40"},
      {36, ColumnAlign::kRight, 0, "Date", ColumnAlign::kCentre, 2, "@d1"},
      {34, ColumnAlign::kLeft, 2, "Time", ColumnAlign::kLeft, 5, "@t3"},
      {240, ColumnAlign::kLeft, 0, "Event", ColumnAlign::kLeft, 0, "@s80"},
  };
  int32_t x = 0;
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const ListColumn& c = f.columns[i];
    EXPECT_EQ(c.width_units, want[i].units);
    EXPECT_EQ(c.x, x);
    x += want[i].units;
    EXPECT_EQ(c.align, want[i].align);
    EXPECT_EQ(c.indent, want[i].indent);
    EXPECT_EQ(c.header, want[i].header);
    EXPECT_EQ(c.header_lines, 1);
    EXPECT_EQ(c.header_align, want[i].header_align);
    EXPECT_EQ(c.header_indent, want[i].header_indent);
    EXPECT_EQ(c.picture, want[i].picture);
    EXPECT_EQ(c.picture_type, want[i].picture[1]);
    EXPECT_EQ(c.value_field, int32_t(i) + 1);
    EXPECT_EQ(c.options, 0u);
    EXPECT_EQ(c.colour_field + c.icon_field + c.tree_field + c.style_field, 0);
  }
  EXPECT_EQ(f.field_count, 4);
  EXPECT_EQ(f.designated, 0);
  EXPECT_EQ(f.total_width, 97 + 36 + 34 + 240);
}

TEST(ColumnFormatTest, TheProjectListExampleTakesColoursIconsAndFieldsOneToThirteen) {
  ColumnFormat f = ParseColumnFormat(
      "10C*I@s1@11C*@n3B@E(0FFH,,0FFFFH,)71L|M~Drive & Path~S(88)@s80@200L(1)~Application~L(2)"
      "@s50@",
      kPixels);
  ASSERT_EQ(f.columns.size(), 4u);
  const ListColumn& a = f.columns[0];
  EXPECT_EQ(a.width_units, 10);
  EXPECT_EQ(a.align, ColumnAlign::kCentre);
  EXPECT_EQ(a.picture, "@s1");
  EXPECT_EQ(a.options, uint32_t(kColColourFields | kColIcon));
  EXPECT_EQ(a.value_field, 1);
  EXPECT_EQ(a.colour_field, 2);  // 2..5
  EXPECT_EQ(a.icon_field, 6);

  const ListColumn& b = f.columns[1];
  EXPECT_EQ(b.width_units, 11);
  EXPECT_EQ(b.align, ColumnAlign::kCentre);
  EXPECT_EQ(b.picture, "@n3B");
  EXPECT_EQ(b.value_field, 7);
  EXPECT_EQ(b.colour_field, 8);  // 8..11
  EXPECT_EQ(b.icon_field, 0);
  EXPECT_TRUE(b.options & kColColours);
  EXPECT_EQ(b.colours[0], 0xFF);
  EXPECT_EQ(b.colours[1], kNoColour);
  EXPECT_EQ(b.colours[2], 0xFFFF);
  EXPECT_EQ(b.colours[3], kNoColour);

  const ListColumn& c = f.columns[2];
  EXPECT_EQ(c.width_units, 71);
  EXPECT_EQ(c.align, ColumnAlign::kLeft);
  EXPECT_EQ(c.options, uint32_t(kColRightBorder | kColResizable | kColScroll));
  EXPECT_EQ(c.header, "Drive & Path");
  EXPECT_EQ(c.scroll_units, 88);
  EXPECT_EQ(c.picture, "@s80");
  EXPECT_EQ(c.value_field, 12);

  const ListColumn& d = f.columns[3];
  EXPECT_EQ(d.width_units, 200);
  EXPECT_EQ(d.indent, 1);
  EXPECT_EQ(d.header, "Application");
  EXPECT_EQ(d.header_align, ColumnAlign::kLeft);
  EXPECT_EQ(d.header_indent, 2);
  EXPECT_EQ(d.picture, "@s50");
  EXPECT_EQ(d.value_field, 13);
  EXPECT_EQ(f.field_count, 13);
}

TEST(ColumnFormatTest, EdgeCases) {
  EXPECT_TRUE(ParseColumnFormat("", kPixels).columns.empty());
  EXPECT_EQ(ParseColumnFormat("", kPixels).field_count, 0);

  ColumnFormat s = ParseColumnFormat("20LS", kPixels);
  ASSERT_EQ(s.columns.size(), 1u);
  EXPECT_EQ(s.columns[0].scroll_units, 100);

  ColumnFormat e = ParseColumnFormat("20LE(,,,)", kPixels);
  EXPECT_FALSE(e.columns[0].options & kColColours);

  ColumnFormat next = ParseColumnFormat("10L*I20L", kPixels);
  EXPECT_EQ(next.columns[1].value_field, 7);

  ColumnFormat lines = ParseColumnFormat("10L~One\nTwo~", kPixels);
  EXPECT_EQ(lines.columns[0].header_lines, 2);

  // Width 0 ends the column one pixel before its start and does not advance.
  ColumnFormat zero = ParseColumnFormat("0L10L", kPixels);
  EXPECT_EQ(zero.columns[0].right, -1);
  EXPECT_EQ(zero.columns[1].x, 0);
  EXPECT_EQ(zero.columns[1].right, 9);
}

TEST(ColumnFormatTest, WidthsAndPositionsUseTheHorizontalUnit) {
  ColumnFormat f = ParseColumnFormat("97L36R", kDialog);
  EXPECT_EQ(f.columns[0].width, 146);  // 97 * 12 / 8 = 145.5, rounded
  EXPECT_EQ(f.columns[1].x, 146);
  EXPECT_EQ(f.columns[1].width, 54);
  EXPECT_EQ(f.total_width, 200);
}

TEST(ColumnFormatTest, EveryModifierInBothCases) {
  struct Case {
    const char* format;
    uint32_t options;
  };
  const Case cases[] = {
      {"5LM", kColResizable},
      {"5Lm", kColResizable},
      {"5LF", kColFixed},
      {"5Lf", kColFixed},
      {"5LI", kColIcon},
      {"5Li", kColIcon},
      {"5LJ", kColIcon | kColTransparentIcon},
      {"5Lj", kColIcon | kColTransparentIcon},
      {"5LT", kColTree},
      {"5Lt", kColTree},
      {"5LY", kColStyleField},
      {"5Ly", kColStyleField},
      {"5Ls(7)", kColScroll},
      {"5L|", kColRightBorder},
      {"5L_", kColBottomBorder},
      {"5L?", kColDesignated},
      {"5L/", kColNewLine},
      {"5L*", kColColourFields},
      {"5Le(1)", kColColours},
      {"5LZ(3)", 0},
      {"5Lh(9)", 0},
      {"5L#4#", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    ColumnFormat f = ParseColumnFormat(c.format, kPixels);
    ASSERT_EQ(f.columns.size(), 1u);
    EXPECT_EQ(f.columns[0].options, c.options);
  }
  EXPECT_EQ(ParseColumnFormat("5Lz(3)", kPixels).columns[0].style, 3);
  EXPECT_EQ(ParseColumnFormat("5LH(9)", kPixels).columns[0].measure_units, 9);
  ColumnFormat tree = ParseColumnFormat("5LT(L1rBi)", kPixels);
  EXPECT_EQ(tree.columns[0].tree_options, uint32_t(kTreeL | kTree1 | kTreeR | kTreeB | kTreeI));
  ColumnFormat all = ParseColumnFormat("5L*ITY", kPixels);
  const ListColumn& c = all.columns[0];
  EXPECT_EQ(c.value_field, 1);
  EXPECT_EQ(c.colour_field, 2);
  EXPECT_EQ(c.icon_field, 6);
  EXPECT_EQ(c.tree_field, 7);
  EXPECT_EQ(c.style_field, 8);
  EXPECT_EQ(all.field_count, 8);
  EXPECT_EQ(ParseColumnFormat("5LE(10,1AH,,7)", kPixels).columns[0].colours[1], 0x1A);
}

TEST(ColumnFormatTest, FirstFieldsAndTheDesignatedColumn) {
  ColumnFormat f = ParseColumnFormat("5L#3#5L5L?5L?#1#5L", kPixels);
  ASSERT_EQ(f.columns.size(), 5u);
  EXPECT_EQ(f.columns[0].value_field, 3);
  EXPECT_EQ(f.columns[1].value_field, 4);
  EXPECT_EQ(f.columns[2].value_field, 5);
  EXPECT_EQ(f.columns[3].value_field, 1);
  EXPECT_EQ(f.columns[4].value_field, 2);
  EXPECT_EQ(f.designated, 3);  // the last one marked wins
  EXPECT_EQ(f.field_count, 5);
}

TEST(ColumnFormatTest, GroupsCarryTheirColumnsHeaderAndModifiers) {
  ColumnFormat f = ParseColumnFormat("10L[20L~A~30R]~Both~C|40L", kPixels);
  ASSERT_EQ(f.columns.size(), 4u);
  ASSERT_EQ(f.groups.size(), 1u);
  EXPECT_EQ(f.groups[0].first_column, 1);
  EXPECT_EQ(f.groups[0].column_count, 2);
  EXPECT_EQ(f.groups[0].header, "Both");
  EXPECT_EQ(f.groups[0].header_align, ColumnAlign::kCentre);
  EXPECT_EQ(f.groups[0].options, uint32_t(kColRightBorder));
  EXPECT_EQ(f.columns[0].group, -1);
  EXPECT_EQ(f.columns[1].group, 0);
  EXPECT_EQ(f.columns[2].group, 0);
  EXPECT_EQ(f.columns[3].group, -1);
  EXPECT_EQ(f.columns[3].value_field, 4);
}

TEST(ColumnFormatTest, MalformedStringsFallBackSoundly) {
  struct Case {
    const char* format;
    size_t columns;
  };
  const Case cases[] = {
      {"10L~never closed", 1}, {"10L@s20", 1}, {"10L#5", 1},      {"10L(", 1},
      {"10LE(1,2", 1},         {"xyz!%", 0},   {"]]10L[[20L", 2}, {"[", 0},
      {"99999999999999L", 1},  {"10LT(", 1},   {"~~~@@@###", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    ColumnFormat f = ParseColumnFormat(c.format, kPixels);
    EXPECT_EQ(f.columns.size(), c.columns);
    for (const ListColumn& col : f.columns) {
      EXPECT_GE(col.width, 0);
      EXPECT_GE(col.value_field, 1);
    }
  }
  EXPECT_EQ(ParseColumnFormat("10L~never closed", kPixels).columns[0].header, "never closed");
  EXPECT_EQ(ParseColumnFormat("99999999999999L", kPixels).columns[0].width_units, kMaxFormatNumber);
  std::string many;
  for (int i = 0; i < 300; ++i) many += "1L";
  EXPECT_EQ(ParseColumnFormat(many, kPixels).columns.size(), kMaxColumns);
}

}  // namespace
}  // namespace kor

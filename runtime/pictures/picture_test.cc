// Tests of the picture compiler: kinds, options, widths and invalid texts.
#include "runtime/pictures/picture.h"
#include "runtime/locale/locale.h"

#include <gtest/gtest.h>

#include <string>

namespace kor {
namespace {

std::string CellText(const Picture& p) {
  std::string s;
  for (int k = 0; k < p.width; ++k) s += p.cells[k].ch;
  return s;
}

std::string CellCodes(const Picture& p) {
  std::string s;
  for (int k = 0; k < p.width; ++k) s += "0123456789abcdefghijk"[p.cells[k].code];
  return s;
}

TEST(PictureCompiler, StringPictures) {
  Picture p = CompilePicture("@S20");
  EXPECT_EQ(p.kind, PictureKind::kString);
  EXPECT_EQ(p.width, 20);
  EXPECT_EQ(CompilePicture("s255").width, 255);
  EXPECT_EQ(CompilePicture("@S10   ").width, 10);
  EXPECT_EQ(CompilePicture("@s7").kind, PictureKind::kString);
  Picture null_picture = CompilePicture(static_cast<const char*>(nullptr));
  EXPECT_EQ(null_picture.kind, PictureKind::kString);
  EXPECT_EQ(null_picture.width, 255);
  for (const char* bad : {"@S0", "@S256", "@S10x", "@S", "@Sx", "", "@", "   "}) {
    Picture b = CompilePicture(bad);
    EXPECT_EQ(b.kind, PictureKind::kInvalid) << bad;
    EXPECT_EQ(b.width, 0) << bad;
  }
  EXPECT_EQ(CompilePicture("@Q5").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture(std::string(255, 'S')).kind, PictureKind::kInvalid);
}

TEST(PictureCompiler, BlankWhenZero) {
  EXPECT_TRUE(CompilePicture("@N10.2B").flags & kPicBlankWhenZero);
  EXPECT_TRUE(CompilePicture("@D6b").flags & kPicBlankWhenZero);
  EXPECT_FALSE(CompilePicture("@N10.2").flags & kPicBlankWhenZero);
  EXPECT_EQ(CompilePicture("@N10.2B").width, 10);
  EXPECT_EQ(CompilePicture("@B").kind, PictureKind::kInvalid);
}

TEST(PictureCompiler, DateLayouts) {
  const struct {
    const char* pic;
    int width;
    const char* codes;
    const char* fills;
  } cases[] = {
      {"@D1", 8, "77j88j99", " 0/00/00"},        {"@D2", 10, "77j88j9999", " 0/00/0000"},
      {"@D3", 11, "aaaj8809999", "     0,0000"}, {"@D5", 8, "88j77j99", " 0/00/00"},
      {"@D6", 10, "88j77j9999", " 0/00/0000"},   {"@D7", 9, "88jaaaj99", " 0     00"},
      {"@D8", 11, "88jaaaj9999", " 0     0000"}, {"@D9", 8, "99j77j88", "00/00/00"},
      {"@D10", 10, "9999j77j88", "0000/00/00"},  {"@D11", 6, "997788", "000000"},
      {"@D12", 8, "99997788", "00000000"},       {"@D13", 5, "77j99", "00/00"},
      {"@D14", 7, "77j9999", "00/0000"},         {"@D15", 5, "99j77", "00/00"},
      {"@D16", 7, "9999j77", "0000/00"},
  };
  for (const auto& c : cases) {
    Picture p = CompilePicture(c.pic);
    ASSERT_EQ(p.kind, PictureKind::kDate) << c.pic;
    EXPECT_EQ(p.width, c.width) << c.pic;
    EXPECT_EQ(CellCodes(p), c.codes) << c.pic;
    EXPECT_EQ(CellText(p), c.fills) << c.pic;
  }
  Picture d4 = CompilePicture("@D4");
  EXPECT_EQ(d4.width, 21);
  EXPECT_EQ(CompilePicture("@D3").width, 11);
  for (const char* bad : {"@D0", "@D19", "@D", "@D6x", "@D6<<", "@D6-.", "@D6<100"})
    EXPECT_EQ(CompilePicture(bad).kind, PictureKind::kInvalid) << bad;
}

TEST(PictureCompiler, DateOptions) {
  Picture p = CompilePicture("@D*6-");
  EXPECT_EQ(CellText(p), "**-**-****");
  p = CompilePicture("@D06_");
  EXPECT_EQ(CellText(p), "00 00 0000");
  p = CompilePicture("@D_2`");
  EXPECT_EQ(CellText(p), "  ,  ,    ");
  EXPECT_EQ(CompilePicture("@D6").century_window, 80);
  EXPECT_EQ(CompilePicture("@D6<").century_window, 80);
  EXPECT_EQ(CompilePicture("@D6<30").century_window, 30);
  EXPECT_EQ(CompilePicture("@D6>").century_window, 19);
  EXPECT_EQ(CompilePicture("@D6>40").century_window, 59);
  EXPECT_EQ(CompilePicture("@D6>40.").cells[2].ch, '.');
  EXPECT_EQ(CompilePicture("@D12").number, 12);
}

TEST(PictureCompiler, TimeLayouts) {
  const struct {
    const char* pic;
    int width;
    const char* fills;
  } cases[] = {{"@T1", 5, " 0:00"},    {"@T2", 4, "0000"},   {"@T3", 7, "00:00  "},
               {"@T4", 8, "00:00:00"}, {"@T5", 6, "000000"}, {"@T6", 10, "00:00:00  "}};
  for (const auto& c : cases) {
    Picture p = CompilePicture(c.pic);
    ASSERT_EQ(p.kind, PictureKind::kTime) << c.pic;
    EXPECT_EQ(p.width, c.width) << c.pic;
    EXPECT_EQ(CellText(p), c.fills) << c.pic;
  }
  EXPECT_EQ(CellText(CompilePicture("@T04.")), "00.00.00");
  EXPECT_EQ(CompilePicture("@T3").cells[5].code, kCellDayHalf);
  for (const char* bad : {"@T0", "@T9", "@T4<", "@T"})
    EXPECT_EQ(CompilePicture(bad).kind, PictureKind::kInvalid) << bad;
}

TEST(PictureCompiler, SystemPatterns) {
  SystemIntlSettings saved = SystemIntl();
  SystemIntlSettings s;
  SetSystemIntl(s);
  Picture p = CompilePicture("@D17");
  EXPECT_EQ(p.width, 8);
  EXPECT_EQ(CellCodes(p), "77j88j99");
  // The default long pattern loses its day name and the ", " after it.
  p = CompilePicture("@D18");
  EXPECT_EQ(CellCodes(p), "aaaaaaaaa088009999");
  s.sShortDate = "d.M.yyyy";
  s.sLongDate = "dddd, d. MMMM yyyy";
  SetSystemIntl(s);
  p = CompilePicture("@D17");
  EXPECT_EQ(CellText(p), " 0. 0.0000");
  EXPECT_EQ(CellCodes(CompilePicture("@D18")), "88jjaaaaaaaaaj9999");
  s.sShortDate = "dddd";  // no field at all: the default pattern stands in
  SetSystemIntl(s);
  EXPECT_EQ(CompilePicture("@D17").width, 8);
  p = CompilePicture("@T7");
  EXPECT_EQ(CellText(p), "00:00   ");
  EXPECT_TRUE(p.flags & kPicSystemMarks);
  s.iTime = 1;
  s.iTLzero = 0;
  s.sTime = '.';
  SetSystemIntl(s);
  EXPECT_EQ(CellText(CompilePicture("@T8")), " 0.00.00");
  SetSystemIntl(saved);
}

TEST(PictureCompiler, NumericSyntax) {
  Picture p = CompilePicture("@N$-*15`.2-");
  EXPECT_EQ(p.kind, PictureKind::kInvalid);  // two signs
  p = CompilePicture("@N~EUR~(*15_.2)");
  ASSERT_EQ(p.kind, PictureKind::kNumeric);
  EXPECT_EQ(p.numeric.currency_length, 3);
  EXPECT_EQ(p.numeric.sign, NumericSign::kParentheses);
  EXPECT_EQ(p.numeric.fill, '*');
  EXPECT_EQ(p.numeric.grouping, ' ');
  EXPECT_EQ(p.numeric.point, '.');
  EXPECT_EQ(p.numeric.places, 2);
  p = CompilePicture("@N12`2");
  EXPECT_EQ(p.numeric.point, ',');
  EXPECT_EQ(p.numeric.grouping, '.');
  EXPECT_EQ(CompilePicture("@N012.2").numeric.grouping, 0);
  EXPECT_EQ(CompilePicture("@N_12.2").numeric.grouping, 0);
  EXPECT_EQ(CompilePicture("@N*12.2").numeric.grouping, ',');
  EXPECT_EQ(CompilePicture("@N12.").numeric.grouping, '.');
  EXPECT_EQ(CompilePicture("@N12.").numeric.places, 0);
  EXPECT_EQ(CompilePicture("@N12v3").numeric.point, 'v');
  EXPECT_EQ(CompilePicture("@N12.2-").numeric.sign, NumericSign::kTrailingMinus);
  EXPECT_EQ(CompilePicture("@N12.2$").numeric.currency_trailing, true);
  EXPECT_EQ(CompilePicture("@N0").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N3.2").kind, PictureKind::kNumeric);
  EXPECT_EQ(CompilePicture("@N3.3").kind, PictureKind::kInvalid);  // no room for "."
  EXPECT_EQ(CompilePicture("@N3v3").kind, PictureKind::kNumeric);
  EXPECT_EQ(CompilePicture("@N(5.2").kind, PictureKind::kInvalid);  // no ")"
  EXPECT_EQ(CompilePicture("@N-5.2)").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N$5$").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N~~5").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N~ab5").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N255").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@N254").width, 254);
  EXPECT_EQ(CompilePicture("@N~LONG~4").kind, PictureKind::kNumeric);
  EXPECT_EQ(CompilePicture("@N~LONG~3").kind, PictureKind::kInvalid);
}

TEST(PictureCompiler, GroupingThatIsAlsoThePointIsInvalid) {
  // "1.234.50" could not be read back: either point could be the decimal one.
  for (const char* bad : {"@N15..2", "@N15``2", "N0199..99", "@N$-015..2-", "@N~kr~15``1"}) {
    Picture p = CompilePicture(bad);
    EXPECT_EQ(p.kind, PictureKind::kInvalid) << bad;
    EXPECT_EQ(p.width, 0) << bad;
  }
  // Without shown places, or with another point, the grouping stands.
  EXPECT_EQ(CompilePicture("@N15..").numeric.grouping, '.');
  EXPECT_EQ(CompilePicture("@N15..0").kind, PictureKind::kNumeric);
  EXPECT_EQ(CompilePicture("@N15.`2").numeric.point, ',');
  EXPECT_EQ(CompilePicture("@N15`.2").numeric.grouping, ',');
  EXPECT_EQ(CompilePicture("@N15.v2").numeric.point, 'v');
  EXPECT_EQ(CompilePicture("@N15.v2").numeric.grouping, '.');
}

TEST(PictureCompiler, ScientificAndPatterns) {
  Picture e = CompilePicture("@E12.3");
  ASSERT_EQ(e.kind, PictureKind::kScientific);
  EXPECT_EQ(e.width, 12);
  EXPECT_EQ(e.numeric.places, 3);
  EXPECT_EQ(CompilePicture("@E6").kind, PictureKind::kScientific);
  EXPECT_EQ(CompilePicture("@E5").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@E8.2").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@E9`2").numeric.point, ',');
  Picture p = CompilePicture("@P(###) ###-####P");
  ASSERT_EQ(p.kind, PictureKind::kPattern);
  EXPECT_EQ(p.width, 14);
  EXPECT_EQ(p.cells[1].code, kCellDigit);
  EXPECT_EQ(p.cells[0].code, kCellLiteral);
  EXPECT_EQ(CompilePicture("@p<<#p").width, 3);
  EXPECT_EQ(CompilePicture("@P###").kind, PictureKind::kInvalid);
  EXPECT_EQ(CompilePicture("@PP").kind, PictureKind::kInvalid);
  Picture k = CompilePicture("@K@@-###?KB");
  ASSERT_EQ(k.kind, PictureKind::kKeyIn);
  EXPECT_TRUE(k.flags & kPicBlankWhenZero);
  EXPECT_EQ(CellCodes(k), "3301114");
}

// Where a picture written inside other text (an expression) ends: where its
// own syntax ends, whatever follows.
TEST(PictureExtent, EndsWhereThePictureSyntaxEnds) {
  const struct {
    const char* text;
    const char* picture;
  } cases[] = {
      {"@P(###) ###-####P, 1", "@P(###) ###-####P"},
      {"@p#,#p)", "@p#,#p"},
      {"@K@@ ##K + 1", "@K@@ ##K"},
      {"@P##PB)", "@P##PB"},
      {"@P##Pbx", "@P##P"},  // "bx" is a name, not the blank-when-zero marker
      {"@Px)", "@Px)"},      // no closing letter: the rest is the pattern
      {"@N10.2)", "@N10.2"},
      {"@N10.2B, 2", "@N10.2B"},
      {"@N(10.2))", "@N(10.2)"},
      {"@N(8)) & 'x'", "@N(8)"},
      {"@N-12`2 ", "@N-12`2"},
      {"@N12.2-+1", "@N12.2-"},
      {"@N~$ x~10, 1", "@N~$ x~10"},
      {"@N~kr~(*15_.2))", "@N~kr~(*15_.2)"},
      {"@N$15.2,", "@N$15.2"},
      {"@N15_,", "@N15_"},
      {"@N15..2)", "@N15..2"},
      {"@N10v2~EUR~)", "@N10v2~EUR~"},
      {"@N~abc", "@N~abc"},  // an unterminated currency runs to the end
      {"@N*9)", "@N*9"},
      {"@D6-)", "@D6-"},
      {"@D06<40.,", "@D06<40."},
      {"@D6>, 1", "@D6>"},
      {"@D*2_ ", "@D*2_"},
      {"@T4`)", "@T4`"},
      {"@t_1]", "@t_1"},
      {"@S20]", "@S20"},
      {"@E12.3)", "@E12.3"},
      {"@E9`2 ", "@E9`2"},
      {"@Q5)", "@Q5"},
      {"@D", "@D"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(c.text).substr(0, PictureTextLength(c.text)), c.picture) << c.text;
  }
  EXPECT_EQ(PictureTextLength("@"), 0u);
  EXPECT_EQ(PictureTextLength("@5"), 0u);
  EXPECT_EQ(PictureTextLength("N10"), 0u);
  EXPECT_EQ(PictureTextLength(""), 0u);
}

}  // namespace
}  // namespace kor

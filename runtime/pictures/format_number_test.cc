// Tests of FORMAT and DEFORMAT for @N, @E and @P, and of the exact digits
// they work on.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/pictures/format.h"
#include "runtime/pictures/format_digits.h"

namespace kor {
namespace {

TEST(NumericPictures, SignsFillsGroupingAndCurrency) {
  const struct {
    const char* pic;
    double value;
    const char* shown;
  } cases[] = {
      {"@N10.2", 1234.5, "  1,234.50"},
      {"@N10.2", -1234.5, " -1,234.50"},
      {"@N-10.2", 1234.5, "  1,234.50"},
      {"@N-10.2", -1234.5, " -1,234.50"},
      {"@N10.2-", 1234.5, " 1,234.50 "},
      {"@N10.2-", -1234.5, " 1,234.50-"},
      {"@N(10.2)", 1234.5, " 1,234.50 "},
      {"@N(10.2)", -1234.5, "(1,234.50)"},
      {"@N$10.2", 1234.5, " $1,234.50"},
      {"@N$-10.2", -1234.5, "$-1,234.50"},
      {"@N$(11.2)", -1234.5, "$(1,234.50)"},
      {"@N010.2", 1234.5, "0001234.50"},
      {"@N010.2", -1234.5, "-001234.50"},
      {"@N-014.2", -5, "-0000000005.00"},
      {"@N*10.2", 1234.5, "**1,234.50"},
      {"@N$*10.2", 1234.5, "$*1,234.50"},
      {"@N-*10.2", -1234.5, "-*1,234.50"},
      {"@N_10.2", 1234.5, "   1234.50"},
      {"@N$_10.2", 1234.5, "$  1234.50"},
      {"@N12`2", 1234.5, "    1.234,50"},
      {"@N12_.2", 1234.5, "    1 234.50"},
      {"@N12.`2", 1234567.5, "1.234.567,50"},
      {"@N010`.2", 1234.5, "001,234.50"},
      {"@N011`.2", 1234.5, " 001,234.50"},
      {"@N9v2", 1234.5, "  1,23450"},
      {"@N_9v2", 1234.5, "   123450"},
      {"@N9v2-", -1234.5, " 1,23450-"},
      {"@N10", 1234567, " 1,234,567"},
      {"@N14.2~ EUR~", 1234.5, "  1,234.50 EUR"},
      {"@N~CHF ~12.2", -3.5, "   CHF -3.50"},
      {"@N~CHF ~-*12.2", -3.5, "CHF -***3.50"},
      {"@N10.", 1234567, " 1.234.567"},
      {"@N30", 1e20, "   100,000,000,000,000,000,000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatReal(c.value, c.pic), c.shown) << c.pic << " " << c.value;
  }
}

TEST(NumericPictures, ZeroFractionsAndOverflow) {
  EXPECT_EQ(FormatReal(0, "@N10.2"), "      0.00");
  EXPECT_EQ(FormatReal(0, "@N10.2B"), "          ");
  EXPECT_EQ(FormatReal(0.001, "@N10.2B"), "          ");  // shows as zero
  EXPECT_EQ(FormatReal(-0.001, "@N10.2"), "      0.00");  // no "-0.00"
  EXPECT_EQ(FormatReal(0.5, "@N4.2"), "0.50");
  EXPECT_EQ(FormatReal(0.5, "@N3.2"), ".50");
  EXPECT_EQ(FormatReal(-0.5, "@N4.2"), "-.50");
  EXPECT_EQ(FormatLong(123456, "@N5"), "#####");
  EXPECT_EQ(FormatLong(-234, "@N4"), "-234");
  EXPECT_EQ(FormatLong(-1234, "@N_5"), "-1234");
  EXPECT_EQ(FormatLong(-1234, "@N5"), "#####");
  EXPECT_EQ(FormatLong(-12345, "@N5"), "#####");
  EXPECT_EQ(FormatLong(12345, "@N5"), "#####");  // "12,345" needs 6
  EXPECT_EQ(FormatLong(12345, "@N_5"), "12345");
  EXPECT_EQ(FormatReal(INFINITY, "@N6"), "######");
  EXPECT_EQ(FormatReal(NAN, "@N6"), "######");
  EXPECT_EQ(FormatLong(INT64_MIN, "@N30"), "    -9,223,372,036,854,775,808");
  EXPECT_EQ(FormatLong(5, CompilePicture("@Nx")), "");
}

TEST(NumericPictures, RoundsHalfUpOnShownPlaces) {
  EXPECT_EQ(FormatReal(1.005, "@N5.2"), " 1.01");
  EXPECT_EQ(FormatReal(-1.005, "@N5.2"), "-1.01");
  EXPECT_EQ(FormatReal(0.125, "@N5.2"), " 0.13");
  EXPECT_EQ(FormatReal(2.5, "@N3"), "  3");
  EXPECT_EQ(FormatReal(-2.5, "@N3"), " -3");
  EXPECT_EQ(FormatReal(9.995, "@N5.2"), "10.00");
  EXPECT_EQ(FormatReal(99.995, "@N5.2"), "#####");
  EXPECT_EQ(FormatReal(999.5, "@N5"), "1,000");
  EXPECT_EQ(FormatReal(0.0049, "@N5.2"), " 0.00");
  EXPECT_EQ(FormatText("1.23456789012345678901234567890", "@N35.28"),
            "     1.2345678901234567890123456789");
  EXPECT_EQ(FormatText("-0.5", "@N3"), " -1");
  EXPECT_EQ(FormatText(" 12,5 ", "@N6.2"), " 12.50");
  EXPECT_EQ(FormatText("not a number", "@N6.2"), "  0.00");
}

TEST(ScientificPictures, MantissaAndExponent) {
  EXPECT_EQ(FormatReal(1234.5, "@E12.3"), "   1.235e+03");
  EXPECT_EQ(FormatReal(-0.00012345, "@E12.3"), "  -1.235e-04");
  EXPECT_EQ(FormatReal(0, "@E12.3"), "   0.000e+00");
  EXPECT_EQ(FormatReal(0, "@E12.3B"), "            ");
  EXPECT_EQ(FormatReal(9.9996, "@E12.3"), "   1.000e+01");
  EXPECT_EQ(FormatReal(1e300, "@E12.3"), "  1.000e+300");
  EXPECT_EQ(FormatReal(5, "@E6"), " 5e+00");
  EXPECT_EQ(FormatReal(-1e300, "@E10.3"), "##########");
  EXPECT_EQ(FormatReal(1234.5, "@E12`3"), "   1,235e+03");
  EXPECT_EQ(FormatLong(-7, "@E9.1"), " -7.0e+00");
}

TEST(PatternPictures, DigitsIntoCells) {
  EXPECT_EQ(FormatLong(123456789, "@P###-##-####P"), "123-45-6789");
  EXPECT_EQ(FormatLong(12345, "@P###-##-####P"), "000-01-2345");
  EXPECT_EQ(FormatLong(5551234567, "@P(###) ###-####P"), "(555) 123-4567");
  EXPECT_EQ(FormatLong(5, "@P<<<#P"), "   5");
  EXPECT_EQ(FormatLong(0, "@P<<<<P"), "   0");
  EXPECT_EQ(FormatLong(0, "@P<<<<PB"), "    ");
  EXPECT_EQ(FormatLong(-5, "@P<<<#P"), "  -5");
  EXPECT_EQ(FormatLong(-5, "@P##P"), "##");
  EXPECT_EQ(FormatLong(12345, "@P<<<#P"), "####");
  EXPECT_EQ(FormatLong(45, "@P<<,<<#P"), "    45");
  EXPECT_EQ(FormatLong(12345, "@P<<,<<#P"), "12,345");
  EXPECT_EQ(FormatReal(44.5, "@P<<#P"), " 45");
  EXPECT_EQ(FormatLong(7, "@PNo. <<#P"), "No.   7");
}

TEST(NumericReading, WhatPeopleType) {
  auto read = [](const char* text, const char* pic) {
    DeformatResult r = Deformat(text, pic);
    return r.ok ? r.value : "error:" + r.value;
  };
  EXPECT_EQ(read("$1,234.56", "@N$10.2"), "1234.56");
  EXPECT_EQ(read("1234.56", "@N$10.2"), "1234.56");
  EXPECT_EQ(read("(12.50)", "@N(10.2)"), "-12.5");
  EXPECT_EQ(read("12.50-", "@N10.2-"), "-12.5");
  EXPECT_EQ(read("-12.50", "@N10.2"), "-12.5");
  EXPECT_EQ(read("+7", "@N10.2"), "7");
  EXPECT_EQ(read("1.234,5", "@N12`2"), "1234.5");
  EXPECT_EQ(read("12", "@N9v2"), "0.12");
  EXPECT_EQ(read("12.5", "@N9v2"), "12.5");
  EXPECT_EQ(read("  1 234 ", "@N_10"), "1234");
  EXPECT_EQ(read("**1,234.50", "@N*10.2"), "1234.5");
  EXPECT_EQ(read("1,234.50 EUR", "@N14.2~ EUR~"), "1234.5");
  EXPECT_EQ(read("", "@N10.2"), "0");
  EXPECT_EQ(read("-0", "@N10.2"), "0");
  EXPECT_EQ(read("0.001", "@N10.2"), "0.001");  // typed places are kept
  EXPECT_EQ(read("abc", "@N10.2"), "error:0");
  EXPECT_EQ(read("12x", "@N10.2"), "error:12");
  EXPECT_EQ(read("#####", "@N5"), "error:0");
  EXPECT_EQ(read("1.5e3", "@E12.3"), "1500");
  EXPECT_EQ(read("-1,235e-04", "@E12`3"), "-0.0001235");
  EXPECT_EQ(read("123-45-6789", "@P###-##-####P"), "123456789");
  EXPECT_EQ(read("123456789", "@P###-##-####P"), "123456789");
  EXPECT_EQ(read("  -5", "@P<<<#P"), "-5");
  EXPECT_EQ(read("12a", "@P###P"), "error:12");
  // Where "." groups the digits of a "v" picture, "," is the typed point.
  EXPECT_EQ(read("1.23450", "@N15.v2"), "1234.5");
  EXPECT_EQ(read("1.234,5", "@N15.v2"), "1234.5");
  EXPECT_EQ(read("1,234.50", "@N15v2"), "1234.5");
}

TEST(NumericPictures, RoundTripsThroughDeformat) {
  const char* pictures[] = {"@N15.2",   "@N-15.2",     "@N15.2-",        "@N(15.2)",     "@N$15.2",
                            "@N015.2",  "@N*15.2",     "@N_15.2",        "@N15`2",       "@N15_.2",
                            "@N15v2",   "@N15.2~ kr~", "@N~Fr. ~-*16.2", "@N15.`3",      "@N15",
                            "@N15.2B",  "@E15.6",      "@E15`6",         "@P<<<<<<<<#P", "@N15.v2",
                            "@N015.`2", "@N15`v2",     "@N15.."};
  const double values[] = {0, 1, -1, 1234.5, -0.25, 999999.75, 0.5, -123456.5, 42};
  for (const char* pic : pictures) {
    Picture p = CompilePicture(pic);
    ASSERT_NE(p.kind, PictureKind::kInvalid) << pic;
    int places = p.kind == PictureKind::kPattern ? 0 : p.numeric.places;
    for (double v : values) {
      std::string text = FormatReal(v, p);
      DeformatResult r = Deformat(text, p);
      ASSERT_TRUE(r.ok) << pic << " '" << text << "'";
      double scale = std::pow(10.0, places);
      double expected = std::floor(std::fabs(v) * scale + 0.5) / scale;
      if (v < 0) expected = -expected;
      if (p.kind == PictureKind::kScientific) {
        EXPECT_NEAR(std::stod(r.value), v, std::fabs(v) * 1e-6) << pic << " '" << text << "'";
      } else {
        EXPECT_EQ(std::stod(r.value), expected) << pic << " '" << text << "'";
      }
    }
  }
}

// Numbers grouped more than once read back whatever characters group them.
TEST(NumericPictures, ManyGroupsRoundTrip) {
  for (const char* pic : {"@N15.v2", "@N15`v2", "@N15_v2", "@N015.`2", "@N15..", "@N15.`2"}) {
    Picture p = CompilePicture(pic);
    ASSERT_EQ(p.kind, PictureKind::kNumeric) << pic;
    for (double v : {1234567.25, -9876543.5, 123456789.0}) {
      std::string text = FormatReal(v, p);
      DeformatResult r = Deformat(text, p);
      ASSERT_TRUE(r.ok) << pic << " '" << text << "'";
      double expected = p.numeric.places == 0 ? std::round(v) : v;
      EXPECT_EQ(std::stod(r.value), expected) << pic << " '" << text << "'";
    }
  }
}

TEST(Digits, ConversionsAreExact) {
  Digits d;
  DigitsFromReal(0.1, &d);
  EXPECT_EQ(DigitsToText(d), "0.1");
  DigitsFromReal(-1e-7, &d);
  EXPECT_EQ(DigitsToText(d), "-0.0000001");
  DigitsFromReal(1.5e300, &d);
  EXPECT_EQ(DigitsToText(d), "1.5e+300");
  ASSERT_TRUE(DigitsFromText("  -000123.4500  ", '.', &d));
  EXPECT_EQ(DigitsToText(d), "-123.45");
  ASSERT_TRUE(DigitsFromText("2e3", '.', &d));
  EXPECT_EQ(DigitsToText(d), "2000");
  ASSERT_TRUE(DigitsFromText("1,5", 0, &d));
  EXPECT_EQ(DigitsToText(d), "1.5");
  EXPECT_FALSE(DigitsFromText("1,5", '.', &d));
  EXPECT_FALSE(DigitsFromText("", '.', &d));
  EXPECT_FALSE(DigitsFromText("-", '.', &d));
  EXPECT_FALSE(DigitsFromText("1e", '.', &d));
  ASSERT_TRUE(DigitsFromText("0.00", '.', &d));
  EXPECT_TRUE(d.IsZero());
  EXPECT_EQ(DigitsToText(d), "0");
  DigitsFromText("99.95", '.', &d);
  RoundDigits(&d, 1);
  EXPECT_EQ(DigitsToText(d), "100");
  DigitsFromText("0.04", '.', &d);
  RoundDigits(&d, 0);
  EXPECT_TRUE(d.IsZero());
  DigitsFromText("0.5", '.', &d);
  RoundDigits(&d, 0);
  EXPECT_EQ(DigitsToText(d), "1");
  DigitsFromText("12345678901234567890123", '.', &d);
  EXPECT_EQ(DigitsToLong(d), INT64_MAX);
  DigitsFromLong(INT64_MIN, &d);
  EXPECT_EQ(DigitsToLong(d), INT64_MIN);
  EXPECT_EQ(DigitsToText(d), "-9223372036854775808");
}

}  // namespace
}  // namespace kor

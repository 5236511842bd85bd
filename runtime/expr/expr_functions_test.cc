// Every built-in function of the expression language, with its boundaries.
#include "runtime/expr/expr_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "runtime/expr/expr_testing.h"
#include "runtime/memory/memory.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"

namespace kor {
namespace {

class FunctionTest : public ExprTest {
 protected:
  void SetUp() override {
    ExprTest::SetUp();
    BindString("s", s_, 8);
  }
  static double Real(const char* text) { return EvaluateReal(*ParseExpression(text)); }
  static int32_t Long(const char* text) { return EvaluateLong(*ParseExpression(text)); }
  char s_[8] = {'h', 'e', 'l', 'l', 'o', ' ', ' ', ' '};
};

TEST_F(FunctionTest, NumericFunctions) {
  EXPECT_EQ(Eval("INT(3.9)"), "3");
  EXPECT_EQ(Eval("INT(-3.9)"), "-3");
  EXPECT_EQ(Eval("INT('42.7')"), "42");
  EXPECT_EQ(Eval("INT(1e10)"), "2147483647");
  EXPECT_EQ(Eval("ABS(-2.5)"), "2.5");
  EXPECT_EQ(Eval("ABS(3)"), "3");
  EXPECT_EQ(Eval("SQRT(16)"), "4");
  EXPECT_EQ(Eval("SQRT(-1)"), "0");
  EXPECT_EQ(Eval("LOG10(1000)"), "3");
  EXPECT_EQ(Eval("LOG10(0)"), "0");
  EXPECT_DOUBLE_EQ(Real("LOGE(1)"), 0.0);
  EXPECT_NEAR(Real("LOGE(2.718281828459045)"), 1.0, 1e-15);
  EXPECT_NEAR(Real("SIN(3.141592653589793 / 2)"), 1.0, 1e-15);
  EXPECT_NEAR(Real("COS(0)"), 1.0, 1e-15);
  EXPECT_NEAR(Real("TAN(0.5)"), std::tan(0.5), 1e-15);
  EXPECT_NEAR(Real("ASIN(1)"), std::asin(1.0), 1e-15);
  EXPECT_NEAR(Real("ACOS(0)"), std::acos(0.0), 1e-15);
  EXPECT_NEAR(Real("ATAN(1)"), std::atan(1.0), 1e-15);
  EXPECT_EQ(Eval("ASIN(2)"), "0");
}

TEST_F(FunctionTest, RoundToAnOrder) {
  EXPECT_EQ(Eval("ROUND(1.005, 0.01)"), "1.01");
  EXPECT_EQ(Eval("ROUND(-1.005, 0.01)"), "-1.01");
  EXPECT_EQ(Eval("ROUND(2.5, 1)"), "3");
  EXPECT_EQ(Eval("ROUND(-2.5, 1)"), "-3");
  EXPECT_EQ(Eval("ROUND(2.4999, 1)"), "2");
  EXPECT_EQ(Eval("ROUND(1234, 100)"), "1200");
  EXPECT_EQ(Eval("ROUND(1250, 100)"), "1300");
  EXPECT_EQ(Eval("ROUND(0.125, 0.05)"), "0.15");
  EXPECT_EQ(Eval("ROUND(7.3, 0)"), "7.3");
  EXPECT_EQ(Eval("ROUND(7.3, -1)"), "7");
}

TEST_F(FunctionTest, BitFunctions) {
  EXPECT_EQ(Eval("BAND(12, 10)"), "8");
  EXPECT_EQ(Eval("BOR(12, 10)"), "14");
  EXPECT_EQ(Eval("BXOR(12, 10)"), "6");
  EXPECT_EQ(Eval("BAND(-1, 255)"), "255");
  EXPECT_EQ(Eval("BSHIFT(1, 4)"), "16");
  EXPECT_EQ(Eval("BSHIFT(16, -4)"), "1");
  EXPECT_EQ(Eval("BSHIFT(1, 31)"), "-2147483648");
  EXPECT_EQ(Eval("BSHIFT(-1, -28)"), "15");  // zeros come in
  EXPECT_EQ(Eval("BSHIFT(1, 32)"), "0");
  EXPECT_EQ(Eval("BSHIFT(1, -32)"), "0");
}

TEST_F(FunctionTest, RandomStaysInItsBounds) {
  SeedRandom(12345);
  auto tree = ParseExpression("RANDOM(3, 7)");
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    int32_t v = EvaluateLong(*tree);
    ASSERT_GE(v, 3);
    ASSERT_LE(v, 7);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(Eval("RANDOM(4, 4)"), "4");
  int32_t swapped = Long("RANDOM(10, 8)");
  EXPECT_TRUE(swapped >= 8 && swapped <= 10);
  int32_t wide = Long("RANDOM(-2147483647 - 1, 2147483647)");
  (void)wide;  // the full range must not overflow
  SeedRandom(99);
  int32_t first = Long("RANDOM(1, 1000000)");
  SeedRandom(99);
  EXPECT_EQ(Long("RANDOM(1, 1000000)"), first);
}

TEST_F(FunctionTest, InrangeInlistChoose) {
  EXPECT_EQ(Eval("INRANGE(5, 1, 10)"), "1");
  EXPECT_EQ(Eval("INRANGE(1, 1, 10)"), "1");
  EXPECT_EQ(Eval("INRANGE(10, 1, 10)"), "1");
  EXPECT_EQ(Eval("INRANGE(10.5, 1, 10)"), "0");
  EXPECT_EQ(Eval("INRANGE('b', 'a', 'c')"), "1");
  EXPECT_EQ(Eval("INLIST('b', 'a', 'b', 'c')"), "2");
  EXPECT_EQ(Eval("INLIST('d', 'a', 'b', 'c')"), "0");
  EXPECT_EQ(Eval("INLIST(s, 'x', 'hello')"), "2");  // blank padding
  EXPECT_EQ(Eval("INLIST(3, 1, 2, 3.0)"), "3");
  EXPECT_EQ(Eval("CHOOSE(2, 'a', 'b', 'c')"), "b");
  EXPECT_EQ(Eval("CHOOSE(9, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(Eval("CHOOSE(0, 'a', 'b', 'c')"), "c");
  EXPECT_EQ(Eval("CHOOSE(1, 5)"), "5");
  EXPECT_EQ(Eval("CHOOSE(2, 'a', 'b')"), "b");           // index form
  EXPECT_EQ(Eval("CHOOSE(1 < 2, 'yes', 'no')"), "yes");  // logical form
  EXPECT_EQ(Eval("CHOOSE(1 > 2, 'yes', 'no')"), "no");
  std::string args;
  for (int i = 1; i <= 24; ++i) args += ", '" + std::to_string(i) + "'";
  EXPECT_EQ(Eval("CHOOSE(24" + args + ")"), "24");
  EXPECT_EQ(Eval("INLIST('24'" + args + ")"), "24");
}

TEST_F(FunctionTest, StringFunctions) {
  EXPECT_EQ(Eval("SUB('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(Eval("SUB('abcdef', -2, 2)"), "ef");
  EXPECT_EQ(Eval("SUB('abcdef', 5, 10)"), "ef");
  EXPECT_EQ(Eval("SUB('abcdef', 7, 1)"), "");
  EXPECT_EQ(Eval("SUB('abcdef', 2, 0)"), "");
  EXPECT_EQ(Eval("INSTRING('l', s)"), "3");
  EXPECT_EQ(Eval("INSTRING('l', s, 1, 4)"), "4");
  EXPECT_EQ(Eval("INSTRING('lo', s, 2, 1)"), "0");
  EXPECT_EQ(Eval("INSTRING('lo', s, 1, 1)"), "4");
  EXPECT_EQ(Eval("INSTRING('z', s)"), "0");
  EXPECT_EQ(Eval("INSTRING('', s)"), "0");
  EXPECT_EQ(Eval("CLIP(s) & '|'"), "hello|");
  EXPECT_EQ(Eval("LEN(s)"), "8");
  EXPECT_EQ(Eval("LEN(CLIP(s))"), "5");
  EXPECT_EQ(Eval("LEN('')"), "0");
  EXPECT_EQ(Eval("ALL('ab', 5)"), "ababa");
  EXPECT_EQ(Eval("ALL('ab', 0)"), "");
  EXPECT_EQ(Eval("LEN(ALL('x', 100000))"), "65535");
  EXPECT_EQ(Eval("CHR(65) & CHR(97)"), "Aa");
  EXPECT_EQ(Eval("CHR(321)"), "A");  // modulo 256
  EXPECT_EQ(Eval("VAL('A')"), "65");
  EXPECT_EQ(Eval("VAL('')"), "0");
  EXPECT_EQ(Eval("NUMERIC('12.5')"), "1");
  EXPECT_EQ(Eval("NUMERIC(' -3e2 ')"), "1");
  EXPECT_EQ(Eval("NUMERIC('1.2.3')"), "0");
  EXPECT_EQ(Eval("NUMERIC('abc')"), "0");
  EXPECT_EQ(Eval("NUMERIC('')"), "0");
  EXPECT_EQ(Eval("UPPER('aBc1')"), "ABC1");
  EXPECT_EQ(Eval("LOWER('aBc1')"), "abc1");
  EXPECT_EQ(Eval("LEFT('  ab', 5) & '|'"), "ab   |");
  EXPECT_EQ(Eval("RIGHT('ab  ', 5) & '|'"), "   ab|");
  EXPECT_EQ(Eval("CENTER('ab', 6) & '|'"), "  ab  |");
  EXPECT_EQ(Eval("CENTER('ab', 5) & '|'"), " ab  |");
  EXPECT_EQ(Eval("LEFT('  ab') & '|'"), "ab  |");
  EXPECT_EQ(Eval("RIGHT('abcdef', 3)"), "def");
  // An explicit negative width reaches the string function, where it means
  // the text's own length.
  EXPECT_EQ(Eval("LEFT('  ab', -1) & '|'"), "ab  |");
  EXPECT_EQ(Eval("RIGHT('ab  ', -1) & '|'"), "  ab|");
  EXPECT_EQ(Eval("CENTER(' ab    ', -1) & '|'"), "  ab   |");
  EXPECT_EQ(Eval("LEFT('abc', -5) & '|'"), "abc|");
  EXPECT_EQ(Eval("RIGHT(' abc', 0 - 2) & '|'"), " abc|");
}

TEST_F(FunctionTest, DateFunctions) {
  EXPECT_EQ(Eval("DATE(1, 1, 1801)"), "4");
  EXPECT_EQ(Eval("DATE(12, 31, 9999)"), "2994626");
  EXPECT_EQ(Eval("DATE(2, 30, 2000) = DATE(3, 1, 2000)"), "1");
  EXPECT_EQ(Eval("DATE(1, 1, 1800)"), "-1");
  EXPECT_EQ(Eval("DATE(1, 2147483647, 2000)"), "-1");  // promptly
  EXPECT_EQ(Eval("DATE(2147483647, 1, 2000)"), "-1");
  EXPECT_EQ(Eval("DATE(13, 1, 2023) = DATE(1, 1, 2024)"), "1");
  EXPECT_EQ(Eval("DATE(1, 32, 2023) = DATE(2, 1, 2023)"), "1");
  EXPECT_EQ(Eval("DAY(DATE(2, 29, 2000))"), "29");
  EXPECT_EQ(Eval("MONTH(DATE(2, 29, 2000))"), "2");
  EXPECT_EQ(Eval("YEAR(DATE(2, 29, 2000))"), "2000");
  EXPECT_EQ(Eval("YEAR(3)"), "0");
  int32_t today = Long("TODAY()");
  EXPECT_GT(today, Long("DATE(1, 1, 2020)"));
  int32_t clock = Long("CLOCK()");
  EXPECT_GE(clock, 1);
  EXPECT_LE(clock, 8640000);
  EXPECT_EQ(Eval("AGE(TODAY() - 10, TODAY())"), "10 DAYS");
  EXPECT_EQ(Eval("AGE(TODAY() - 10)"), "10 DAYS");
  EXPECT_EQ(Eval("AGE(DATE(1, 1, 2000), DATE(6, 1, 2001))"), "17 MOS");
  EXPECT_EQ(Eval("AGE(DATE(1, 1, 2000), DATE(1, 1, 2005))"), "5 YRS");
}

TEST_F(FunctionTest, DatesAreTheDateModulesOwn) {
  // Day counts from day 4 = 1 January 1801, worked out by hand; roll-over
  // with each month's own length; -1 (and zero parts) for no valid date.
  const struct {
    const char* call;
    int32_t date, day, month, year;
  } cases[] = {
      {"DATE(2, 29, 2000)", 72746, 29, 2, 2000},
      {"DATE(2, 29, 1900)", 36222, 1, 3, 1900},
      {"DATE(13, 1, 2023)", 81453, 1, 1, 2024},
      {"DATE(1, 32, 2023)", 81119, 1, 2, 2023},
      {"DATE(12, 31, 9999)", 2994626, 31, 12, 9999},
      {"DATE(1, 1, 1801)", 4, 1, 1, 1801},
      {"DATE(0, 5, 2000)", -1, 0, 0, 0},
      {"DATE(25, 40, 1999)", 73092, 9, 2, 2001},
      {"DATE(2, 30, 2001)", 73113, 2, 3, 2001},
      {"DATE(1, 1, 10000)", -1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    std::string text = c.call;
    EXPECT_EQ(Long(text.c_str()), c.date) << text;
    EXPECT_EQ(Long(("DAY(" + text + ")").c_str()), c.day) << text;
    EXPECT_EQ(Long(("MONTH(" + text + ")").c_str()), c.month) << text;
    EXPECT_EQ(Long(("YEAR(" + text + ")").c_str()), c.year) << text;
  }
  // Two-digit years go through the module's century window and its year.
  SetCurrentYearForTesting(2100);
  EXPECT_EQ(Long("DATE(1, 1, 19)"), 116151);  // 1 January 2119
  EXPECT_EQ(Long("DATE(1, 1, 20)"), 79992);   // 1 January 2020
  SetCurrentYearForTesting(2026);
  EXPECT_EQ(Long("DATE(1, 1, 45)"), 89124);  // 1 January 2045
  EXPECT_EQ(Long("DATE(1, 1, 46)"), 52964);  // 1 January 1946
  SetCurrentYearForTesting(0);
  // TODAY and CLOCK read the same clock as the module (one midnight apart at
  // most, should the test run across one).
  int32_t before = TODAY(), today = Long("TODAY()"), after = TODAY();
  EXPECT_TRUE(today == before || today == after);
  int32_t clock_before = CLOCK(), clock = Long("CLOCK()"), clock_after = CLOCK();
  if (clock_before <= clock_after) {
    EXPECT_GE(clock, clock_before);
    EXPECT_LE(clock, clock_after);
  }
  // AGE is the module's text, with a birth "after" the base a century back.
  EXPECT_EQ(Eval("AGE(DATE(1, 31, 2000), DATE(3, 1, 2000))"), "30 DAYS");
  EXPECT_EQ(Eval("AGE(DATE(12, 31, 1999), DATE(1, 1, 2002))"), "2 YRS");  // 24 whole months
  EXPECT_EQ(Eval("AGE(3, DATE(1, 1, 2000))"), std::string(255, '*'));
  EXPECT_EQ(Eval("AGE(DATE(1, 1, 2020), DATE(1, 1, 1990))"), "70 YRS");
  EXPECT_EQ(Eval("AGE(3, 10)"), std::string(255, '*'));
}

TEST_F(FunctionTest, FormatIsThePictureModules) {
  EXPECT_EQ(Eval("FORMAT(1234.5, @N10.2)"), "  1,234.50");
  EXPECT_EQ(Eval("FORMAT(-42, @N(8))"), "    (42)");
  EXPECT_EQ(Eval("FORMAT(1.005, @N6.2)"), "  1.01");  // half up on the exact digits
  EXPECT_EQ(Eval("FORMAT('12.5', @N8.3)"), "  12.500");
  EXPECT_EQ(Eval("FORMAT(s, @S3) & '|'"), "hel|");
  EXPECT_EQ(Eval("FORMAT(5, '@N04')"), "0005");  // a picture held as a string
  EXPECT_EQ(Eval("FORMAT(0, @N6.2B) & '|'"), "      |");
  // Dates and times.
  EXPECT_EQ(Eval("FORMAT(DATE(12, 25, 2026), @D6-)"), "25-12-2026");
  EXPECT_EQ(Eval("FORMAT(DATE(12, 25, 2026), @D6_)"), "25 12 2026");
  EXPECT_EQ(Eval("FORMAT(4, @D2)"), " 1/01/1801");
  EXPECT_EQ(Eval("FORMAT(DATE(2, 29, 2000), @D10)"), "2000/02/29");
  EXPECT_EQ(Eval("FORMAT(8640000, @T4)"), "23:59:59");
  EXPECT_EQ(Eval("FORMAT(360001 + 2 * 6000 + 300, @T4)"), "01:02:03");
  // A picture the module rejects, given as a string, formats to nothing.
  EXPECT_EQ(Eval("FORMAT(5, '@Q5') & '|'"), "|");
}

TEST_F(FunctionTest, DeformatIsThePictureModules) {
  EXPECT_EQ(Eval("DEFORMAT('1,234.50', @N10.2)"), "1234.5");
  EXPECT_EQ(Eval("DEFORMAT('1.234,50', @N12`2)"), "1234.5");
  EXPECT_EQ(Eval("DEFORMAT('(12.50)', @N(10.2))"), "-12.5");
  EXPECT_EQ(Long("DEFORMAT('25/12/2026', @D6)"), 82542);
  EXPECT_EQ(Long("DEFORMAT('23:59:59', @T4)"), 8639901);  // 23:59:59.00
  // Text the picture cannot read comes back unchanged.
  EXPECT_EQ(Eval("DEFORMAT('no date', @D6)"), "no date");
  // Round trips: what FORMAT shows, DEFORMAT reads back to the same value.
  const char* trips[] = {
      "DEFORMAT(FORMAT(DATE(2, 29, 2000), @D6), @D6) = DATE(2, 29, 2000)",
      "DEFORMAT(FORMAT(DATE(12, 31, 9999), @D4), @D4) = DATE(12, 31, 9999)",
      "DEFORMAT(FORMAT(-1234.56, @N-12`2), @N-12`2) = -1234.56",
      "DEFORMAT(FORMAT(1234567.25, @N$15.2), @N$15.2) = 1234567.25",
      "DEFORMAT(FORMAT(0.000125, @E12.3), @E12.3) = 0.000125",
      "DEFORMAT(FORMAT(372001, @T2), @T2) = 372001",
      "DEFORMAT(FORMAT(123456789, @P###-##-####P), @P###-##-####P) = 123456789",
  };
  for (const char* text : trips) EXPECT_EQ(Eval(text), "1") << text;
}

TEST_F(FunctionTest, MemoryAndGetini) {
  // Freeing a block leaves at least its bytes free in the heap.
  void* block = Allocate(4096);
  Free(block);
  EXPECT_GE(Long("MEMORY(0)"), 4096);
  EXPECT_EQ(Eval("GETINI('no such section', 'entry', 'fallback', 'no-such-file.ini')"), "fallback");
  EXPECT_EQ(Eval("GETINI('no such section', 'entry')"), "");
}

}  // namespace
}  // namespace kor

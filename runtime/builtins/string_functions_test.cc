// The string functions: results, boundaries and the stack they leave behind.
#include "runtime/builtins/string_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/locale/collation.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

class StringFunctionsTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(StringStackDepth(), 0) << "test left entries behind"; }
};

void Push(const std::string& s) { PushCopy(s); }

std::string Left(const std::string& s, int32_t n) {
  Push(s);
  LEFT(n);
  return PopToStdString();
}
std::string Right(const std::string& s, int32_t n) {
  Push(s);
  RIGHT(n);
  return PopToStdString();
}
std::string Center(const std::string& s, int32_t n) {
  Push(s);
  CENTER(n);
  return PopToStdString();
}
std::string Sub(const std::string& s, int32_t start, int32_t length) {
  Push(s);
  SUB(start, length);
  return PopToStdString();
}
int32_t InString(const std::string& sub, const std::string& s, int32_t step, int32_t start) {
  Push(sub);
  Push(s);
  return INSTRING(step, start);
}
std::string All(const std::string& s, int32_t n) {
  Push(s);
  ALL(n);
  return PopToStdString();
}

TEST_F(StringFunctionsTest, ConcatenationOrder) {
  Push("abc");
  Push("def");
  Concatenate();
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  EXPECT_EQ(PopToStdString(), "abcdef");
  Push("abc");
  Push("def");
  ConcatenateReversed();
  EXPECT_EQ(PopToStdString(), "defabc");
  // Owned operands longer than the inline buffer, and empty ones.
  Push(std::string(30, 'x'));
  Push(std::string(25, 'y'));
  Concatenate();
  EXPECT_EQ(PopToStdString(), std::string(30, 'x') + std::string(25, 'y'));
  Push("");
  Push("");
  Concatenate();
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  EXPECT_EQ(PopToStdString(), "");
  // A deeper entry stays where it was.
  Push("keep");
  Push("a");
  Push("b");
  Concatenate();
  EXPECT_EQ(PopToStdString(), "ab");
  EXPECT_EQ(PopToStdString(), "keep");
}

TEST_F(StringFunctionsTest, LeftMovesLeadingBlanksToTheEnd) {
  EXPECT_EQ(Left("   abc", -1), "abc   ");
  EXPECT_EQ(Left("   abc", 4), "abc ");
  EXPECT_EQ(Left("   abc", 2), "ab");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(Left("      ", -1), "      ");
  EXPECT_EQ(Left("", -1), "");
  // A borrowed text is not changed in place.
  std::string field = "  xy";
  PushString(field.data(), 4);
  LEFT(-1);
  EXPECT_EQ(PopToStdString(), "xy  ");
  EXPECT_EQ(field, "  xy");
  // Owned (longer than the inline buffer).
  EXPECT_EQ(Left(std::string(10, ' ') + std::string(15, 'z'), -1),
            std::string(15, 'z') + std::string(10, ' '));
}

TEST_F(StringFunctionsTest, RightJustifies) {
  EXPECT_EQ(Right("abc   ", -1), "   abc");
  EXPECT_EQ(Right("abc", 5), "  abc");
  EXPECT_EQ(Right("abc  ", 3), "abc");
  EXPECT_EQ(Right("abcdef", 3), "def");
  EXPECT_EQ(Right("abc", 0), "");
  EXPECT_EQ(Right("", 2), "  ");
  EXPECT_EQ(Right("ab", 25), std::string(23, ' ') + "ab");
}

TEST_F(StringFunctionsTest, CenterPutsTheOddBlankOnTheRight) {
  EXPECT_EQ(Center("ab", 6), "  ab  ");
  EXPECT_EQ(Center("ab", 5), " ab  ");
  EXPECT_EQ(Center("  ab   ", -1), "  ab   ");
  EXPECT_EQ(Center("ab     ", -1), "  ab   ");
  EXPECT_EQ(Center("abcdef", 4), "abcd");
  EXPECT_EQ(Center("", 3), "   ");
  EXPECT_EQ(Center("x", 1), "x");
}

TEST_F(StringFunctionsTest, UpperLowerAndClip) {
  std::string borrowed = "Hello, World 9";
  PushString(borrowed.data(), static_cast<int32_t>(borrowed.size()));
  UPPER();
  EXPECT_EQ(PopToStdString(), "HELLO, WORLD 9");
  EXPECT_EQ(borrowed, "Hello, World 9");  // detached before mapping
  Push("MiXeD Case Text That Is Long Enough");
  LOWER();
  EXPECT_EQ(PopToStdString(), "mixed case text that is long enough");
  Push("");
  UPPER();
  EXPECT_EQ(PopToStdString(), "");
  // Characters from 128 upward follow the case tables.
  SetCasePairs("\xC9", 1, "\xE9", 1);
  Push("\xC9t\xC9");
  LOWER();
  EXPECT_EQ(PopToStdString(), "\xE9t\xE9");
  Push("\xE9");
  UPPER();
  EXPECT_EQ(PopToStdString(), "\xC9");
  ResetCollation();
  Push("ab  ");
  CLIP();
  EXPECT_EQ(PopToStdString(), "ab");
}

TEST_F(StringFunctionsTest, SubCountsFromOneAndFromTheEnd) {
  EXPECT_EQ(Sub("abcdef", 1, 3), "abc");
  EXPECT_EQ(Sub("abcdef", 3, 2), "cd");
  EXPECT_EQ(Sub("abcdef", 5, 10), "ef");
  EXPECT_EQ(Sub("abcdef", 6, 1), "f");
  EXPECT_EQ(Sub("abcdef", 7, 1), "");
  EXPECT_EQ(Sub("abcdef", -1, 1), "f");
  EXPECT_EQ(Sub("abcdef", -3, 2), "de");
  EXPECT_EQ(Sub("abcdef", -6, 6), "abcdef");
  EXPECT_EQ(Sub("abcdef", -8, 3), "a");  // the part before the start is left out
  EXPECT_EQ(Sub("abcdef", 0, 3), "");
  EXPECT_EQ(Sub("abcdef", 2, 0), "");
  EXPECT_EQ(Sub("abcdef", 2, -1), "");
  EXPECT_EQ(Sub("abcdef", 2, 2147483647), "bcdef");
  EXPECT_EQ(Sub("abcdef", -2147483647 - 1, 2147483647), "abcde");    // -2147483641 .. 5
  EXPECT_EQ(Sub(std::string(20, 'a') + "bcdefghij", 21, 3), "bcd");  // owned source
  // A borrowed source stays borrowed.
  std::string text = "window";
  PushString(text.data(), 6);
  SUB(2, 3);
  EXPECT_EQ(StringStackTop()->kind, kStringBorrowed);
  EXPECT_EQ(PopToStdString(), "ind");
}

TEST_F(StringFunctionsTest, InStringSearchesWithStepAndStart) {
  EXPECT_EQ(InString("cd", "abcdef", 1, 1), 3);
  EXPECT_EQ(InString("cd", "abcdef", 1, 4), 0);
  EXPECT_EQ(InString("ab", "abab", 1, 2), 3);
  EXPECT_EQ(InString("ab", "xaby", 2, 1), 0);  // places 1 and 3 only
  EXPECT_EQ(InString("by", "xaby", 2, 1), 3);
  EXPECT_EQ(InString("ab", "abab", -1, 4), 3);  // backwards from the end
  EXPECT_EQ(InString("ab", "abab", -1, 2), 1);
  EXPECT_EQ(InString("ab", "abab", -2, 101), 3);  // 101, 99, ... 5 passed over
  EXPECT_EQ(InString("ab", "abab", -2, 100), 0);  // 100, 98, ... 4 passed over, then 2
  EXPECT_EQ(InString("b", "abc", 0, 1), 2);       // step 0 counts as 1
  EXPECT_EQ(InString("a", "abc", 1, -5), 1);
  EXPECT_EQ(InString("c", "abc", 2, -4), 0);  // -4, -2, 0, 2: never 3
  EXPECT_EQ(InString("", "abc", 1, 1), 0);
  EXPECT_EQ(InString("abcd", "abc", 1, 1), 0);
  EXPECT_EQ(InString("abc", "abc", 1, 1), 1);
  EXPECT_EQ(InString("C", "abc", 1, 1), 0);  // exact, case matters
  EXPECT_EQ(InString("a", "aaa", 2147483647, 1), 1);
  EXPECT_EQ(InString("z", "aaa", 2147483647, 1), 0);
}

TEST_F(StringFunctionsTest, AllRepeatsToTheLength) {
  EXPECT_EQ(All("ab", 5), "ababa");
  EXPECT_EQ(All("*", 3), "***");
  EXPECT_EQ(All("abc", 2), "ab");
  EXPECT_EQ(All("ab", 0), "");
  EXPECT_EQ(All("ab", -3), "");
  EXPECT_EQ(All("", 4), "    ");
  EXPECT_EQ(All("-=", 41), std::string("-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-"));
}

TEST_F(StringFunctionsTest, ChrValLenAndNumeric) {
  CHR(65);
  EXPECT_EQ(PopToStdString(), "A");
  CHR(0);
  EXPECT_EQ(PopToStdString(), std::string(1, '\0'));
  CHR(256 + 66);
  EXPECT_EQ(PopToStdString(), "B");
  Push("\xE9t\xE9");
  EXPECT_EQ(VAL(), 0xE9);
  Push("");
  EXPECT_EQ(VAL(), 0);
  Push("abc   ");
  EXPECT_EQ(LEN(), 6);
  Push("");
  EXPECT_EQ(LEN(), 0);

  const struct {
    const char* text;
    int32_t numeric;
  } cases[] = {{"123", 1},  {"  -12.5  ", 1}, {"+7", 1},    {".5", 1},  {"5.", 1},
               {"1e10", 1}, {"2E-3", 1},      {"0", 1},     {"", 0},    {"   ", 0},
               {"-", 0},    {".", 0},         {"1.2.3", 0}, {"12a", 0}, {"1 2", 0},
               {"1e", 0},   {"e5", 0},        {"--1", 0},   {"1,5", 0}};
  for (const auto& c : cases) {
    Push(c.text);
    EXPECT_EQ(NUMERIC(), c.numeric) << '"' << c.text << '"';
  }
}

#if !defined(_WIN32)
using StringFunctionsDeathTest = StringFunctionsTest;

TEST_F(StringFunctionsDeathTest, MissingOperandsRaiseStringStackError) {
  EXPECT_EXIT(
      {
        Push("only one");
        Concatenate();
      },
      testing::ExitedWithCode(2), "String Stack Error");
  EXPECT_EXIT(LEN(), testing::ExitedWithCode(2), "String Stack Error");
  EXPECT_EXIT(RIGHT(3), testing::ExitedWithCode(2), "String Stack Error");
}
#endif

}  // namespace
}  // namespace kor

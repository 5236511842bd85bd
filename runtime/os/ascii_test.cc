// ASCII helpers: only A-Z and a-z change case, bytes from 128 and the
// neighbours of the letter ranges stay as they are, blanks are spaces only.
#include "runtime/os/ascii.h"

#include <gtest/gtest.h>

namespace kor {
namespace {

TEST(Ascii, DigitsAreZeroToNineOnly) {
  EXPECT_TRUE(IsAsciiDigit('0'));
  EXPECT_TRUE(IsAsciiDigit('9'));
  EXPECT_FALSE(IsAsciiDigit('/'));  // the characters either side of the range
  EXPECT_FALSE(IsAsciiDigit(':'));
  EXPECT_FALSE(IsAsciiDigit(' '));
  EXPECT_FALSE(IsAsciiDigit('\xB2'));  // superscript two in the Windows set
}

TEST(Ascii, LettersAreTheTwoAsciiRanges) {
  EXPECT_TRUE(IsAsciiLetter('A'));
  EXPECT_TRUE(IsAsciiLetter('z'));
  EXPECT_FALSE(IsAsciiLetter('@'));  // just before 'A'
  EXPECT_FALSE(IsAsciiLetter('['));  // just after 'Z'
  EXPECT_FALSE(IsAsciiLetter('`'));  // just before 'a'
  EXPECT_FALSE(IsAsciiLetter('{'));  // just after 'z'
  EXPECT_FALSE(IsAsciiLetter('\xE9'));
}

TEST(Ascii, CaseChangesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper('a'), 'A');
  EXPECT_EQ(AsciiUpper('z'), 'Z');
  EXPECT_EQ(AsciiUpper('A'), 'A');
  EXPECT_EQ(AsciiUpper('{'), '{');
  EXPECT_EQ(AsciiUpper('\xE9'), '\xE9');  // e acute is left to the case tables
  EXPECT_EQ(AsciiLower('A'), 'a');
  EXPECT_EQ(AsciiLower('Z'), 'z');
  EXPECT_EQ(AsciiLower('['), '[');
  EXPECT_EQ(AsciiLower('\xC9'), '\xC9');
  EXPECT_EQ(AsciiUpperText("QuickScan=on 1"), "QUICKSCAN=ON 1");
  EXPECT_EQ(AsciiUpperText(""), "");
}

TEST(Ascii, EqualIgnoringCaseNeedsTheSameLength) {
  EXPECT_TRUE(EqualIgnoringAsciiCase("Windows", "WINDOWS"));
  EXPECT_TRUE(EqualIgnoringAsciiCase("", ""));
  EXPECT_FALSE(EqualIgnoringAsciiCase("WINDOWS ", "WINDOWS"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("DOS", "DOT"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xE9", "\xC9"));  // not ASCII: no case
  EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`"));        // 0x40 and 0x60 differ by the case bit
}

TEST(Ascii, BlankTextIsSpacesOnly) {
  EXPECT_TRUE(IsBlankText(""));
  EXPECT_TRUE(IsBlankText("   "));
  EXPECT_FALSE(IsBlankText(" \t "));
  EXPECT_FALSE(IsBlankText(std::string_view("  \0", 3)));
}

TEST(Ascii, TrimsBlanksFromEitherEnd) {
  EXPECT_EQ(TrimTrailingBlanks("  a b  "), "  a b");
  EXPECT_EQ(TrimLeadingBlanks("  a b  "), "a b  ");
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("     "), "");
  EXPECT_EQ(TrimTrailingBlanks(""), "");
  // Tabs and zero bytes are not blanks.
  EXPECT_EQ(TrimBlanks("\ta\t "), "\ta\t");
  EXPECT_EQ(TrimTrailingBlanks(std::string_view("a\0 ", 3)), std::string_view("a\0", 2));
}

TEST(Ascii, TrimmedViewsPointIntoTheText) {
  // Callers hand the result's data() on, also when nothing is left.
  std::string_view blanks = "   ";
  EXPECT_EQ(TrimTrailingBlanks(blanks).data(), blanks.data());
  EXPECT_EQ(TrimLeadingBlanks(blanks).data(), blanks.data() + 3);
  EXPECT_EQ(TrimBlanks(blanks).data(), blanks.data());
  EXPECT_EQ(TrimWhitespace(blanks).data(), blanks.data());
  std::string_view text = "  ab ";
  EXPECT_EQ(TrimBlanks(text).data(), text.data() + 2);
}

TEST(Ascii, TrimsWhitespaceFromBothEnds) {
  EXPECT_EQ(TrimWhitespace(" \t key = value \r\n"), "key = value");
  EXPECT_EQ(TrimWhitespace("\r\n\t "), "");
  EXPECT_EQ(TrimWhitespace("x"), "x");
  EXPECT_EQ(TrimWhitespace("\va\v"), "\va\v");  // other control characters stay
}

}  // namespace
}  // namespace kor

// Line splitting, limits, Ctrl-Z, escapes and value lists of environment files.
#include "runtime/locale/environment_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kor {
namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

Lines Read(const std::string& text, size_t piece = 0) {
  Lines lines;
  EnvironmentLineReader reader([&](std::string_view k, std::string_view v) {
    lines.emplace_back(std::string(k), std::string(v));
  });
  if (piece == 0) piece = text.size() + 1;
  for (size_t i = 0; i < text.size(); i += piece)
    if (!reader.Feed(text.data() + i, std::min(piece, text.size() - i))) break;
  reader.Finish();
  return lines;
}

TEST(EnvironmentLines, KeysValuesAndLineEnds) {
  Lines l = Read("KORLFN=on\r\nno equals here\rKOR MONTH = a b \t\nlast=x");
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0], (std::pair<std::string, std::string>{"KORLFN", "on"}));
  EXPECT_EQ(l[1].first, "KORMONTH");  // blanks in the key are dropped
  EXPECT_EQ(l[1].second, " a b");     // trailing blanks and tabs removed
  EXPECT_EQ(l[2], (std::pair<std::string, std::string>{"last", "x"}));
  // The same text fed one byte at a time.
  EXPECT_EQ(Read("KORLFN=on\r\nno equals here\rKOR MONTH = a b \t\nlast=x", 1), l);
}

TEST(EnvironmentLines, CtrlZEndsTheFile) {
  Lines l =
      Read(std::string("A=1\nB=2\x1A"
                       "C=3\n"));
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[1].second, "2");
  EXPECT_TRUE(Read(std::string("\x1A"
                               "A=1\n"))
                  .empty());
}

TEST(EnvironmentLines, LimitsCutKeyAndValue) {
  std::string key(40, 'K'), value(1500, 'v');
  Lines l = Read(key + "=" + value + "\nNEXT=1\n");
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0].first.size(), kEnvMaxKey);
  EXPECT_EQ(l[0].second.size(), kEnvMaxValue);
  EXPECT_EQ(l[1].first, "NEXT");
  // Lines longer than the read buffer survive a split anywhere.
  EXPECT_EQ(Read(key + "=" + value + "\nNEXT=1\n", 7), l);
  // Only the first "=" separates; later ones belong to the value.
  EXPECT_EQ(Read("A=b=c")[0].second, "b=c");
  EXPECT_EQ(Read("=x")[0].first, "");
}

TEST(EnvironmentEscapes, CodesAndLessThan) {
  EXPECT_EQ(DecodeEnvironmentValue("<65><66>"), "AB");
  EXPECT_EQ(DecodeEnvironmentValue("a<<b"), "a<b");
  EXPECT_EQ(DecodeEnvironmentValue("<<<<"), "<<");
  EXPECT_EQ(DecodeEnvironmentValue("<x>"), "<x>");
  EXPECT_EQ(DecodeEnvironmentValue("a<"), "a<");
  EXPECT_EQ(DecodeEnvironmentValue("<65"), "A");
  EXPECT_EQ(DecodeEnvironmentValue("<65)z"), "Az");  // any character ends the code
  EXPECT_EQ(DecodeEnvironmentValue("x<32>"), "x ");
  EXPECT_EQ(DecodeEnvironmentValue("<0>"), std::string(1, '\0'));
  EXPECT_EQ(DecodeEnvironmentValue("<255>"), "\xFF");
  EXPECT_EQ(DecodeEnvironmentValue("<256>"), "<256>");
  EXPECT_EQ(DecodeEnvironmentValue("<99999999999999999999>"), "<99999999999999999999>");
}

TEST(EnvironmentLists, CommaSeparated) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitEnvironmentList("Jan,Feb, Mar ", false), (V{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(SplitEnvironmentList("  \tJan", false), (V{"Jan"}));
  EXPECT_EQ(SplitEnvironmentList("a,,b", false), (V{"a", "", "b"}));
  EXPECT_EQ(SplitEnvironmentList("a,b,", false), (V{"a", "b", ""}));
  EXPECT_EQ(SplitEnvironmentList("a,b c", true), (V{"a,b c"}));
  EXPECT_TRUE(SplitEnvironmentList("", false).empty());
  EXPECT_TRUE(SplitEnvironmentList("   ", true).empty());
}

TEST(EnvironmentLists, QuotedItems) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitEnvironmentList("\"&Yes\" \"&No\"", false), (V{"&Yes", "&No"}));
  EXPECT_EQ(SplitEnvironmentList("\"a, b\",\"c\"", false), (V{"a, b", "c"}));
  EXPECT_EQ(SplitEnvironmentList("\"say \"\"hi\"\"\"", false), (V{"say \"hi\""}));
  EXPECT_EQ(SplitEnvironmentList("\"\" \"x\"", false), (V{"", "x"}));
  EXPECT_EQ(SplitEnvironmentList("\"open", false), (V{"open"}));
  EXPECT_EQ(SplitEnvironmentList("\"a\" bare", false), (V{"a", "bare"}));
  std::string long_list = "\"" + std::string(500, 'q') + "\"";
  EXPECT_EQ(SplitEnvironmentList(long_list, false)[0].size(), kEnvMaxQuotedList - 1);
}

}  // namespace
}  // namespace kor

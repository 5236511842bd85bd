// Tests of the first reading of a description: texts and their escapes,
// words, comments, nesting by indentation and the faults of each.
#include "tools/rsc/text_tree.h"

#include <gtest/gtest.h>

namespace rsc {
namespace {

std::vector<Line> Read(const std::string& text, std::vector<Diagnostic>* d) {
  std::vector<Line> roots;
  ReadTextTree(text, &roots, d);
  return roots;
}

TEST(TextTree, TextsAndTheirEscapes) {
  struct Case {
    const char* line;
    std::string value;
  };
  const Case cases[] = {
      {R"(x "plain")", "plain"},
      {R"(x "say ""hi""")", "say \"hi\""},
      {R"(x "a<<b")", "a<b"},
      {R"(x "line<10>feed")", "line\nfeed"},
      {R"(x "<255><1>")", "\xFF\x01"},
      {R"(x "C:\ICONS\X.ICO")", "C:\\ICONS\\X.ICO"},
      {R"(x "# not a comment")", "# not a comment"},
      {R"(x "")", ""},
  };
  for (const Case& c : cases) {
    std::vector<Diagnostic> d;
    std::vector<Line> roots = Read(c.line, &d);
    ASSERT_TRUE(d.empty()) << c.line << ": " << d[0].message;
    ASSERT_EQ(roots.size(), 1u);
    ASSERT_EQ(roots[0].tokens.size(), 2u) << c.line;
    EXPECT_TRUE(roots[0].tokens[1].is_text);
    EXPECT_EQ(roots[0].tokens[1].value, c.value) << c.line;
  }
}

TEST(TextTree, EveryCharacterQuotesAndReadsBack) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::vector<Diagnostic> d;
  std::vector<Line> roots = Read("x " + QuoteText(all), &d);
  ASSERT_TRUE(d.empty()) << d[0].message;
  EXPECT_EQ(roots[0].tokens[1].value, all);
  EXPECT_EQ(QuoteText("a\"b<c\n"), "\"a\"\"b<<c<10>\"");
}

TEST(TextTree, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"a\nb \"open", 2, "no closing quote"},
      {"a \"x<0>\"", 1, "'<'"},
      {"a \"x<256>\"", 1, "'<'"},
      {"a \"x<y\"", 1, "'<'"},
      {"a\n\tb", 2, "tab"},
      {"a \"x\"y", 1, "blank must follow"},
      {"a b\"c", 1, "quote inside"},
      {"a\n    b\n  c", 3, "indentation"},
  };
  for (const Case& c : cases) {
    std::vector<Diagnostic> d;
    Read(c.text, &d);
    ASSERT_EQ(d.size(), 1u) << c.text;
    EXPECT_EQ(d[0].line, c.line) << c.text;
    EXPECT_NE(d[0].message.find(c.message), std::string::npos) << d[0].message;
  }
}

TEST(TextTree, IndentationNestsLinesAndCommentsVanish) {
  const char* text =
      "# heading\n"
      "window \"W\"   # trailing\n"
      "  title \"T\"\n"
      "\n"
      "  group 1\n"
      "    button 2 #x\n"
      "  button 3\n"
      "window \"V\"\n";
  std::vector<Diagnostic> d;
  std::vector<Line> roots = Read(text, &d);
  ASSERT_TRUE(d.empty());
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0].number, 2);
  ASSERT_EQ(roots[0].tokens.size(), 2u);
  ASSERT_EQ(roots[0].children.size(), 3u);
  EXPECT_EQ(roots[0].children[1].tokens[0].value, "group");
  ASSERT_EQ(roots[0].children[1].children.size(), 1u);
  EXPECT_EQ(roots[0].children[1].children[0].number, 6);
  EXPECT_EQ(roots[0].children[1].children[0].tokens.size(), 2u);  // "#x" is a comment
  EXPECT_EQ(roots[0].children[2].tokens[1].value, "3");
  EXPECT_TRUE(roots[1].children.empty());
}

TEST(TextTree, SignificantLinesDropCommentsAndBlanks) {
  EXPECT_EQ(SignificantLines("# c\n\na \"#x\" # y  \n  b   \n"),
            (std::vector<std::string>{"a \"#x\"", "  b"}));
}

}  // namespace
}  // namespace rsc

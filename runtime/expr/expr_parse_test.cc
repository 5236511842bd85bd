// The scanner, the parser and RenderExpression: precedence, combined
// comparisons, constants, failures and render-then-parse round trips.
#include "runtime/expr/expr_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/expr/expr_testing.h"

namespace kor {
namespace {

class ParseTest : public ExprTest {
 protected:
  void SetUp() override {
    ExprTest::SetUp();
    BindLong("a", &a_);
    BindLong("b", &b_);
    BindLong("c", &c_);
    BindReal("r", &r_);
    BindString("s", s_, 8);
  }
  int32_t a_ = 1, b_ = 2, c_ = 3;
  double r_ = 0.5;
  char s_[8] = {'h', 'e', 'l', 'l', 'o', ' ', ' ', ' '};
};

// Two trees are the same when every node matches.
bool SameNode(const ExprTree& x, int32_t i, const ExprTree& y, int32_t j) {
  const ExprNode& n = x.nodes[static_cast<size_t>(i)];
  const ExprNode& m = y.nodes[static_cast<size_t>(j)];
  if (n.kind != m.kind || n.cls != m.cls || n.op != m.op || n.argc != m.argc ||
      n.subscript != m.subscript) {
    return false;
  }
  switch (n.kind) {
    case NodeKind::kConstant:
      if (n.cls == ResultClass::kInteger) return n.integer == m.integer;
      if (n.cls == ResultClass::kReal) return n.real == m.real;
      return x.texts[static_cast<size_t>(n.text)] == y.texts[static_cast<size_t>(m.text)];
    case NodeKind::kPicture:
      return x.texts[static_cast<size_t>(n.text)] == y.texts[static_cast<size_t>(m.text)];
    case NodeKind::kVariable:
      if (n.subscript != Subscript::kNone && !SameNode(x, n.a, y, m.a)) return false;
      if (n.subscript == Subscript::kSlice && !SameNode(x, n.b, y, m.b)) return false;
      return CompareBindNames(x.texts[static_cast<size_t>(n.text)],
                              y.texts[static_cast<size_t>(m.text)]) == 0;
    case NodeKind::kFunction:
      for (int k = 0; k < n.argc; ++k) {
        if (!SameNode(x, x.args[static_cast<size_t>(n.a + k)], y,
                      y.args[static_cast<size_t>(m.a + k)])) {
          return false;
        }
      }
      return true;
    case NodeKind::kUnary: return SameNode(x, n.a, y, m.a);
    case NodeKind::kBinary: return SameNode(x, n.a, y, m.a) && SameNode(x, n.b, y, m.b);
  }
  return false;
}

void ExpectRoundTrip(const std::string& text) {
  auto first = ParseExpression(text);
  ASSERT_TRUE(first) << text;
  std::string rendered = RenderExpression(*first);
  auto second = ParseExpression(rendered);
  ASSERT_TRUE(second) << text << " rendered as " << rendered;
  EXPECT_TRUE(SameNode(*first, first->root_index, *second, second->root_index))
      << text << " rendered as " << rendered;
  EXPECT_EQ(RenderExpression(*second), rendered);
}

TEST_F(ParseTest, PrecedenceAcrossAllLevels) {
  EXPECT_EQ(Render("a+b*c"), "a + b * c");
  EXPECT_EQ(Render("(a+b)*c"), "(a + b) * c");
  EXPECT_EQ(Render("a*b^c"), "a * b ^ c");
  EXPECT_EQ(Render("(a*b)^c"), "(a * b) ^ c");
  EXPECT_EQ(Render("a&b+c"), "a & b + c");
  EXPECT_EQ(Render("(a&b)+c"), "(a & b) + c");
  EXPECT_EQ(Render("a=b&c"), "a = b & c");
  EXPECT_EQ(Render("NOT a=b"), "NOT a = b");
  EXPECT_EQ(Render("(NOT a)=b"), "(NOT a) = b");
  EXPECT_EQ(Render("NOT a AND b"), "NOT a AND b");
  EXPECT_EQ(Render("NOT (a AND b)"), "NOT (a AND b)");
  EXPECT_EQ(Render("a OR b AND c"), "a OR b AND c");
  EXPECT_EQ(Render("(a OR b) AND c"), "(a OR b) AND c");
  EXPECT_EQ(Render("a XOR b OR c"), "a XOR b OR c");
  EXPECT_EQ(Render("-a^b"), "-a ^ b");
  EXPECT_EQ(Render("-(a^b)"), "-(a ^ b)");
  EXPECT_EQ(Render("~a"), "NOT a");
  EXPECT_EQ(Render("+a"), "a");
  // Evaluation agrees with the grouping.
  EXPECT_EQ(Eval("2+3*4"), "14");
  EXPECT_EQ(Eval("2*3^2"), "18");
  EXPECT_EQ(Eval("-2^2"), "4");  // unary minus binds tighter than ^
  EXPECT_EQ(Eval("1 OR 0 AND 0"), "1");
  EXPECT_EQ(Eval("NOT 1 = 2"), "1");
  EXPECT_EQ(Eval("1 + 2 & 3"), "33");
}

TEST_F(ParseTest, BinaryOperatorsAssociateLeft) {
  EXPECT_EQ(Render("a-b-c"), "a - b - c");
  EXPECT_EQ(Render("a-(b-c)"), "a - (b - c)");
  EXPECT_EQ(Render("a/b/c"), "a / b / c");
  EXPECT_EQ(Render("a/(b/c)"), "a / (b / c)");
  EXPECT_EQ(Render("a^(b^c)"), "a ^ (b ^ c)");
  EXPECT_EQ(Render("a<b<c"), "a < b < c");
  EXPECT_EQ(Eval("10-4-3"), "3");
  EXPECT_EQ(Eval("2^3^2"), "64");
  EXPECT_EQ(Eval("100/10/5"), "2");
  EXPECT_EQ(Eval("17%5%3"), "2");
}

TEST_F(ParseTest, TwoOperatorTokensCombineIntoOneComparison) {
  EXPECT_EQ(Render("a =< b"), "a <= b");
  EXPECT_EQ(Render("a <= b"), "a <= b");
  EXPECT_EQ(Render("a => b"), "a >= b");
  EXPECT_EQ(Render("a >= b"), "a >= b");
  EXPECT_EQ(Render("a <> b"), "a <> b");
  EXPECT_EQ(Render("a < > b"), "a <> b");
  EXPECT_EQ(Render("a ~= b"), "a <> b");
  EXPECT_EQ(Render("a ~< b"), "a >= b");
  EXPECT_EQ(Render("a ~> b"), "a <= b");
  EXPECT_EQ(Render("a NOT= b"), "a <> b");
  EXPECT_EQ(Render("a == b"), "<fail>");
  EXPECT_EQ(Render("a ~ b"), "<fail>");
  EXPECT_EQ(Render("a <>= b"), "<fail>");
  EXPECT_EQ(Eval("1 =< 2"), "1");
  EXPECT_EQ(Eval("2 ~= 2"), "0");
  EXPECT_EQ(Eval("3 ~< 2"), "1");
}

TEST_F(ParseTest, Constants) {
  EXPECT_EQ(Render("'it''s'"), "'it''s'");
  EXPECT_EQ(Eval("'it''s'"), "it's");
  EXPECT_EQ(Eval("''''"), "'");
  EXPECT_EQ(Eval("''"), "");
  EXPECT_EQ(ClassOf("2147483647"), ResultClass::kInteger);
  EXPECT_EQ(ClassOf("2147483648"), ResultClass::kReal);
  EXPECT_EQ(ClassOf("1.0"), ResultClass::kReal);
  EXPECT_EQ(ClassOf("1e3"), ResultClass::kReal);
  EXPECT_EQ(Eval("1e3"), "1000");
  EXPECT_EQ(Eval("1.5E-2"), "0.015");
  EXPECT_EQ(Eval("2E+2"), "200");
  EXPECT_EQ(Eval("1."), "1");
  EXPECT_EQ(Eval("1e-400"), "0");
  EXPECT_EQ(Render("1e999"), "<fail>");
  EXPECT_EQ(Render("2e"), "<fail>");  // "e" is not bound
  EXPECT_EQ(Render(".5"), "<fail>");
  EXPECT_EQ(Render("-5"), "-5");
  EXPECT_EQ(Render("- -5"), "5");
  EXPECT_EQ(Render("-2147483648"), "-2147483648.0");
  EXPECT_EQ(Render("5.0"), "5.0");
  EXPECT_EQ(Render("0.1"), "0.1");
}

TEST_F(ParseTest, NamesAndPictures) {
  int32_t v = 4;
  BindLong("APP:Prio#", &v);
  BindLong("cnt$", &v);
  BindLong("q\"", &v);
  BindLong("?flag", &v);
  BindLong("_x1", &v);
  EXPECT_EQ(Eval("app:prio# + cnt$ + q\" + ?flag + _x1"), "20");
  EXPECT_EQ(Render("FORMAT(a,@N10.2)"), "FORMAT(a, @N10.2)");
  EXPECT_EQ(Render("FORMAT(a, @N(10.2))"), "FORMAT(a, @N(10.2))");
  EXPECT_EQ(Render("FORMAT(a,@N~$ x~10)"), "FORMAT(a, @N~$ x~10)");
  EXPECT_EQ(Eval("@D6"), "@D6");
  EXPECT_EQ(Render("@"), "<fail>");
  EXPECT_EQ(Render("@N(10"), "<fail>");
  EXPECT_EQ(Render("@N~abc"), "<fail>");
  // A picture constant ends where its own syntax ends, blanks and commas
  // inside a pattern included.
  EXPECT_EQ(Render("FORMAT(a,@P(###) ###-####P)"), "FORMAT(a, @P(###) ###-####P)");
  EXPECT_EQ(Eval("FORMAT(5551234567, @P(###) ###-####P)"), "(555) 123-4567");
  EXPECT_EQ(Eval("FORMAT(1234, @P#,###P)"), "1,234");
  EXPECT_EQ(Render("FORMAT(a, @K@@ ##K) & 'x'"), "FORMAT(a, @K@@ ##K) & 'x'");
  EXPECT_EQ(Render("s[2]"), "s[2]");
  EXPECT_EQ(Render("s[a:b]"), "<fail>");  // "a:b" is one name
  EXPECT_EQ(Render("s[a : b + 1]"), "s[a : b + 1]");
  EXPECT_EQ(Render("s[1:3]"), "s[1 : 3]");
}

TEST_F(ParseTest, PicturesAreCheckedByThePictureCompiler) {
  for (const char* good : {"@N10.2", "@n-12`2", "@D6-", "@D17", "@T8", "@S255", "@E12.3",
                           "@P###-##P", "@K@@##K", "@N10.2B", "@N~kr~(*15_.2)"}) {
    EXPECT_TRUE(ParseExpression(good)) << good;
  }
  ParseError err;
  for (const char* bad :
       {"@Q5", "@D19", "@T9", "@S0", "@S256", "@N0", "@N3.3", "@N15..2", "@N255", "@Px", "@E3.2"}) {
    std::string text = std::string("FORMAT(1, ") + bad + ")";
    EXPECT_FALSE(ParseExpression(text, &err)) << bad;
    EXPECT_EQ(err.message, "invalid picture") << bad;
    EXPECT_EQ(err.position, 10u) << bad;
  }
  // A picture held in a string is not a picture constant: it is checked
  // only when FORMAT compiles it.
  EXPECT_TRUE(ParseExpression("FORMAT(1, '@Q5')"));
}

TEST_F(ParseTest, FailuresAndTrailingText) {
  ParseError err;
  EXPECT_FALSE(ParseExpression("(a + b))", &err));
  EXPECT_EQ(err.position, 7u);
  EXPECT_FALSE(ParseExpression("a b", &err));
  EXPECT_EQ(err.position, 2u);
  EXPECT_FALSE(ParseExpression("", &err));
  EXPECT_FALSE(ParseExpression("a +", &err));
  EXPECT_EQ(err.position, 3u);
  EXPECT_FALSE(ParseExpression("'abc", &err));
  EXPECT_EQ(err.message, "missing closing quote");
  EXPECT_FALSE(ParseExpression("(a", &err));
  EXPECT_FALSE(ParseExpression("a # b", &err));
  EXPECT_EQ(err.message, "unexpected character");
  EXPECT_FALSE(ParseExpression("1 + nosuch", &err));
  EXPECT_EQ(err.position, 4u);
  EXPECT_EQ(ERRORCODE(), 801);
  // A later successful parse clears the error state.
  EXPECT_TRUE(ParseExpression("1"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(ParseExpression("a(1)"));
  EXPECT_FALSE(ParseExpression("LEN"));
  EXPECT_FALSE(ParseExpression("a[1"));
  EXPECT_FALSE(ParseExpression(std::string(1000, '(') + "1" + std::string(1000, ')')));
  EXPECT_FALSE(ParseExpression(std::string(1000, '-') + "a"));
  EXPECT_TRUE(ParseExpression(std::string(50, '(') + "1" + std::string(50, ')')));
}

TEST_F(ParseTest, ArgumentCounts) {
  EXPECT_EQ(Render("LEN()"), "<fail>");
  EXPECT_EQ(Render("LEN(s, s)"), "<fail>");
  EXPECT_EQ(Render("TODAY()"), "TODAY()");
  EXPECT_EQ(Render("TODAY(1)"), "<fail>");
  EXPECT_EQ(Render("SUB(s,1)"), "<fail>");
  EXPECT_EQ(Render("INSTRING('l',s)"), "INSTRING('l', s)");
  EXPECT_EQ(Render("INSTRING('l')"), "<fail>");
  EXPECT_EQ(Render("LEFT(s)"), "LEFT(s)");
  EXPECT_EQ(Render("CHOOSE(1)"), "<fail>");
  std::string args = "1";
  for (int i = 0; i < 24; ++i) args += ",'x'";
  EXPECT_NE(Render("CHOOSE(" + args + ")"), "<fail>");
  EXPECT_NE(Render("INLIST(" + args + ")"), "<fail>");
  EXPECT_EQ(Render("CHOOSE(" + args + ",'y')"), "<fail>");
  EXPECT_EQ(Render("INLIST(" + args + ",'y')"), "<fail>");
}

TEST_F(ParseTest, RenderThenParseGivesTheSameTree) {
  const char* const kCorpus[] = {
      "a + b * c - (a - b) / c % 3 ^ -2",
      "-a - -b - -(c)",
      "NOT NOT a OR b XOR NOT (c AND a)",
      "(a = b) = (b <> c) AND a <= b OR a >= c AND r < 1 OR r > 2",
      "'x''y' & s & s[1] & s[a : b] & s[(1)]",
      "CHOOSE(a > b, 'big', 'small') & FORMAT(r, @N-10.2) & DEFORMAT('1', @N5)",
      "INLIST(s, 'a', 'b', 'hello') + INSTRING('l', s, 1, 1) + LEN(CLIP(s))",
      "ROUND(r * 100, 0.01) + ABS(-r) + SQRT(4) + SIN(0) + 1.5e300 + 2.5e-300",
      "-0.0 + 0.1 + 1e22 + -2147483648 + 2147483647",
      "(((a)))",
      "a ^ b ^ c",
      "-(a ^ b) ^ -c",
      "- - - a",
  };
  for (const char* text : kCorpus) ExpectRoundTrip(text);
}

}  // namespace
}  // namespace kor

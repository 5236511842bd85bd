// Evaluation: integer and real arithmetic, classes meeting, string
// comparison, truth values, subscripts and AssignExpression.
#include "runtime/expr/expr_eval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "runtime/expr/expr_testing.h"
#include "runtime/locale/collation.h"

namespace kor {
namespace {

class EvalTest : public ExprTest {
 protected:
  void SetUp() override {
    ExprTest::SetUp();
    BindLong("n", &n_);
    BindReal("r", &r_);
    BindString("s", s_, 8);
  }
  int32_t n_ = 10;
  double r_ = 2.5;
  char s_[8] = {'h', 'e', 'l', 'l', 'o', ' ', ' ', ' '};
};

TEST_F(EvalTest, IntegerArithmeticIn32Bits) {
  EXPECT_EQ(ClassOf("n + 1"), ResultClass::kInteger);
  EXPECT_EQ(Eval("n * 3 - 4"), "26");
  EXPECT_EQ(Eval("2147483647 + 1"), "-2147483648");
  EXPECT_EQ(Eval("-2147483647 - 2"), "2147483647");
  EXPECT_EQ(Eval("65536 * 65536"), "0");
  EXPECT_EQ(Eval("-n"), "-10");
  EXPECT_EQ(Eval("17 % 5"), "2");
  EXPECT_EQ(Eval("-17 % 5"), "-2");
  EXPECT_EQ(Eval("17 % 0"), "0");
  EXPECT_EQ(Eval("(0 - 2147483647 - 1) % -1"), "0");
  EXPECT_EQ(ClassOf("7 / 2"), ResultClass::kReal);
  EXPECT_EQ(Eval("7 / 2"), "3.5");
  EXPECT_EQ(Eval("7 / 0"), "0");
  EXPECT_EQ(ClassOf("2 ^ 3"), ResultClass::kReal);
  EXPECT_EQ(Eval("2 ^ 10"), "1024");
  EXPECT_EQ(Eval("2 ^ -1"), "0.5");
  EXPECT_EQ(Eval("(-8) ^ 0.5"), "0");  // not a finite real
}

TEST_F(EvalTest, RealArithmetic) {
  EXPECT_EQ(ClassOf("n + r"), ResultClass::kReal);
  EXPECT_EQ(Eval("n + r"), "12.5");
  EXPECT_EQ(Eval("r * r"), "6.25");
  EXPECT_EQ(Eval("0.1 + 0.2"), "0.3");
  EXPECT_EQ(Eval("-r"), "-2.5");
  EXPECT_EQ(Eval("7.5 % 2"), "1.5");
  EXPECT_EQ(Eval("-7.5 % 2"), "-1.5");
  EXPECT_EQ(Eval("r % 0"), "0");
  EXPECT_EQ(Eval("1e300 * 1e300 / 1e300"), "0");  // infinity collapses at "/"
  EXPECT_DOUBLE_EQ(EvaluateReal(*ParseExpression("n / 4")), 2.5);
  EXPECT_EQ(EvaluateLong(*ParseExpression("r * 3")), 7);  // cut toward zero
  EXPECT_EQ(EvaluateLong(*ParseExpression("-r * 3")), -7);
  EXPECT_EQ(EvaluateLong(*ParseExpression("1e20")), 2147483647);
  EXPECT_EQ(EvaluateLong(*ParseExpression("-1e20")), INT32_MIN);
}

// One rule for every real that is not finite (an overflow, a division by
// zero, a root of a negative number, a REAL variable holding infinity): it
// is 0, whether the tree is walked or run as a compiled program.
TEST_F(EvalTest, NonFiniteRealsAreZero) {
  r_ = HUGE_VAL;
  const char* const kZero[] = {
      "1e300 * 1e300",
      "-1e300 * 1e300",
      "1e308 + 1e308",
      "-1e308 - 1e308",
      "1e300 * 1e300 / 1e300",
      "1e300 * 1e300 - 1e300 * 1e300",
      "1e200 ^ 2",
      "10 ^ 400",
      "(-8) ^ 0.5",
      "7 / 0",
      "LOGE(0)",
      "r",
      "r * 2",
      "-r",
  };
  for (const char* text : kZero) {
    auto tree = ParseExpression(text);
    ASSERT_TRUE(tree) << text;
    EXPECT_EQ(EvaluateToText(*tree), "0") << text;
    EXPECT_EQ(EvaluateReal(*tree), 0.0) << text;
    EXPECT_EQ(ExprEvaluator(*tree).Real(tree->root_index), 0.0) << text;
    EXPECT_FALSE(EvaluateTruth(*tree)) << text;
  }
  // Finite results near the ends of the range stay as they are.
  EXPECT_EQ(Eval("1e300 * 1e8"), "1e+308");
  EXPECT_EQ(Eval("-1e308 - 1e307"), "-1.1e+308");
}

TEST_F(EvalTest, StringsMeetNumbers) {
  EXPECT_EQ(Eval("'12' + 1"), "13");
  EXPECT_EQ(Eval("' 2.5 ' * 2"), "5");
  EXPECT_EQ(Eval("'abc' + 1"), "1");
  EXPECT_EQ(Eval("-'3'"), "-3");
  EXPECT_EQ(Eval("1 & 2"), "12");
  EXPECT_EQ(Eval("r & 'x'"), "2.5x");
  EXPECT_EQ(Eval("s & '|'"), "hello   |");
  EXPECT_EQ(Eval("'10' = 10"), "1");
  EXPECT_EQ(Eval("'10' = 10.0"), "1");
  EXPECT_EQ(Eval("'9' < 10"), "1");    // numerically
  EXPECT_EQ(Eval("'9' < '10'"), "0");  // as texts
}

TEST_F(EvalTest, StringComparisonPadsWithBlanks) {
  EXPECT_EQ(Eval("s = 'hello'"), "1");
  EXPECT_EQ(Eval("'hello' = s"), "1");
  EXPECT_EQ(Eval("'abc' < 'abd'"), "1");
  EXPECT_EQ(Eval("'ab' < 'ab '"), "0");
  EXPECT_EQ(Eval("'ab' <= 'ab '"), "1");
  EXPECT_EQ(Eval("'ab' < 'ab!'"), "1");
  EXPECT_EQ(Eval("'B' > 'a'"), "0");  // byte order by default
}

TEST_F(EvalTest, StringComparisonFollowsTheCollatingSequence) {
  // Through the collating sequence: list lower case before upper case.
  std::string seq;
  for (char c = 'a'; c <= 'z'; ++c) seq += c;
  for (char c = 'A'; c <= 'Z'; ++c) seq += c;
  SetCollatingSequence(seq.data(), seq.size(), false);
  EXPECT_EQ(Eval("'B' > 'a'"), "1");
  SetCollatingSequence(nullptr, 0, false);
}

TEST_F(EvalTest, TruthAndLogic) {
  auto truth = [](const char* text) { return EvaluateTruth(*ParseExpression(text)); };
  EXPECT_TRUE(truth("1"));
  EXPECT_FALSE(truth("0"));
  EXPECT_TRUE(truth("0.5"));
  EXPECT_FALSE(truth("0.0"));
  EXPECT_TRUE(truth("'x'"));
  EXPECT_FALSE(truth("'   '"));
  EXPECT_FALSE(truth("''"));
  EXPECT_TRUE(truth("s"));
  EXPECT_EQ(Eval("NOT ''"), "1");
  EXPECT_EQ(Eval("NOT 'a'"), "0");
  EXPECT_EQ(Eval("5 AND 'x'"), "1");
  EXPECT_EQ(Eval("5 AND ' '"), "0");
  EXPECT_EQ(Eval("0 OR 0.1"), "1");
  EXPECT_EQ(Eval("1 XOR 1"), "0");
  EXPECT_EQ(Eval("1 XOR 0"), "1");
  EXPECT_EQ(Eval("~0"), "1");
  EXPECT_EQ(Eval("n > 5 AND r < 3"), "1");
  EXPECT_EQ(Eval("n = 10 AND s = 'hello' AND r = 2.5"), "1");
}

TEST_F(EvalTest, Subscripts) {
  EXPECT_EQ(ClassOf("s[1]"), ResultClass::kString);
  EXPECT_EQ(Eval("s[1]"), "h");
  EXPECT_EQ(Eval("s[5]"), "o");
  EXPECT_EQ(Eval("s[2:4]"), "ell");
  EXPECT_EQ(Eval("s[4:100]"), "lo   ");
  EXPECT_EQ(Eval("s[0]"), "");
  EXPECT_EQ(Eval("s[9]"), "");
  EXPECT_EQ(Eval("s[3:2]"), "");
  EXPECT_EQ(Eval("n[1]"), "1");  // the text of a number
  EXPECT_EQ(Eval("s[n - 9 : n - 8]"), "he");
}

TEST_F(EvalTest, AssignExpressionStoresByClass) {
  int32_t l = 0;
  double d = 0;
  char text[6];
  std::memset(text, 'x', sizeof text);
  ValueRef* lr = MakeValueRef(&l, kTypeLong, 4, 0);
  ValueRef* dr = MakeValueRef(&d, kTypeReal, 8, 0);
  ValueRef* sr = MakeValueRef(text, kTypeString, 6, 0);
  AssignExpression(lr, *ParseExpression("n * 2 + 1"));
  EXPECT_EQ(l, 21);
  AssignExpression(lr, *ParseExpression("r * 3"));
  EXPECT_EQ(l, 7);
  AssignExpression(dr, *ParseExpression("n / 4"));
  EXPECT_DOUBLE_EQ(d, 2.5);
  AssignExpression(dr, *ParseExpression("'1.25'"));
  EXPECT_DOUBLE_EQ(d, 1.25);
  AssignExpression(sr, *ParseExpression("'ab' & n"));
  EXPECT_EQ(std::string(text, 6), "ab10  ");
  AssignExpression(sr, *ParseExpression("s & s"));
  EXPECT_EQ(std::string(text, 6), "hello ");
  AssignExpression(sr, *ParseExpression("r"));
  EXPECT_EQ(std::string(text, 6), "2.5   ");
  DestroyValueRef(lr);
  DestroyValueRef(dr);
  DestroyValueRef(sr);
}

TEST_F(EvalTest, VariablesAreReadAtEachEvaluation) {
  auto tree = ParseExpression("n * r");
  ASSERT_TRUE(tree);
  EXPECT_DOUBLE_EQ(EvaluateReal(*tree), 25.0);
  n_ = 4;
  r_ = 0.25;
  EXPECT_DOUBLE_EQ(EvaluateReal(*tree), 1.0);
  std::memcpy(s_, "abc     ", 8);
  EXPECT_EQ(Eval("CLIP(s)"), "abc");
}

TEST_F(EvalTest, ResultOutlivesTheTree) {
  {
    auto tree = ParseExpression("'a constant longer than twenty characters'");
    EvaluateString(*tree);
  }
  EXPECT_EQ(PopToStdString(), "a constant longer than twenty characters");
}

}  // namespace
}  // namespace kor

// The compiled form of numeric expressions gives exactly the walker's results.
#include "runtime/expr/expr_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/expr/expr_testing.h"

namespace kor {
namespace {

class ProgramTest : public ExprTest {
 protected:
  void SetUp() override {
    ExprTest::SetUp();
    BindLong("n", &n_);
    BindReal("r", &r_);
    BindName("w", MakeValueRef(&w_, kTypeShort, 2, 0));  // a SHORT: read through its reference
  }
  int32_t n_ = 7;
  double r_ = 2.5;
  int16_t w_ = -3;
};

bool SameValue(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

TEST_F(ProgramTest, CompiledAndWalkedResultsAgree) {
  const char* const kNumeric[] = {
      // clang-format off
      "n + r * 2 - n / 3",       "n * n * n * n * n * n * n * n * n * n * n * n",
      "2147483647 + n",          "-n - w",
      "n % 3 + r % 0.7 + n % 0", "(0 - 2147483647 - 1) % -1",
      "r ^ 2 + r ^ 0.5 + (-r) ^ 0.5", "7 / 0 + r % 0",
      "n > r AND w < 0 OR NOT n", "n = 7 XOR r <> 2.5",
      "n <= r OR n >= r",        "INT(r * 3) + INT(-r) + INT(1e20)",
      // clang-format on
      "ABS(w) + SQRT(r) + LOGE(r) + LOG10(n) + SIN(r) + COS(n) + TAN(w)",
      "ASIN(0.5) + ACOS(2) + ATAN(r) + SQRT(-1) + LOG10(0)",
      "ROUND(r * 1.003, 0.01) + ROUND(n, 0)",
      "BAND(n, 3) + BOR(w, 8) + BXOR(r, n)",
      "1e300 * 1e300 - 1e300 * 1e300",
      "w * 1000000",
  };
  for (const char* text : kNumeric) {
    auto tree = ParseExpression(text);
    ASSERT_TRUE(tree) << text;
    ASSERT_FALSE(tree->program.code.empty()) << text << " should compile";
    ExprEvaluator walker(*tree);
    double walked = tree->result_class() == ResultClass::kInteger ? walker.Long(tree->root_index)
                                                                  : walker.Real(tree->root_index);
    EXPECT_TRUE(SameValue(EvaluateExprProgram(tree->program), walked))
        << text << ": " << EvaluateExprProgram(tree->program) << " vs " << walked;
    EXPECT_EQ(EvaluateTruth(*tree), walker.Truth(tree->root_index)) << text;
    EXPECT_EQ(EvaluateLong(*tree), walker.Long(tree->root_index)) << text;
  }
}

TEST_F(ProgramTest, NaNComparesAsTheWalkerDoes) {
  r_ = std::numeric_limits<double>::quiet_NaN();
  for (const char* text : {"r = 1", "r < 1", "r <> 1", "NOT r", "r AND 1"}) {
    auto tree = ParseExpression(text);
    ASSERT_TRUE(tree);
    EXPECT_EQ(EvaluateLong(*tree), ExprEvaluator(*tree).Long(tree->root_index)) << text;
  }
}

TEST_F(ProgramTest, StringsAndImpureFunctionsStayWithTheWalker) {
  for (const char* text : {"LEN('abc') + 1", "'1' + 2", "RANDOM(1, 2)", "TODAY() + 1", "n & r",
                           "CHOOSE(1, 2, 3) + 0"}) {
    auto tree = ParseExpression(text);
    ASSERT_TRUE(tree) << text;
    EXPECT_TRUE(tree->program.code.empty()) << text;
  }
  // Too deep for the program's stack: still evaluated, by the walker.
  std::string deep = "1";
  for (int i = 0; i < 100; ++i) deep = "n + (" + deep + ")";
  auto tree = ParseExpression(deep);
  ASSERT_TRUE(tree);
  EXPECT_TRUE(tree->program.code.empty());
  EXPECT_EQ(EvaluateLong(*tree), 701);
}

}  // namespace
}  // namespace kor

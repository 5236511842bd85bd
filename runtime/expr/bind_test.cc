// Bind tables: the initial contents, case-blind names, rebinding and scopes.
#include "runtime/expr/bind.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/expr/expr_testing.h"

namespace kor {
namespace {

using BindTest = ExprTest;

TEST_F(BindTest, InitialTableHoldsKeywordsAndAllFunctions) {
  struct {
    const char* name;
    int args;
    ResultClass result;
    int number;
  } const kExpected[] = {
      {"INT", 1, ResultClass::kInteger, 19},     {"INSTRING", 4, ResultClass::kInteger, 3},
      {"CENTER", 2, ResultClass::kString, 6},    {"RANDOM", 2, ResultClass::kInteger, 22},
      {"ASIN", 1, ResultClass::kReal, 28},       {"LOWER", 1, ResultClass::kString, 12},
      {"AGE", 2, ResultClass::kString, 41},      {"LOG10", 1, ResultClass::kReal, 21},
      {"ABS", 1, ResultClass::kReal, 17},        {"LEFT", 2, ResultClass::kString, 10},
      {"ACOS", 1, ResultClass::kReal, 29},       {"LEN", 1, ResultClass::kInteger, 11},
      {"ALL", 2, ResultClass::kString, 5},       {"LOGE", 1, ResultClass::kReal, 20},
      {"BOR", 2, ResultClass::kInteger, 32},     {"MEMORY", 1, ResultClass::kInteger, 1},
      {"ATAN", 1, ResultClass::kReal, 30},       {"MONTH", 1, ResultClass::kInteger, 39},
      {"BAND", 2, ResultClass::kInteger, 31},    {"NUMERIC", 1, ResultClass::kInteger, 13},
      {"BSHIFT", 2, ResultClass::kInteger, 34},  {"TAN", 1, ResultClass::kReal, 27},
      {"BXOR", 2, ResultClass::kInteger, 33},    {"SIN", 1, ResultClass::kReal, 25},
      {"DAY", 1, ResultClass::kInteger, 38},     {"RIGHT", 2, ResultClass::kString, 14},
      {"CLOCK", 0, ResultClass::kInteger, 36},   {"ROUND", 2, ResultClass::kReal, 23},
      {"CHOOSE", 25, ResultClass::kString, 42},  {"SQRT", 1, ResultClass::kReal, 24},
      {"CHR", 1, ResultClass::kString, 7},       {"SUB", 3, ResultClass::kString, 2},
      {"CLIP", 1, ResultClass::kString, 4},      {"VAL", 1, ResultClass::kInteger, 16},
      {"COS", 1, ResultClass::kReal, 26},        {"TODAY", 0, ResultClass::kInteger, 35},
      {"DATE", 3, ResultClass::kInteger, 37},    {"UPPER", 1, ResultClass::kString, 15},
      {"INRANGE", 3, ResultClass::kInteger, 18}, {"YEAR", 1, ResultClass::kInteger, 40},
      {"DEFORMAT", 2, ResultClass::kString, 8},  {"INLIST", 25, ResultClass::kInteger, 43},
      {"FORMAT", 2, ResultClass::kString, 9},    {"GETINI", 4, ResultClass::kString, 44},
  };
  static_assert(sizeof kExpected / sizeof kExpected[0] == 44);
  for (const auto& f : kExpected) {
    const BindEntry* e = LookupName(f.name);
    ASSERT_NE(e, nullptr) << f.name;
    EXPECT_EQ(e->kind, BindKind::kFunction) << f.name;
    EXPECT_EQ(e->arg_count, f.args) << f.name;
    EXPECT_EQ(e->result, f.result) << f.name;
    EXPECT_EQ(e->function, f.number) << f.name;
    EXPECT_STREQ(FunctionName(f.number), f.name);
  }
  const struct {
    const char* name;
    int op;
  } kKeywords[] = {{"NOT", 16}, {"AND", 17}, {"OR", 18}, {"XOR", 19}};
  for (const auto& k : kKeywords) {
    const BindEntry* e = LookupName(k.name);
    ASSERT_NE(e, nullptr) << k.name;
    EXPECT_EQ(e->kind, BindKind::kKeyword);
    EXPECT_EQ(e->op, k.op);
  }
  // The fixed root holds no binding of its own.
  EXPECT_EQ(LookupName("MMMMMMM"), nullptr);
  EXPECT_EQ(LookupName("NOSUCH"), nullptr);
}

TEST_F(BindTest, NamesCompareWithoutRegardToCase) {
  EXPECT_NE(LookupName("instring"), nullptr);
  EXPECT_NE(LookupName("InString"), nullptr);
  EXPECT_EQ(CompareBindNames("abc", "ABC"), 0);
  EXPECT_LT(CompareBindNames("ABC", "abd"), 0);
  EXPECT_GT(CompareBindNames("b", "A"), 0);
  int32_t v = 5;
  BindLong("Pre:Total#", &v);
  const BindEntry* e = LookupName("PRE:TOTAL#");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, BindKind::kVariable);
  EXPECT_EQ(e->result, ResultClass::kInteger);
}

TEST_F(BindTest, RebindingReplacesTheEntry) {
  int32_t a = 1;
  double b = 2.5;
  BindLong("X", &a);
  BindReal("x", &b);
  const BindEntry* e = LookupName("X");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->result, ResultClass::kReal);
  EXPECT_EQ(Eval("x"), "2.5");
  // Binding over a function hides it in this table.
  BindLong("LEN", &a);
  EXPECT_EQ(LookupName("LEN")->kind, BindKind::kVariable);
  // And the root's name can be bound too.
  BindLong("mmmmmmm", &a);
  EXPECT_EQ(Eval("MMMMMMM + 1"), "2");
}

TEST_F(BindTest, ResultClassFollowsTheTypeCode) {
  EXPECT_EQ(ResultClassForType(1), ResultClass::kInteger);
  EXPECT_EQ(ResultClassForType(6), ResultClass::kInteger);
  EXPECT_EQ(ResultClassForType(7), ResultClass::kReal);
  EXPECT_EQ(ResultClassForType(17), ResultClass::kReal);
  EXPECT_EQ(ResultClassForType(18), ResultClass::kString);
  EXPECT_EQ(ResultClassForType(31), ResultClass::kString);
}

TEST_F(BindTest, BindTakesItsNameFromTheStringStack) {
  int32_t v = 42;
  PushCString("Answer   ");
  BIND(MakeValueRef(&v, kTypeLong, 4, 0));
  EXPECT_EQ(Eval("answer"), "42");
}

TEST_F(BindTest, OpaqueScopeHidesOuterNames) {
  int32_t v = 7;
  BindLong("outer", &v);
  PUSHSCOPE(0);
  EXPECT_EQ(LookupName("outer"), nullptr);
  EXPECT_NE(LookupName("LEN"), nullptr) << "functions are in every table";
  EXPECT_FALSE(ParseExpression("outer + 1"));
  EXPECT_EQ(ERRORCODE(), 801);
  EXPECT_STREQ(ErrorText(801), "No BIND on variable");
  // A transparent scope inside an opaque one still stops at the opaque one.
  PUSHSCOPE(1);
  EXPECT_EQ(LookupName("outer"), nullptr);
  POPSCOPE();
  POPSCOPE();
  EXPECT_EQ(Eval("outer + 1"), "8");
}

TEST_F(BindTest, TransparentScopeSeesOuterNamesAndDropsItsOwn) {
  int32_t outer = 7, inner = 9, shadow = 100;
  BindLong("outer", &outer);
  BindLong("both", &outer);
  PUSHSCOPE(1);
  EXPECT_EQ(Eval("outer"), "7");
  BindLong("inner", &inner);
  BindLong("both", &shadow);
  EXPECT_EQ(Eval("inner + outer + both"), "116");
  POPSCOPE();
  EXPECT_EQ(LookupName("inner"), nullptr);
  EXPECT_EQ(Eval("both"), "7");
}

TEST_F(BindTest, ParsedTreeOutlivesItsScope) {
  int32_t v = 3;
  PUSHSCOPE(1);
  BindLong("v", &v);
  auto tree = ParseExpression("v * 2");
  POPSCOPE();
  ASSERT_TRUE(tree);
  v = 4;
  EXPECT_EQ(EvaluateLong(*tree), 8);
}

#if !defined(_WIN32)
TEST(BindDeathTest, PopscopeWithoutPushscopeIsRuntimeError802) {
  EXPECT_EXIT(
      {
        while (ScopeDepth() > 0) POPSCOPE();
        POPSCOPE();
      },
      testing::ExitedWithCode(2), "Mismatched PUSHSCOPE/POPSCOPE : Mismatched POPSCOPE");
}
#endif

}  // namespace
}  // namespace kor

// Bound variables of every family are the runtime's value references: read
// by expressions, assigned through AssignExpression, formatted by FORMAT.
#include "runtime/expr/expr_services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/expr/expr_testing.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/values/decimal_stack.h"

namespace kor {
namespace {

class BoundVariableTest : public ExprTest {
 protected:
  void TearDown() override {
    for (ValueRef* ref : own_) DestroyValueRef(ref);
    ExprTest::TearDown();
  }
  // Binds `name` to a new reference and returns a second reference to the
  // same variable for AssignExpression (the table owns the first).
  ValueRef* Bind(const char* name, void* address, int32_t type, int32_t size = 0,
                 int32_t places = 0) {
    PushCString(name);
    BIND(MakeValueRef(address, type, size, places));
    ValueRef* out = MakeValueRef(address, type, size, places);
    own_.push_back(out);
    return out;
  }
  static void Assign(ValueRef* ref, const char* text) {
    auto tree = ParseExpression(text);
    ASSERT_TRUE(tree) << text;
    AssignExpression(ref, *tree);
  }
  static std::vector<uint8_t> Bytes(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
  }

 private:
  std::vector<ValueRef*> own_;
};

TEST_F(BoundVariableTest, StringVariablesAreReadAndAssigned) {
  char name[10];
  std::memcpy(name, "Ann       ", 10);
  ValueRef* out = Bind("name", name, kTypeString, 10);
  EXPECT_EQ(ClassOf("name"), ResultClass::kString);
  EXPECT_EQ(Eval("CLIP(name) & '!'"), "Ann!");
  EXPECT_EQ(Eval("name = 'Ann'"), "1");  // blank padding
  Assign(out, "UPPER(name[1:2]) & LOWER('XY')");
  EXPECT_EQ(std::string(name, 10), "ANxy      ");
  Assign(out, "'a text longer than the field'");
  EXPECT_EQ(std::string(name, 10), "a text lon");
  Assign(out, "6 * 7");
  EXPECT_EQ(std::string(name, 10), "42        ");
  Assign(out, "1 / 4");
  EXPECT_EQ(std::string(name, 10), "0.25      ");
  EXPECT_EQ(Eval("name + 1"), "1.25");

  char c[6];
  uint8_t p[4];
  ValueRef* cout = Bind("c", c, kTypeCString, 6);
  ValueRef* pout = Bind("p", p, kTypePString, 4);
  Assign(cout, "'abcdefgh'");
  EXPECT_EQ(Bytes(c, 6), Bytes("abcde", 6));  // at most 5 characters and the zero
  Assign(pout, "c[2:4] & 'zz'");
  EXPECT_EQ(Bytes(p, 4), (std::vector<uint8_t>{3, 'b', 'c', 'd'}));
  EXPECT_EQ(Eval("c & '|' & p & '|'"), "abcde|bcd|");
}

TEST_F(BoundVariableTest, DecimalVariablesAreReadAndAssigned) {
  uint8_t price[4];  // DECIMAL(7,2)
  PushTextDecimal("1234.50");
  PopDecimal(price, 4, 2);
  ValueRef* out = Bind("price", price, kTypeDecimal, 4, 2);
  EXPECT_EQ(ClassOf("price"), ResultClass::kReal);
  EXPECT_EQ(Eval("price"), "1234.5");
  EXPECT_EQ(Eval("price * 2"), "2469");
  EXPECT_EQ(Eval("price > 1234.49 AND price < 1234.51"), "1");
  Assign(out, "price * 1.1");
  EXPECT_EQ(Bytes(price, 4), (std::vector<uint8_t>{0x00, 0x13, 0x57, 0x95}));  // 1357.95
  Assign(out, "-price / 4");  // -339.4875, half up at two places
  EXPECT_EQ(Bytes(price, 4), (std::vector<uint8_t>{0xF0, 0x03, 0x39, 0x49}));
  Assign(out, "'12.345'");
  EXPECT_EQ(Bytes(price, 4), (std::vector<uint8_t>{0x00, 0x00, 0x12, 0x35}));
  Assign(out, "7");
  EXPECT_EQ(Bytes(price, 4), (std::vector<uint8_t>{0x00, 0x00, 0x07, 0x00}));

  uint8_t packed[3];  // PDECIMAL(5,2)
  ValueRef* pout = Bind("packed", packed, kTypePDecimal, 3, 2);
  Assign(pout, "price - 130.45");
  EXPECT_EQ(Bytes(packed, 3), (std::vector<uint8_t>{0x12, 0x34, 0x5D}));  // -123.45
  EXPECT_EQ(Eval("FORMAT(packed, @N-10.2)"), "   -123.45");
}

TEST_F(BoundVariableTest, FormatTakesADecimalsExactDigits) {
  uint8_t big[16];  // DECIMAL(31,2): more digits than a double holds
  const char* value = "12345678901234567890123456.78";
  PushTextDecimal(value);
  PopDecimal(big, 16, 2);
  Bind("big", big, kTypeDecimal, 16, 2);
  EXPECT_EQ(Eval("FORMAT(big, @N40.2)"), "   12,345,678,901,234,567,890,123,456.78");
}

TEST_F(BoundVariableTest, DateAndTimeVariablesAreDayCountsAndTimes) {
  uint8_t date[4] = {29, 2, 2000 & 0xFF, 2000 >> 8};
  uint8_t time[4] = {99, 59, 59, 23};
  ValueRef* dout = Bind("d", date, kTypeDate, 4);
  ValueRef* tout = Bind("t", time, kTypeTime, 4);
  EXPECT_EQ(ClassOf("d"), ResultClass::kInteger);
  EXPECT_EQ(Eval("d"), "72746");  // 29 February 2000
  EXPECT_EQ(Eval("t"), "8640000");
  EXPECT_EQ(Eval("FORMAT(d, @D10)"), "2000/02/29");
  EXPECT_EQ(Eval("FORMAT(t, @T4)"), "23:59:59");
  Assign(dout, "d + 1");
  EXPECT_EQ(Bytes(date, 4), (std::vector<uint8_t>{1, 3, 2000 & 0xFF, 2000 >> 8}));
  Assign(dout, "DEFORMAT('31.12.9999', @D6.)");
  EXPECT_EQ(Bytes(date, 4), (std::vector<uint8_t>{31, 12, 9999 & 0xFF, 9999 >> 8}));
  Assign(tout, "t - 8640000 + 1 + 360000");  // 01:00:00.00
  EXPECT_EQ(Bytes(time, 4), (std::vector<uint8_t>{0, 0, 0, 1}));
}

TEST_F(BoundVariableTest, SmallIntegersAndSingleRealsGoThroughTheirReferences) {
  uint8_t b = 200;
  int16_t s = -300;
  uint16_t u = 60000;
  float f = 0.5f;
  ValueRef* bout = Bind("b", &b, kTypeByte);
  ValueRef* sout = Bind("sh", &s, kTypeShort);
  Bind("us", &u, kTypeUShort);
  ValueRef* fout = Bind("f", &f, kTypeSReal);
  auto tree = ParseExpression("b + sh + us + f");
  ASSERT_TRUE(tree);
  EXPECT_FALSE(tree->program.code.empty()) << "numeric references compile";
  EXPECT_DOUBLE_EQ(EvaluateReal(*tree), 59900.5);
  Assign(bout, "2.9 * 2");  // a real into an integer: cut toward zero
  EXPECT_EQ(b, 5);
  Assign(sout, "sh * 100");
  EXPECT_EQ(s, -30000);
  Assign(fout, "f / 4");
  EXPECT_EQ(f, 0.125f);
  b = 7;
  EXPECT_DOUBLE_EQ(EvaluateReal(*tree), 7 - 30000 + 60000 + 0.125);
}

TEST_F(BoundVariableTest, LongAndRealStorageIsReadDirectly) {
  int32_t l = 5;
  double r = 2.5;
  int16_t s = 3;
  ValueRef* lref = Bind("l", &l, kTypeLong, 4);
  ValueRef* rref = Bind("r", &r, kTypeReal, 8);
  ValueRef* sref = Bind("s", &s, kTypeShort, 2);
  EXPECT_EQ(RefFastAddress(*lref), &l);
  EXPECT_EQ(RefFastAddress(*rref), &r);
  EXPECT_EQ(RefFastAddress(*sref), nullptr);
  auto tree = ParseExpression("l");
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->root().address, &l);
  EXPECT_NE(tree->root().ref, nullptr);
  EXPECT_NE(tree->root().ref, lref) << "the tree holds its own reference";
  lref->Release();
  EXPECT_EQ(RefFastAddress(*lref), nullptr);
}

TEST_F(BoundVariableTest, RebindingReplacesTheReferenceAndItsClass) {
  int32_t l = 5;
  char text[4] = {'a', 'b', 'c', ' '};
  BindName("x", MakeValueRef(&l, kTypeLong, 4, 0));
  EXPECT_EQ(ClassOf("x"), ResultClass::kInteger);
  BindName("x", MakeValueRef(text, kTypeString, 4, 0));
  EXPECT_EQ(ClassOf("x"), ResultClass::kString);
  EXPECT_EQ(Eval("x & '|'"), "abc |");
  // A reference that could not be made binds nothing.
  BindName("nothing", nullptr);
  EXPECT_EQ(LookupName("nothing"), nullptr);
  AssignExpression(nullptr, *ParseExpression("1"));
}

}  // namespace
}  // namespace kor

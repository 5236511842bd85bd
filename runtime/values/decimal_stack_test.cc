// Decimal stack: storage forms, rounding, text, integer and REAL conversions,
// the stack operations and the stack's fault handling.
#include "runtime/values/decimal_stack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/values/decimal_stack_register.h"

namespace kor {
namespace {

using Bytes = std::vector<uint8_t>;

// Text of a value after a round trip through a text push.
std::string Echo(const char* text, int places = -1) {
  PushTextDecimal(text);
  std::string out = DecimalToText(places);
  DropDecimal();
  return out;
}

Bytes StoreDecimal(const char* text, uint32_t size, uint32_t places) {
  Bytes b(size, 0xAA);
  PushTextDecimal(text);
  PopDecimal(b.data(), size, places);
  return b;
}

Bytes StorePDecimal(const char* text, uint32_t size, uint32_t places) {
  Bytes b(size, 0xAA);
  PushTextDecimal(text);
  PopPDecimal(b.data(), size, places);
  return b;
}

std::string LoadDecimal(Bytes b, uint32_t places, bool packed_sign_last = false) {
  if (packed_sign_last) {
    PushPDecimal(b.data(), static_cast<uint32_t>(b.size()), places);
  } else {
    PushDecimal(b.data(), static_cast<uint32_t>(b.size()), places);
  }
  std::string out = DecimalToText(-1);
  DropDecimal();
  return out;
}

TEST(DecimalStorage, SignConventionsOfBothPackedForms) {
  EXPECT_EQ(StoreDecimal("-123.45", 3, 2), (Bytes{0xF1, 0x23, 0x45}));
  EXPECT_EQ(StoreDecimal("123.45", 3, 2), (Bytes{0x01, 0x23, 0x45}));
  EXPECT_EQ(StorePDecimal("-123.45", 3, 2), (Bytes{0x12, 0x34, 0x5D}));
  EXPECT_EQ(StorePDecimal("123.45", 3, 2), (Bytes{0x12, 0x34, 0x5F}));
  // On load, any non-zero sign nibble of a DECIMAL is negative...
  EXPECT_EQ(LoadDecimal({0x11, 0x23, 0x45}, 2), "-123.45");
  EXPECT_EQ(LoadDecimal({0xF1, 0x23, 0x45}, 2), "-123.45");
  EXPECT_EQ(LoadDecimal({0x01, 0x23, 0x45}, 2), "123.45");
  // ...and only 0xD makes a PDECIMAL negative.
  EXPECT_EQ(LoadDecimal({0x12, 0x34, 0x5D}, 2, true), "-123.45");
  EXPECT_EQ(LoadDecimal({0x12, 0x34, 0x5C}, 2, true), "123.45");
  EXPECT_EQ(LoadDecimal({0x12, 0x34, 0x50}, 2, true), "123.45");
  // A negative zero is stored and read as plain zero.
  EXPECT_EQ(LoadDecimal({0xF0, 0x00}, 1), "0");
  EXPECT_EQ(StoreDecimal("-0.001", 2, 2), (Bytes{0x00, 0x00}));
  EXPECT_EQ(StorePDecimal("-0.001", 2, 2), (Bytes{0x00, 0x0F}));
}

TEST(DecimalStorage, LoadSetsTheDeclaredRange) {
  Bytes b = {0x00, 0x12, 0x34};  // DECIMAL(5,2) holding 12.34
  PushDecimal(b.data(), 3, 2);
  const DecimalRegister* r = DecimalTop();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->low, 30);
  EXPECT_EQ(r->high, 34);
  EXPECT_EQ(r->digits[30], 4);
  EXPECT_EQ(r->digits[33], 1);
  EXPECT_EQ(DecimalToText(-1), "12.34");
  DropDecimal();
}

TEST(DecimalStorage, RoundingHalfUpAndDroppedHighDigits) {
  EXPECT_EQ(StoreDecimal("1.005", 2, 2), (Bytes{0x01, 0x01}));   // 1.01
  EXPECT_EQ(StoreDecimal("-1.005", 2, 2), (Bytes{0xF1, 0x01}));  // -1.01
  EXPECT_EQ(StoreDecimal("1.00499999", 2, 2), (Bytes{0x01, 0x00}));
  EXPECT_EQ(StoreDecimal("9.995", 2, 2), (Bytes{0x00, 0x00}));  // 10.00 keeps 0.00
  EXPECT_EQ(StoreDecimal("9.995", 3, 2), (Bytes{0x00, 0x10, 0x00}));
  EXPECT_EQ(StoreDecimal("12345", 2, 0), (Bytes{0x03, 0x45}));  // DECIMAL(3,0) keeps 345
  EXPECT_EQ(StorePDecimal("12345", 2, 0), (Bytes{0x34, 0x5F}));
  EXPECT_EQ(StorePDecimal("0.5", 1, 0), (Bytes{0x1F}));
  EXPECT_EQ(StoreDecimal("99999999999999999999999999999999", 16, 0),
            (Bytes{0x09, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99,
                   0x99, 0x99, 0x99}));
}

TEST(DecimalStorage, NonDecimalNibblesAndOddSizesAreHandled) {
  EXPECT_EQ(LoadDecimal({0x0A, 0xB5}, 0), "5");  // nibbles above 9 read as 0
  PushDecimal(nullptr, 0, 0);                    // an empty field is zero
  EXPECT_EQ(DecimalToText(-1), "0");
  DropDecimal();
  // More places than the register holds: digits below the 32nd place drop.
  Bytes wide(17, 0x11);
  PushPDecimal(wide.data(), 17, 33);
  EXPECT_EQ(DecimalToText(-1), "0.11111111111111111111111111111111");
  DropDecimal();
}

TEST(DecimalText, ParsingRules) {
  EXPECT_EQ(Echo("1,5"), "1.5");
  EXPECT_EQ(Echo("2e3"), "2000");
  EXPECT_EQ(Echo(" -7"), "-7");
  EXPECT_EQ(Echo("+7"), "7");
  EXPECT_EQ(Echo("12.5e-2"), "0.125");
  EXPECT_EQ(Echo("12.5E+1"), "125");
  EXPECT_EQ(Echo("1.2.3"), "1.2");
  EXPECT_EQ(Echo("1,234.5"), "1.234");
  EXPECT_EQ(Echo("42abc"), "42");
  EXPECT_EQ(Echo(""), "0");
  EXPECT_EQ(Echo("abc"), "0");
  EXPECT_EQ(Echo("-"), "0");
  EXPECT_EQ(Echo("-0"), "0");
  EXPECT_EQ(Echo("e5"), "0");
  EXPECT_EQ(Echo("-.5"), "-0.5");
  EXPECT_EQ(Echo("000123.4500"), "123.45");
  EXPECT_EQ(Echo("2e"), "2");
  // Places beyond the 32nd are cut, not rounded.
  EXPECT_EQ(Echo("0.000000000000000000000000000000019"), "0.00000000000000000000000000000001");
  // Integer digits beyond the 32nd are dropped from the top.
  EXPECT_EQ(Echo("123456789012345678901234567890123456"), "56789012345678901234567890123456");
  // Huge exponents move every digit out of the register.
  EXPECT_EQ(Echo("5e99999999999999999999"), "0");
  EXPECT_EQ(Echo("5e-99999999999999999999"), "0");
  EXPECT_EQ(Echo("0.000000000000000000000000000000000000000001e40"), "0.01");
  // A counted text may hold a zero byte, which ends the number.
  PushTextDecimal(
      "12\0"
      "34",
      5);
  EXPECT_EQ(DecimalToText(-1), "12");
  DropDecimal();
}

TEST(DecimalText, FormattingWithPlaces) {
  EXPECT_EQ(Echo("3.14159", 2), "3.14");
  EXPECT_EQ(Echo("3.145", 2), "3.15");
  EXPECT_EQ(Echo("-3.145", 2), "-3.15");
  EXPECT_EQ(Echo("-0.004", 2), "0.00");
  EXPECT_EQ(Echo("7", 3), "7.000");
  EXPECT_EQ(Echo("0.5", 0), "1");
  EXPECT_EQ(Echo("12", 34), "12.0000000000000000000000000000000000");
  EXPECT_EQ(DecimalToText(2), "0");  // empty stack
}

TEST(DecimalIntegers, PushAndPopLong) {
  PushLongDecimal(-2147483647 - 1);
  EXPECT_EQ(DecimalToText(-1), "-2147483648");
  EXPECT_EQ(PopDecimalAsLong(), -2147483647 - 1);
  PushULongDecimal(4294967295u);
  EXPECT_EQ(DecimalToText(-1), "4294967295");
  EXPECT_EQ(static_cast<uint32_t>(PopDecimalAsLong()), 4294967295u);
  PushTextDecimal("-12.99");
  EXPECT_EQ(PopDecimalAsLong(), -12);  // places dropped, not rounded
  PushTextDecimal("4294967297");       // wraps modulo 2^32
  EXPECT_EQ(PopDecimalAsLong(), 1);
  PushLongDecimal(0);
  EXPECT_EQ(DecimalSign(), 0);
  EXPECT_EQ(PopDecimalAsBoolean(), 0);
  PushTextDecimal("0.0001");
  EXPECT_EQ(PopDecimalAsBoolean(), 1);
}

TEST(DecimalReal, PushAndPopDoubles) {
  PushRealDecimal(0.1);
  EXPECT_EQ(DecimalToText(-1), "0.1");
  EXPECT_EQ(PopDecimalAsReal(), 0.1);
  PushRealDecimal(-1234.5678);
  EXPECT_EQ(DecimalToText(-1), "-1234.5678");
  EXPECT_EQ(PopDecimalAsReal(), -1234.5678);
  PushRealDecimal(NAN);
  EXPECT_EQ(PopDecimalAsReal(), 0.0);
  PushRealDecimal(INFINITY);
  EXPECT_EQ(PopDecimalAsReal(), 0.0);
  PushRealDecimal(1e-40);  // below the 32nd place
  EXPECT_EQ(PopDecimalAsReal(), 0.0);
  // Exact register values come back correctly rounded.
  PushTextDecimal("0.30000000000000000000000000000001");
  EXPECT_EQ(PopDecimalAsReal(), 0.3);
}

TEST(DecimalArithmetic, StackOperations) {
  PushTextDecimal("10.5");
  PushTextDecimal("0.25");
  DecimalSubtract();
  EXPECT_EQ(DecimalToText(-1), "10.25");
  PushTextDecimal("20");
  DecimalSubtractReversed();  // 20 - 10.25
  EXPECT_EQ(DecimalToText(-1), "9.75");
  PushTextDecimal("-4");
  DecimalMultiply();
  EXPECT_EQ(DecimalToText(-1), "-39");
  PushTextDecimal("3");
  DecimalDivide();
  EXPECT_EQ(DecimalToText(-1), "-13");
  DecimalAbsolute();
  EXPECT_EQ(DecimalSign(), 1);
  DecimalNegate();
  EXPECT_EQ(DecimalSign(), -1);
  PushTextDecimal("13");
  DecimalAdd();
  EXPECT_EQ(DecimalToText(-1), "0");
  DecimalNegate();  // zero stays positive
  EXPECT_EQ(DecimalTop()->sign, 0);
  DropDecimal();
  EXPECT_EQ(DecimalDepth(), 0);
}

TEST(DecimalArithmetic, CompareOrdersSignsThenMagnitudes) {
  const char* ordered[] = {"-100", "-2.5", "-2.49", "-0.001", "0", "0.001", "2.49", "2.5", "100"};
  for (size_t i = 0; i < std::size(ordered); ++i) {
    for (size_t j = 0; j < std::size(ordered); ++j) {
      PushTextDecimal(ordered[i]);
      PushTextDecimal(ordered[j]);
      int expected = i < j ? -1 : (i > j ? 1 : 0);
      EXPECT_EQ(DecimalCompare(), expected) << ordered[i] << " vs " << ordered[j];
    }
  }
  EXPECT_EQ(DecimalDepth(), 0);
}

TEST(DecimalArithmetic, DivisionCutsTheLastPlaceAndSurvivesZero) {
  PushTextDecimal("2");
  PushTextDecimal("3");
  DecimalDivide();
  EXPECT_EQ(DecimalToText(-1), "0.66666666666666666666666666666666");
  EXPECT_EQ(DecimalToText(2), "0.67");
  DropDecimal();
  // Rounding a cut quotient is the same as rounding the exact one: 0.0049999...
  // (not 0.005) stays 0.00 at two places.
  PushTextDecimal("0.00499999999999999999999999999999");
  PushTextDecimal("0.99999999999999999999999999999999");
  DecimalDivide();
  uint8_t field[2];
  PopDecimal(field, 2, 2);
  EXPECT_EQ(field[0], 0);
  EXPECT_EQ(field[1], 0);
  PushTextDecimal("1");
  PushTextDecimal("3");
  DecimalDivide();
  EXPECT_EQ(DecimalToText(-1), "0.33333333333333333333333333333333");
  DropDecimal();
  PushTextDecimal("5");
  PushLongDecimal(0);
  DecimalDivide();
  EXPECT_EQ(DecimalToText(-1), "0");
  EXPECT_EQ(DecimalDepth(), 1);
  DropDecimal();
}

TEST(DecimalArithmetic, OverflowDropsTheTopDigits) {
  PushTextDecimal("99999999999999999999999999999999");
  PushLongDecimal(1);
  DecimalAdd();
  EXPECT_EQ(DecimalToText(-1), "0");
  DropDecimal();
  PushTextDecimal("10000000000000000000000000000000");
  PushTextDecimal("100");
  DecimalMultiply();
  EXPECT_EQ(DecimalToText(-1), "0");
  DropDecimal();
}

TEST(DecimalWords, LimbConversionsRoundTrip) {
  for (uint32_t x : {0u, 1u, 9u, 10u, 99u, 100u, 12345678u, 99999999u, 10000000u, 90909090u}) {
    uint64_t w = decimal::LimbToWord(x);
    for (int k = 0; k < 8; ++k) EXPECT_LE((w >> (8 * k)) & 0xFF, 9u);
    EXPECT_EQ(decimal::WordToLimb(w), x);
  }
  for (uint32_t x = 0; x < 100000000u; x += 9973) {
    ASSERT_EQ(decimal::WordToLimb(decimal::LimbToWord(x)), x);
  }
}

#if !defined(_WIN32)
TEST(DecimalStackDeathTest, EleventhPushIsARuntimeError) {
  EXPECT_EXIT(
      {
        for (int i = 0; i < 11; ++i) PushLongDecimal(i);
      },
      testing::ExitedWithCode(2), "Internal error 01 : Decimal Stack Overflow");
}

TEST(DecimalStackDeathTest, PopOfAnEmptyStackIsARuntimeError) {
  EXPECT_EXIT(PopDecimalAsLong(), testing::ExitedWithCode(2), "Decimal Stack Underflow");
  EXPECT_EXIT(
      {
        PushLongDecimal(1);
        DecimalAdd();
      },
      testing::ExitedWithCode(2), "Decimal Stack Underflow");
}
#endif

TEST(DecimalStack, TenValuesFit) {
  for (int i = 0; i < kDecimalStackSize; ++i) PushLongDecimal(i);
  EXPECT_EQ(DecimalDepth(), kDecimalStackSize);
  for (int i = kDecimalStackSize - 1; i >= 0; --i) EXPECT_EQ(PopDecimalAsLong(), i);
  EXPECT_EQ(DecimalTop(), nullptr);
}

}  // namespace
}  // namespace kor

// Value references: MakeValueRef, the shared operations, the integer and real
// families, the tolerant rounding and the typing errors.
#include "runtime/values/value_ref.h"

#include <gtest/gtest.h>

#include <float.h>
#include <math.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref_testing.h"

namespace kor {
namespace {

using namespace testing_refs;

using ValueRefTest = BalancedStacksTest;

TEST_F(ValueRefTest, MakeValueRefGivesTheClassOfEachTypeCode) {
  uint8_t storage[32] = {};
  const struct {
    int32_t type, size, size_reported, evaluation_class;
  } cases[] = {
      {kTypeByte, 0, 1, kClassInteger},     {kTypeShort, 0, 2, kClassInteger},
      {kTypeUShort, 0, 2, kClassInteger},   {kTypeDate, 0, 4, kClassInteger},
      {kTypeTime, 0, 4, kClassInteger},     {kTypeLong, 0, 4, kClassInteger},
      {kTypeULong, 0, 4, kClassDecimal},    {kTypeSReal, 0, 4, kClassReal},
      {kTypeReal, 0, 8, kClassReal},        {kTypeDecimal, 5, 5, kClassDecimal},
      {kTypePDecimal, 3, 3, kClassDecimal}, {kTypeBFloat4, 0, 4, kClassReal},
      {kTypeBFloat8, 0, 8, kClassReal},     {kTypeString, 12, 12, kClassString},
      {kTypeCString, 12, 12, kClassString}, {kTypePString, 12, 12, kClassString},
      {kTypeGroup, 7, 7, kClassString},     {kTypeUntypedString, 9, 9, kClassString},
  };
  for (const auto& c : cases) {
    Ref r = Make(storage, c.type, c.size, 2);
    ASSERT_NE(r, nullptr) << c.type;
    EXPECT_EQ(r->TypeCode(), c.type);
    EXPECT_EQ(r->Size(), c.size_reported) << c.type;
    EXPECT_EQ(r->EvaluationClass(), c.evaluation_class) << c.type;
    EXPECT_EQ(EvaluationClassOf(c.type), c.evaluation_class) << c.type;
    EXPECT_EQ(r->Address(), storage);
    EXPECT_EQ(r->flags(), 0);
    Ref clone(r->Clone());
    EXPECT_EQ(clone->TypeCode(), c.type);
    EXPECT_EQ(clone->Size(), c.size_reported);
    EXPECT_EQ(clone->Address(), storage);
  }
}

TEST_F(ValueRefTest, TolerantRoundingOfTextToInteger) {
  EXPECT_EQ(TolerantLong(2.9999999999999999), 3);
  EXPECT_EQ(TolerantLong(2.9), 2);
  EXPECT_EQ(TolerantLong(nextafter(3.0, 0.0)), 3);
  EXPECT_EQ(TolerantLong(2.999999999999), 2);
  EXPECT_EQ(TolerantLong(-2.9), -2);
  EXPECT_EQ(TolerantLong(nextafter(-3.0, 0.0)), -3);
  EXPECT_EQ(TolerantLong(nextafter(1.0, 0.0)), 1);
  EXPECT_EQ(TolerantLong(0.0), 0);
  EXPECT_EQ(TolerantLong(1e-300), 0);
  EXPECT_EQ(TolerantLong(1e10), 2147483647);
  EXPECT_EQ(TolerantLong(-1e10), -2147483647 - 1);
  EXPECT_EQ(TolerantLong(NAN), 0);
  EXPECT_EQ(TruncatedLong(2.9999), 2);
  EXPECT_EQ(TruncatedLong(-2.9999), -2);
  EXPECT_EQ(TruncatedLong(INFINITY), 2147483647);
}

TEST_F(ValueRefTest, IntegerTypesStoreWhatTheirFormHolds) {
  uint8_t b[4] = {};
  Ref longref = Make(b, kTypeLong), shortref = Make(b, kTypeShort),
      ushortref = Make(b, kTypeUShort), byteref = Make(b, kTypeByte);
  longref->AssignLong(0x01020304);
  EXPECT_EQ(Raw(*longref), (std::vector<uint8_t>{4, 3, 2, 1}));
  shortref->AssignLong(70000);
  EXPECT_EQ(shortref->AsLong(), 4464);
  shortref->AssignLong(-2);
  EXPECT_EQ(shortref->AsLong(), -2);
  ushortref->AssignLong(-1);
  EXPECT_EQ(ushortref->AsLong(), 65535);
  byteref->AssignLong(300);
  EXPECT_EQ(byteref->AsLong(), 44);
  longref->AssignReal(-2.9);
  EXPECT_EQ(longref->AsLong(), -2);
  longref->AssignReal(1e20);
  EXPECT_EQ(longref->AsLong(), 2147483647);
  EXPECT_EQ(longref->AsReal(), 2147483647.0);
  longref->AssignLong(-42);
  EXPECT_EQ(AsString(*longref), "-42");
  EXPECT_EQ(longref->CompareLong(-41), -1);
  EXPECT_EQ(longref->CompareLong(-42), 0);
  EXPECT_EQ(longref->CompareLong(-43), 1);
}

TEST_F(ValueRefTest, IntegerFromTextRoundsTolerantly) {
  int32_t v = 0;
  Ref r = Make(&v, kTypeLong);
  const struct {
    const char* text;
    int32_t value;
    // clang-format off
  } cases[] = {{"2.9999999999999999", 3}, {"2.9", 2}, {"-2.9999999999999999", -3},
               {"  12   ", 12},          {"abc", 0}, {"", 0}, {"7e2", 700}};
  // clang-format on
  for (const auto& c : cases) {
    AssignText(*r, c.text);
    EXPECT_EQ(v, c.value) << c.text;
  }
}

TEST_F(ValueRefTest, IntegerThroughTheDecimalStack) {
  int32_t v = 0;
  Ref r = Make(&v, kTypeLong);
  PushTextDecimal("-123.9");
  r->AssignDecimal();
  EXPECT_EQ(v, -123);
  r->PushAsDecimal();
  EXPECT_EQ(DecimalToText(-1), "-123");
  DropDecimal();
}

TEST_F(ValueRefTest, DateAndTimeStorage) {
  uint8_t d[4] = {}, t[4] = {};
  Ref date = Make(d, kTypeDate), time = Make(t, kTypeTime);
  date->AssignLong(4);  // 1 January 1801
  EXPECT_EQ(Raw(*date), (std::vector<uint8_t>{1, 1, 0x09, 0x07}));
  EXPECT_EQ(date->AsLong(), 4);
  time->AssignLong(8640000);  // 23:59:59.99
  EXPECT_EQ(Raw(*time), (std::vector<uint8_t>{99, 59, 59, 23}));
  EXPECT_EQ(time->AsLong(), 8640000);
  date->SetExtreme(1);
  time->SetExtreme(1);
  EXPECT_EQ(Raw(*date), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Raw(*time), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  date->SetExtreme(-1);
  time->SetExtreme(0);
  EXPECT_EQ(Raw(*date), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(Raw(*time), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(date->IsZero(), 1);
}

TEST_F(ValueRefTest, ExtremesOfTheIntegerTypes) {
  uint8_t b[4];
  const struct {
    int32_t type, lowest, highest;
  } cases[] = {{kTypeLong, -2147483647 - 1, 2147483647},
               {kTypeShort, -32768, 32767},
               {kTypeUShort, 0, 65535},
               {kTypeByte, 0, 255}};
  for (const auto& c : cases) {
    Ref r = Make(b, c.type);
    r->SetExtreme(-5);
    EXPECT_EQ(r->AsLong(), c.lowest);
    r->SetExtreme(3);
    EXPECT_EQ(r->AsLong(), c.highest);
    EXPECT_EQ(r->IsZero(), 0);
    r->SetExtreme(0);
    EXPECT_EQ(r->AsLong(), 0);
    EXPECT_EQ(r->IsEmpty(), 1);
  }
}

TEST_F(ValueRefTest, RealTypesRoundTrip) {
  double d = 0;
  float f = 0;
  uint8_t m4[4] = {}, m8[8] = {};
  Ref real = Make(&d, kTypeReal), sreal = Make(&f, kTypeSReal), b4 = Make(m4, kTypeBFloat4),
      b8 = Make(m8, kTypeBFloat8);
  for (double v : {0.0, 1.5, -0.25, 1234.5, 1e-10}) {
    for (ValueRef* r : {real.get(), sreal.get(), b4.get(), b8.get()}) {
      r->AssignReal(v);
      EXPECT_NEAR(r->AsReal(), v, fabs(v) * 1e-7) << r->TypeCode() << " " << v;
    }
  }
  real->AssignReal(0.1);
  EXPECT_EQ(d, 0.1);
  EXPECT_EQ(AsString(*real), "0.1");
  sreal->AssignReal(0.1);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(AsString(*sreal), "0.1");
  real->AssignReal(1e20);
  EXPECT_EQ(AsString(*real), "1e+20");
  real->AssignReal(-2.9);
  EXPECT_EQ(real->AsLong(), -2);
  EXPECT_EQ(real->CompareLong(-3), 1);
  AssignText(*real, "  2.5   ");
  EXPECT_EQ(d, 2.5);
  real->AssignLong(7);
  EXPECT_EQ(d, 7.0);
  PushTextDecimal("0.1");
  real->AssignDecimal();
  EXPECT_EQ(d, 0.1);
  real->PushAsDecimal();
  EXPECT_EQ(DecimalToText(-1), "0.1");
  DropDecimal();
}

TEST_F(ValueRefTest, RealExtremes) {
  double d = 1;
  float f = 1;
  uint8_t m4[4] = {};
  Ref real = Make(&d, kTypeReal), sreal = Make(&f, kTypeSReal), b4 = Make(m4, kTypeBFloat4);
  real->SetExtreme(1);
  EXPECT_EQ(d, DBL_MAX);
  real->SetExtreme(-1);
  EXPECT_EQ(d, -DBL_MAX);
  sreal->SetExtreme(1);
  EXPECT_EQ(f, FLT_MAX);
  sreal->SetExtreme(0);
  EXPECT_EQ(f, 0.0f);
  sreal->AssignReal(-1e300);  // beyond the single range
  EXPECT_TRUE(isinf(f) && f < 0);
  b4->SetExtreme(1);
  EXPECT_EQ(Raw(*b4), (std::vector<uint8_t>{0xFF, 0xFF, 0x7F, 0xFF}));
  b4->SetExtreme(-1);
  EXPECT_EQ(Raw(*b4), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(ValueRefTest, BinaryFormatRealsByTheirForm) {
  uint8_t m4[4] = {}, m8[8] = {};
  Ref b4 = Make(m4, kTypeBFloat4), b8 = Make(m8, kTypeBFloat8);
  // BFLOAT4 holds a single-precision value and shows it with as few digits;
  // BFLOAT8 keeps the double.
  b4->AssignReal(0.1);
  EXPECT_NE(b4->AsReal(), 0.1);
  EXPECT_EQ(AsString(*b4), "0.1");
  b8->AssignReal(0.1);
  EXPECT_EQ(b8->AsReal(), 0.1);
  EXPECT_EQ(AsString(*b8), "0.1");
  b4->AssignReal(1.0 / 3);
  EXPECT_EQ(AsString(*b4), "0.33333334");
  b8->AssignReal(1.0 / 3);
  EXPECT_EQ(AsString(*b8), "0.3333333333333333");
  // The extremes of BFLOAT8: 53 bits of ones with exponent byte 255.
  const double largest = ldexp(2.0 - ldexp(1.0, -52), 255 - 129);
  b8->SetExtreme(1);
  EXPECT_EQ(b8->AsReal(), largest);
  EXPECT_EQ(m8[7], 0xFF);
  b8->SetExtreme(-1);
  EXPECT_EQ(b8->AsReal(), -largest);
  b8->SetExtreme(0);
  EXPECT_EQ(b8->IsZero(), 1);
}

TEST_F(ValueRefTest, RealClonesKeepTypeSizeAndVariable) {
  double d = 2.5;
  float f = 2.5f;
  uint8_t m4[4] = {}, m8[8] = {};
  Ref refs[] = {Make(&d, kTypeReal), Make(&f, kTypeSReal), Make(m4, kTypeBFloat4),
                Make(m8, kTypeBFloat8)};
  refs[2]->AssignReal(2.5);
  refs[3]->AssignReal(2.5);
  for (Ref& r : refs) {
    Ref clone(r->Clone());
    EXPECT_EQ(clone->TypeCode(), r->TypeCode());
    EXPECT_EQ(clone->Size(), r->Size());
    EXPECT_EQ(clone->Address(), r->Address());
    EXPECT_EQ(clone->AsReal(), 2.5) << r->TypeCode();
  }
}

TEST_F(ValueRefTest, CompareRefFollowsTheArgumentsClass) {
  int32_t ten = 10, nine = 9;
  double ten_and_half = 10.5;
  uint8_t dec[3] = {0x00, 0x10, 0x00};  // DECIMAL(5,2) 10.00
  char text[2] = {'9', ' '};
  Ref a = Make(&ten, kTypeLong), b = Make(&nine, kTypeLong), r = Make(&ten_and_half, kTypeReal),
      d = Make(dec, kTypeDecimal, 3, 2), s = Make(text, kTypeString, 2);
  EXPECT_EQ(a->CompareRef(*b), 1);
  EXPECT_EQ(b->CompareRef(*a), -1);
  EXPECT_EQ(a->CompareRef(*r), -1);  // 10 < 10.5 as REAL
  EXPECT_EQ(r->CompareRef(*a), 0);   // 10.5 as LONG is 10
  EXPECT_EQ(a->CompareRef(*d), 0);
  EXPECT_EQ(a->CompareRef(*s), -1);  // "10" < "9 " as text
  EXPECT_EQ(s->CompareRef(*a), -1);  // "9 " as LONG is 9
  EXPECT_EQ(a->CompareCommon(*s), -1);
  EXPECT_EQ(s->CompareCommon(*a), 1);
  EXPECT_EQ(a->CompareCommon(*r), -1);
  EXPECT_EQ(r->CompareCommon(*a), 1);
  EXPECT_EQ(CommonClass(*a, *d), kClassDecimal);
  EXPECT_EQ(CommonClass(*d, *r), kClassReal);
}

TEST_F(ValueRefTest, ArithmeticInTheCommonClass) {
  int32_t x = 2147483647, y = 1;
  double half = 2.5;
  uint8_t dec[3] = {0x00, 0x01, 0x25};  // DECIMAL(5,2) 1.25
  Ref a = Make(&x, kTypeLong), b = Make(&y, kTypeLong), r = Make(&half, kTypeReal),
      d = Make(dec, kTypeDecimal, 3, 2);
  a->AddRef(*b);
  EXPECT_EQ(x, -2147483647 - 1);  // LONG arithmetic wraps
  a->SubtractRef(*b);
  EXPECT_EQ(x, 2147483647);
  x = 10;
  a->AddRef(*r);  // 12.5 as REAL, stored cut toward zero
  EXPECT_EQ(x, 12);
  d->AddRef(*a);  // 13.25 exactly
  EXPECT_EQ(AsString(*d), "13.25");
  d->SubtractRef(*r);
  EXPECT_EQ(AsString(*d), "10.75");
}

TEST_F(ValueRefTest, CopyFromIsBytewiseForTheSameTypeElseConverted) {
  int32_t a = 0, b = 70000;
  int16_t s = 0;
  char text[4] = {'1', '2', ' ', ' '};
  Ref ra = Make(&a, kTypeLong), rb = Make(&b, kTypeLong), rs = Make(&s, kTypeShort),
      rt = Make(text, kTypeString, 4);
  ra->CopyFrom(*rb);
  EXPECT_EQ(a, 70000);
  rs->CopyFrom(*rb);
  EXPECT_EQ(s, 4464);
  ra->CopyFrom(*rt);
  EXPECT_EQ(a, 12);
  rt->CopyFrom(*rb);
  EXPECT_EQ(std::string(text, 4), "7000");
  ra->AssignRef(*rs);
  EXPECT_EQ(a, 4464);
}

TEST_F(ValueRefTest, OwnedStorageReleasedAndAddressMoved) {
  auto* block = static_cast<int32_t*>(Allocate(sizeof(int32_t)));
  *block = 5;
  Ref r = Make(block, kTypeLong);
  r->SetOwnsStorage(true);
  EXPECT_EQ(r->flags(), kRefOwnsStorage);
  r->Release();  // frees the block (the leak checker would see it otherwise)
  EXPECT_EQ(r->Address(), nullptr);
  EXPECT_EQ(r->flags(), 0);
  EXPECT_EQ(r->AsLong(), 0);  // released: reads 0, ignores writes
  r->AssignLong(9);
  EXPECT_EQ(AsString(*r), "0");
  int32_t other = 77;
  r->SetAddress(&other);
  EXPECT_EQ(r->AsLong(), 77);
  // Moving an owning reference frees what it owned.
  r->SetAddress(Allocate(sizeof(int32_t)));
  r->SetOwnsStorage(true);
  r->SetAddress(&other);
  EXPECT_EQ(r->flags(), 0);
}

TEST_F(ValueRefTest, MatchesFieldAndScalarNoOperations) {
  int32_t v = 0;
  Ref r = Make(&v, kTypeLong);
  EXPECT_TRUE(r->MatchesField(kTypeLong, 4, 0));
  EXPECT_FALSE(r->MatchesField(kTypeLong, 2, 0));
  EXPECT_FALSE(r->MatchesField(kTypeULong, 4, 0));
  EXPECT_TRUE(RequireExactType(*r, kTypeLong, 4));
  r->BeginAccess();
  r->EndAccess();
  EXPECT_EQ(v, 0);
}

#if !defined(_WIN32)
using ValueRefDeathTest = ValueRefTest;

TEST_F(ValueRefDeathTest, ElementAccessOnAScalarIsATypingError) {
  int32_t v = 0;
  Ref r = Make(&v, kTypeLong);
  EXPECT_EXIT(r->Element(1), testing::ExitedWithCode(2),
              "Insufficient Memory : Parameter typing error");  // code 8
  EXPECT_EXIT(r->Slice(1, 2), testing::ExitedWithCode(2), "Parameter typing error");
  EXPECT_EXIT(r->ElementCount(), testing::ExitedWithCode(2),
              "Unknown Error Posted : 6 : Parameter typing error");
  EXPECT_EXIT(r->Dimensions(), testing::ExitedWithCode(2), ": 6 : Parameter typing error");
  EXPECT_EXIT(r->ArrayBase(), testing::ExitedWithCode(2),
              "Memory Corrupted : Parameter typing error");  // code 7
}

TEST_F(ValueRefDeathTest, WrongExactTypeIsATypingError) {
  int32_t v = 0;
  char text[6];
  Ref r = Make(&v, kTypeLong), s = Make(text, kTypeString, 6);
  EXPECT_EXIT(RequireExactType(*r, kTypeShort, 2), testing::ExitedWithCode(2),
              ": 9 : Parameter typing error");
  EXPECT_EXIT(RequireExactType(*s, kTypeString, 5), testing::ExitedWithCode(2),
              ": 11 : Parameter typing error");
}

TEST_F(ValueRefDeathTest, UnsupportedTypeCodeIsAStringStackError) {
  int32_t v = 0;
  for (int32_t type : {0, 12, 15, 21, 99, -1}) {
    EXPECT_EXIT(MakeValueRef(&v, type, 4, 0), testing::ExitedWithCode(2),
                "Internal error 01 : String Stack Error")
        << type;
  }
  EXPECT_EXIT(MakeValueRef(&v, kTypeDecimal, 17, 0), testing::ExitedWithCode(2),
              "String Stack Error");
  EXPECT_EXIT(MakeValueRef(&v, kTypePString, 300, 0), testing::ExitedWithCode(2),
              "String Stack Error");
}
#endif

}  // namespace
}  // namespace kor

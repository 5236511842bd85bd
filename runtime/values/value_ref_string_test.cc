// Value references of the string and decimal families, and the value holders.
#include "runtime/values/value_ref_string.h"

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/pictures/dates.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_holders.h"
#include "runtime/values/value_ref_testing.h"

namespace kor {
namespace {

using namespace testing_refs;

using StringDecimalRefTest = BalancedStacksTest;

TEST_F(StringDecimalRefTest, StringPadsAndCuts) {
  char field[5];
  memset(field, 'x', sizeof field);
  Ref s = Make(field, kTypeString, 5);
  s->AssignLong(42);
  EXPECT_EQ(std::string(field, 5), "42   ");
  s->AssignReal(-2.5);
  EXPECT_EQ(std::string(field, 5), "-2.5 ");
  AssignText(*s, "abcdefgh");
  EXPECT_EQ(std::string(field, 5), "abcde");
  EXPECT_EQ(AsString(*s), "abcde");
  PushTextDecimal("1.50");
  s->AssignDecimal();
  EXPECT_EQ(std::string(field, 5), "1.5  ");
  s->PushAsDecimal();
  EXPECT_EQ(DecimalToText(2), "1.50");
  DropDecimal();
}

TEST_F(StringDecimalRefTest, CStringAndPStringForms) {
  char c[5];
  uint8_t p[5];
  memset(c, 'x', sizeof c);
  memset(p, 'x', sizeof p);
  Ref cs = Make(c, kTypeCString, 5), ps = Make(p, kTypePString, 5);
  AssignText(*cs, "abcdefg");
  EXPECT_EQ(std::string(c, 5), std::string("abcd\0", 5));
  AssignText(*ps, "abcdefg");
  EXPECT_EQ(Raw(*ps), (std::vector<uint8_t>{4, 'a', 'b', 'c', 'd'}));
  AssignText(*cs, "ab");
  EXPECT_EQ(AsString(*cs), "ab");
  AssignText(*ps, "ab");
  EXPECT_EQ(p[0], 2);
  EXPECT_EQ(AsString(*ps), "ab");
  // Storage written by other means: a length beyond the field.
  p[0] = 200;
  EXPECT_EQ(AsString(*ps), "abcd");
}

// A CSTRING of n bytes holds at most n-1 characters: a field without its zero
// byte (written by other means) reads its first n-1, through a value
// reference as through the storage reader.
TEST_F(StringDecimalRefTest, CStringReadersAgree) {
  const struct {
    const char* bytes;  // 5 bytes of field
    const char* text;
  } cases[] = {
      {"qqqqq", "qqqq"},
      {"ab\0cd", "ab"},
      {"\0bcde", ""},
      {"abcd\0", "abcd"},
  };
  for (const auto& c : cases) {
    char field[5];
    memcpy(field, c.bytes, 5);
    Ref r = Make(field, kTypeCString, 5);
    EXPECT_EQ(AsString(*r), c.text) << c.text;
    EXPECT_EQ(LoadText(field, kTypeCString, 5), c.text) << c.text;
  }
}

TEST_F(StringDecimalRefTest, StringExtremes) {
  char s[3];
  char c[3];
  uint8_t p[3];
  Ref rs = Make(s, kTypeString, 3), rc = Make(c, kTypeCString, 3), rp = Make(p, kTypePString, 3);
  rs->SetExtreme(1);
  rc->SetExtreme(1);
  rp->SetExtreme(1);
  EXPECT_EQ(Raw(*rs), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Raw(*rc), (std::vector<uint8_t>{0xFF, 0xFF, 0}));
  EXPECT_EQ(Raw(*rp), (std::vector<uint8_t>{2, 0xFF, 0xFF}));
  rs->SetExtreme(-1);
  EXPECT_EQ(Raw(*rs), (std::vector<uint8_t>{0, 0, 0}));
  rs->SetExtreme(0);
  rc->SetExtreme(0);
  rp->SetExtreme(0);
  EXPECT_EQ(std::string(s, 3), "   ");
  EXPECT_EQ(AsString(*rc), "");
  EXPECT_EQ(AsString(*rp), "");
  EXPECT_EQ(rs->IsZero(), 1);
  EXPECT_EQ(rc->IsEmpty(), 1);
}

TEST_F(StringDecimalRefTest, StringNumbersAndComparisons) {
  char a[20], b[3];
  Ref ra = Make(a, kTypeString, 20), rb = Make(b, kTypeString, 3);
  AssignText(*ra, "2.9999999999999999");
  EXPECT_EQ(ra->AsLong(), 3);
  AssignText(*ra, "  12  ");
  EXPECT_EQ(ra->AsLong(), 12);
  EXPECT_EQ(ra->AsReal(), 12.0);
  EXPECT_EQ(ra->CompareLong(11), 1);
  EXPECT_EQ(ra->IsZero(), 0);
  AssignText(*ra, "abc");
  AssignText(*rb, "abd");
  EXPECT_EQ(ra->CompareRef(*rb), -1);  // "abc" + blanks against "abd"
  EXPECT_EQ(rb->CompareRef(*ra), 1);
  AssignText(*rb, "abc");
  EXPECT_EQ(ra->CompareRef(*rb), 0);
}

TEST_F(StringDecimalRefTest, GroupAndAnyAreStrings) {
  char g[4] = {'a', 'b', 'c', 'd'};
  Ref group = Make(g, kTypeGroup, 4), any = Make(g, kTypeUntypedString, 4);
  EXPECT_EQ(group->TypeCode(), kTypeGroup);
  EXPECT_EQ(any->TypeCode(), kTypeUntypedString);
  EXPECT_EQ(AsString(*group), "abcd");
  AssignText(*any, "xy");
  EXPECT_EQ(std::string(g, 4), "xy  ");
  EXPECT_TRUE(group->MatchesField(kTypeGroup, 4, 0));
  EXPECT_FALSE(group->MatchesField(kTypeString, 4, 0));
}

TEST_F(StringDecimalRefTest, ElementsAndSlicesOfAString) {
  char text[5] = {'h', 'e', 'l', 'l', 'o'};
  uint8_t p[4] = {3, 'a', 'b', 'c'};
  Ref s = Make(text, kTypeString, 5), ps = Make(p, kTypePString, 4);
  EXPECT_EQ(s->ElementCount(), 5);
  EXPECT_EQ(s->Dimensions(), 1);
  Ref slice(s->Slice(2, 4));
  EXPECT_EQ(AsString(*slice), "ell");
  AssignText(*slice, "XY");
  EXPECT_EQ(std::string(text, 5), "hXY o");
  Ref last(s->Element(5));
  EXPECT_EQ(AsString(*last), "o");
  Ref empty(s->Slice(3, 2));
  EXPECT_EQ(AsString(*empty), "");
  Ref second(ps->Element(2));  // after the length byte
  EXPECT_EQ(AsString(*second), "b");
}

TEST_F(StringDecimalRefTest, CopyFromAcrossSizes) {
  char a[5] = {'1', '2', '3', '4', '5'}, b[3] = {'x', 'y', 'z'};
  Ref ra = Make(a, kTypeString, 5), rb = Make(b, kTypeString, 3);
  ra->CopyFrom(*rb);  // different sizes: through the string stack
  EXPECT_EQ(std::string(a, 5), "xyz  ");
  rb->AssignRef(*ra);
  EXPECT_EQ(std::string(b, 3), "xyz");
}

TEST_F(StringDecimalRefTest, DecimalStorageForms) {
  uint8_t d[3] = {}, p[3] = {};
  Ref rd = Make(d, kTypeDecimal, 3, 2), rp = Make(p, kTypePDecimal, 3, 2);
  AssignText(*rd, "-123.45");
  EXPECT_EQ(Raw(*rd), (std::vector<uint8_t>{0xF1, 0x23, 0x45}));
  EXPECT_EQ(AsString(*rd), "-123.45");
  rp->AssignRef(*rd);
  EXPECT_EQ(Raw(*rp), (std::vector<uint8_t>{0x12, 0x34, 0x5D}));
  rp->AssignReal(123.45);
  EXPECT_EQ(Raw(*rp), (std::vector<uint8_t>{0x12, 0x34, 0x5F}));
  rd->AssignReal(1.005);
  EXPECT_EQ(AsString(*rd), "1.01");
  rd->AssignReal(-1.005);
  EXPECT_EQ(AsString(*rd), "-1.01");
  EXPECT_EQ(rd->AsLong(), -1);
  EXPECT_EQ(rd->AsReal(), -1.01);
  EXPECT_EQ(rd->CompareLong(-1), -1);
  EXPECT_EQ(rd->IsZero(), 0);
  uint8_t small[2] = {};
  Ref rs = Make(small, kTypeDecimal, 2, 0);
  rs->AssignLong(12345);
  EXPECT_EQ(rs->AsLong(), 345);
  EXPECT_TRUE(rd->MatchesField(kTypeDecimal, 3, 2));
  EXPECT_FALSE(rd->MatchesField(kTypeDecimal, 3, 1));
}

TEST_F(StringDecimalRefTest, DecimalExtremesAndULong) {
  uint8_t d[3], p[3], u[4];
  Ref rd = Make(d, kTypeDecimal, 3, 2), rp = Make(p, kTypePDecimal, 3, 2), ru = Make(u, kTypeULong);
  rd->SetExtreme(1);
  EXPECT_EQ(AsString(*rd), "999.99");
  rd->SetExtreme(-1);
  EXPECT_EQ(Raw(*rd), (std::vector<uint8_t>{0xF9, 0x99, 0x99}));
  rp->SetExtreme(-1);
  EXPECT_EQ(AsString(*rp), "-999.99");
  rp->SetExtreme(0);
  EXPECT_EQ(rp->IsZero(), 1);
  ru->SetExtreme(1);
  EXPECT_EQ(AsString(*ru), "4294967295");
  EXPECT_EQ(ru->AsLong(), -1);  // beyond LONG: wraps
  ru->SetExtreme(-1);
  EXPECT_EQ(ru->AsLong(), 0);
  ru->AssignLong(-1);
  EXPECT_EQ(Raw(*ru), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  AssignText(*ru, "3000000000");
  EXPECT_EQ(AsString(*ru), "3000000000");
  EXPECT_EQ(ru->AsReal(), 3000000000.0);
}

// ULONG is a decimal type without places: every way in rounds half up (away
// from zero) as a DECIMAL(n,0) does, then wraps modulo 2^32.
TEST_F(StringDecimalRefTest, ULongRoundsAsADecimalWithoutPlaces) {
  const struct {
    const char* text;
    double real;
    uint32_t stored;
  } cases[] = {
      {"3.7", 3.7, 4},
      {"3.2", 3.2, 3},
      {"2.5", 2.5, 3},
      {"0.49", 0.49, 0},
      {"-0.4", -0.4, 0},
      {"-1.5", -1.5, 4294967294u},
      {"4294967295.5", 4294967295.5, 0},
  };
  for (const auto& c : cases) {
    uint8_t u[4], d[8];
    Ref ru = Make(u, kTypeULong), rd = Make(d, kTypeDecimal, 8, 0);
    ru->AssignReal(c.real);
    EXPECT_EQ(LoadULong(u), c.stored) << "real " << c.text;
    AssignText(*ru, c.text);
    EXPECT_EQ(LoadULong(u), c.stored) << "text " << c.text;
    PushTextDecimal(c.text);
    ru->AssignDecimal();
    EXPECT_EQ(LoadULong(u), c.stored) << "decimal " << c.text;
    StoreFromReal(u, kTypeULong, 4, 0, c.real);
    EXPECT_EQ(LoadULong(u), c.stored) << "storage " << c.text;
    // The same value through a DECIMAL(15,0) rounds to the same whole number.
    rd->AssignReal(c.real);
    ru->AssignRef(*rd);
    EXPECT_EQ(LoadULong(u), c.stored) << "from DECIMAL " << c.text;
  }
}

TEST_F(StringDecimalRefTest, AssignThroughAPicture) {
  uint8_t d[4] = {};
  Ref rd = Make(d, kTypeDecimal, 4, 2);
  PushCString("1,234.50");
  rd->AssignPictured("@N10.2");
  EXPECT_EQ(AsString(*rd), "1234.50");
  // The picture decides which character is the point and which groups.
  PushCString("1.234,50");
  rd->AssignPictured("@N12`2");
  EXPECT_EQ(AsString(*rd), "1234.50");
  PushCString("(12.50)");
  rd->AssignPictured("@N(10.2)");
  EXPECT_EQ(AsString(*rd), "-12.50");
  PushCString("12345");
  rd->AssignPictured("@N9v2");  // implied places
  EXPECT_EQ(AsString(*rd), "123.45");
  PushCString("123-45");
  rd->AssignPictured("@P###-##P");
  EXPECT_EQ(AsString(*rd), "12345.00");

  // Dates and times are read as day counts and time values.
  uint8_t date[4] = {}, time[4] = {};
  Ref rdate = Make(date, kTypeDate), rtime = Make(time, kTypeTime);
  PushCString("25-12-2026");
  rdate->AssignPictured("@D6-");
  EXPECT_EQ(rdate->AsLong(), 82542);  // 25 December 2026
  EXPECT_EQ(Raw(*rdate), (std::vector<uint8_t>{25, 12, 2026 & 0xFF, 2026 >> 8}));
  PushCString(" 2:30PM");
  rtime->AssignPictured("@T3");
  EXPECT_EQ(rtime->AsLong(), 5220001);  // 14:30

  // Strings keep the text; text a picture cannot read is assigned as it is.
  char s[8];
  Ref rs = Make(s, kTypeString, 8);
  PushCString("abc");
  rs->AssignPictured("@S8");
  EXPECT_EQ(AsString(*rs), "abc     ");
  PushCString("12/xx/99");
  rs->AssignPictured("@D2");
  EXPECT_EQ(AsString(*rs), "12/xx/99");
  PushCString("kept");
  rs->AssignPictured(nullptr);
  EXPECT_EQ(AsString(*rs), "kept    ");
  EXPECT_EQ(StringStackDepth(), 0);
}

TEST_F(StringDecimalRefTest, HoldersOwnTheirValues) {
  Ref l(NewRef<LongValue>(5)), r(NewRef<RealValue>(2.5)), d(NewRef<DecimalValue>(8, 2)),
      s(NewRef<StringValue>());
  EXPECT_EQ(l->TypeCode(), kTypeLong);
  EXPECT_EQ(l->AsLong(), 5);
  Ref l2(l->Clone());
  l2->AssignLong(6);
  EXPECT_EQ(l->AsLong(), 5);  // the clone holds a copy
  EXPECT_NE(l2->Address(), l->Address());
  EXPECT_EQ(r->AsReal(), 2.5);
  d->AssignReal(1.005);
  EXPECT_EQ(AsString(*d), "1.01");
  Ref d2(d->Clone());
  EXPECT_EQ(AsString(*d2), "1.01");

  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(AsString(*s), "");
  std::string longer = "a text longer than the inline buffer";
  PushCopy(longer);
  s->AssignString();
  EXPECT_EQ(s->Size(), static_cast<int32_t>(longer.size()));
  EXPECT_EQ(AsString(*s), longer);
  EXPECT_EQ(s->flags(), kRefOwnsStorage);
  // Assigning a part of its own text back: a borrowed window into the
  // storage the assignment replaces.
  s->PushAsString();
  const char* own = TopText();
  PopString();
  PushString(own + 2, 4);
  s->AssignString();
  EXPECT_EQ(AsString(*s), "text");
  Ref s2(s->Clone());
  s->AssignLong(12);
  EXPECT_EQ(AsString(*s2), "text");
  EXPECT_EQ(AsString(*s), "12");
  s->Release();
  EXPECT_EQ(s->Size(), 0);
  EXPECT_EQ(AsString(*s), "");
}

#if !defined(_WIN32)
using StringDecimalRefDeathTest = StringDecimalRefTest;

TEST_F(StringDecimalRefDeathTest, SliceOutsideTheStringIsIndexOutOfRange) {
  char text[5] = {};
  Ref s = Make(text, kTypeString, 5);
  EXPECT_EXIT(s->Slice(0, 2), testing::ExitedWithCode(2), "Index out of range");
  EXPECT_EXIT(s->Element(6), testing::ExitedWithCode(2), "Index out of range");
}
#endif

}  // namespace
}  // namespace kor

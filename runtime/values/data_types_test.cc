// Data types: type codes and classes, and the storage form of every type,
// with the binary-format reals, dates and times at their edges.
#include "runtime/values/data_types.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace kor {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(DataTypes, CodesClassesAndSizes) {
  struct Row {
    TypeCode code;
    EvaluationClass cls;
    uint32_t size;
    const char* name;
  } rows[] = {
      // clang-format off
      {kTypeByte, kClassInteger, 1, "BYTE"},       {kTypeShort, kClassInteger, 2, "SHORT"},
      {kTypeUShort, kClassInteger, 2, "USHORT"},   {kTypeDate, kClassInteger, 4, "DATE"},
      {kTypeTime, kClassInteger, 4, "TIME"},       {kTypeLong, kClassInteger, 4, "LONG"},
      {kTypeULong, kClassDecimal, 4, "ULONG"},     {kTypeSReal, kClassReal, 4, "SREAL"},
      {kTypeReal, kClassReal, 8, "REAL"},          {kTypeDecimal, kClassDecimal, 0, "DECIMAL"},
      {kTypePDecimal, kClassDecimal, 0, "PDECIMAL"}, {kTypeBFloat4, kClassReal, 4, "BFLOAT4"},
      {kTypeBFloat8, kClassReal, 8, "BFLOAT8"},    {kTypeString, kClassString, 0, "STRING"},
      {kTypeCString, kClassString, 0, "CSTRING"},  {kTypePString, kClassString, 0, "PSTRING"},
      {kTypeGroup, kClassString, 0, "GROUP"},      {kTypeQueue, kClassNone, 0, "QUEUE"},
      // clang-format on
  };
  for (const Row& r : rows) {
    EXPECT_EQ(EvaluationClassOf(r.code), r.cls) << r.name;
    EXPECT_EQ(FixedStorageSize(r.code), r.size) << r.name;
    EXPECT_STREQ(TypeCodeName(r.code), r.name);
  }
  EXPECT_EQ(kTypeBFloat4, 13);
  EXPECT_EQ(kTypeGroup, 22);
  EXPECT_STREQ(TypeCodeName(17), "(17)");
  EXPECT_STREQ(TypeCodeName(31), "UNKNOWN");
  EXPECT_STREQ(TypeCodeName(-1), "UNKNOWN");
}

TEST(DataTypes, IntegersAndIeeeRealsAreLittleEndian) {
  uint8_t b[8];
  StoreLong(b, -2);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(LoadLong(b), -2);
  EXPECT_EQ(LoadULong(b), 0xFFFFFFFEu);
  StoreShort(b, -300);
  EXPECT_EQ(Bytes(b, b + 2), (Bytes{0xD4, 0xFE}));
  EXPECT_EQ(LoadShort(b), -300);
  EXPECT_EQ(LoadUShort(b), 0xFED4);
  StoreByte(b, 200);
  EXPECT_EQ(LoadByte(b), 200);
  StoreReal(b, 1.0);
  EXPECT_EQ(Bytes(b, b + 8), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(LoadReal(b), 1.0);
  StoreSReal(b, -2.5f);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0, 0, 0x20, 0xC0}));
  EXPECT_EQ(LoadSReal(b), -2.5f);
}

TEST(BinaryFormatReals, KnownEncodings) {
  uint8_t b[8];
  struct Case {
    double v;
    Bytes four;
  } cases[] = {
      {1.0, {0x00, 0x00, 0x00, 0x81}},   {-1.0, {0x00, 0x00, 0x80, 0x81}},
      {0.5, {0x00, 0x00, 0x00, 0x80}},   {10.0, {0x00, 0x00, 0x20, 0x84}},
      {-0.75, {0x00, 0x00, 0xC0, 0x80}}, {0.0, {0x00, 0x00, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(StoreBFloat4(b, c.v));
    EXPECT_EQ(Bytes(b, b + 4), c.four) << c.v;
    EXPECT_EQ(LoadBFloat4(b), c.v);
    EXPECT_TRUE(StoreBFloat8(b, c.v));
    Bytes eight(4, 0);
    eight.insert(eight.end(), c.four.begin(), c.four.end());
    EXPECT_EQ(Bytes(b, b + 8), eight) << c.v;
    EXPECT_EQ(LoadBFloat8(b), c.v);
  }
  // Exponent 0 is zero whatever the mantissa holds.
  uint8_t junk[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  EXPECT_EQ(LoadBFloat8(junk), 0.0);
  EXPECT_EQ(LoadBFloat4(junk + 4), 0.0);
}

TEST(BinaryFormatReals, RoundTripsWithIeeeValues) {
  std::mt19937_64 rng(7);
  uint8_t b[8];
  for (int i = 0; i < 20000; ++i) {
    // Magnitudes across the whole binary-format range, both signs.
    double mantissa = std::ldexp(static_cast<double>(rng() >> 11), -53);  // [0, 1)
    int exponent = static_cast<int>(rng() % 250) - 125;
    double v = std::ldexp(0.5 + mantissa / 2, exponent) * ((rng() & 1) ? -1 : 1);
    // BFLOAT8 keeps every bit of a double.
    ASSERT_TRUE(StoreBFloat8(b, v));
    ASSERT_EQ(LoadBFloat8(b), v);
    // BFLOAT4 rounds to 24 significant bits exactly as a float does.
    ASSERT_TRUE(StoreBFloat4(b, v));
    ASSERT_EQ(LoadBFloat4(b), static_cast<double>(static_cast<float>(v))) << v;
  }
}

TEST(BinaryFormatReals, RoundingAndRangeEdges) {
  uint8_t b[8];
  // A BFLOAT8 mantissa between two doubles rounds to the even one.
  uint8_t tie[8] = {0x04, 0, 0, 0, 0, 0, 0, 0x81};  // 1 + 2^-53
  EXPECT_EQ(LoadBFloat8(tie), 1.0);
  uint8_t above[8] = {0x0C, 0, 0, 0, 0, 0, 0, 0x81};  // 1 + 3 * 2^-53
  EXPECT_EQ(LoadBFloat8(above), 1.0 + std::ldexp(1, -51));
  // Rounding up can carry into the exponent.
  EXPECT_TRUE(StoreBFloat4(b, 1.99999999));
  EXPECT_EQ(LoadBFloat4(b), 2.0);
  // Too large: saturates with the sign and reports it.
  EXPECT_FALSE(StoreBFloat4(b, -1e39));
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_LT(LoadBFloat4(b), -1.7e38);
  EXPECT_FALSE(StoreBFloat8(b, INFINITY));
  EXPECT_GT(LoadBFloat8(b), 1.7e38);
  EXPECT_FALSE(StoreBFloat8(b, NAN));
  EXPECT_EQ(LoadBFloat8(b), 0.0);
  // Too small: zero.
  EXPECT_TRUE(StoreBFloat4(b, 1e-40));
  EXPECT_EQ(LoadBFloat4(b), 0.0);
  EXPECT_TRUE(StoreBFloat8(b, std::ldexp(1.0, -128)));  // the smallest magnitude
  EXPECT_EQ(b[7], 1);
  EXPECT_EQ(LoadBFloat8(b), std::ldexp(1.0, -128));
}

TEST(DateStorage, EdgesOfTheCalendar) {
  uint8_t b[4];
  StoreDate(b, kLastStoredDay);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{31, 12, 0x0F, 0x27}));  // 31, 12, 9999
  EXPECT_EQ(LoadDate(b), 2994626);
  StoreDate(b, 4);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{1, 1, 0x09, 0x07}));  // 1 January 1801
  StoreDate(b, 72687);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{1, 1, 0xD0, 0x07}));  // 1 January 2000
  StoreDate(b, 0);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(LoadDate(b), 0);
  StoreDate(b, 3);  // before the first day: no date
  EXPECT_EQ(LoadDate(b), 0);
  StoreDate(b, kLastStoredDay + 10);
  EXPECT_EQ(LoadDate(b), kLastStoredDay);

  uint8_t year_10000[4] = {1, 1, 0x10, 0x27};
  EXPECT_EQ(LoadDate(year_10000), kLastStoredDay);
  uint8_t feb29_2000[4] = {29, 2, 0xD0, 0x07}, feb29_1900[4] = {29, 2, 0x6C, 0x07};
  EXPECT_EQ(LoadDate(feb29_2000), 72687 + 59);
  EXPECT_EQ(LoadDate(feb29_1900), 0);
  uint8_t month13[4] = {1, 13, 0xD0, 0x07}, day0[4] = {0, 1, 0xD0, 0x07};
  EXPECT_EQ(LoadDate(month13), 0);
  EXPECT_EQ(LoadDate(day0), 0);
  uint8_t year1800[4] = {31, 12, 0x08, 0x07};
  EXPECT_EQ(LoadDate(year1800), 0);
}

TEST(DateStorage, EveryDayRoundTripsAndDaysAreConsecutive) {
  uint8_t b[4];
  int last_day = 0;
  for (int32_t n = kFirstStoredDay; n <= kLastStoredDay; ++n) {
    StoreDate(b, n);
    ASSERT_EQ(LoadDate(b), n);
    // Consecutive days either advance the day or start a new month at 1.
    ASSERT_TRUE(b[0] == last_day + 1 || b[0] == 1) << n;
    last_day = b[0];
  }
}

TEST(TimeStorage, EdgesOfTheDay) {
  uint8_t b[4];
  StoreTime(b, 8640000);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{99, 59, 59, 23}));
  EXPECT_EQ(LoadTime(b), 8640000);
  StoreTime(b, 2);  // 00:00:00.01
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(LoadTime(b), 2);
  StoreTime(b, 1);  // midnight is stored as all zero, which reads as no time
  EXPECT_EQ(LoadTime(b), 0);
  StoreTime(b, 0);
  EXPECT_EQ(Bytes(b, b + 4), (Bytes{0, 0, 0, 0}));
  StoreTime(b, -5);
  EXPECT_EQ(LoadTime(b), 0);
  StoreTime(b, 8640000 + 101);  // wraps into the next day
  EXPECT_EQ(LoadTime(b), 101);
  uint8_t bad[4] = {100, 0, 0, 0}, hour24[4] = {0, 0, 0, 24};
  EXPECT_EQ(LoadTime(bad), 0);
  EXPECT_EQ(LoadTime(hour24), 0);
  for (int32_t t = 2; t <= 8640000; t += 997) {
    StoreTime(b, t);
    ASSERT_EQ(LoadTime(b), t);
  }
}

TEST(TextStorage, StringForms) {
  char f[8];
  StoreText(f, kTypeString, 5, "ab");
  EXPECT_EQ(std::string(f, 5), "ab   ");
  EXPECT_EQ(LoadText(f, kTypeString, 5), "ab   ");
  StoreText(f, kTypeGroup, 3, "abcdefg");
  EXPECT_EQ(std::string(f, 3), "abc");
  StoreText(f, kTypeCString, 4, "abcdefg");
  EXPECT_EQ(std::string(f, 4), std::string("abc\0", 4));
  EXPECT_EQ(LoadText(f, kTypeCString, 4), "abc");
  StoreText(f, kTypeCString, 4, "a");
  EXPECT_EQ(std::string(f, 4), std::string("a\0\0\0", 4));
  EXPECT_EQ(LoadText(f, kTypeCString, 4), "a");
  memcpy(f, "wxyz", 4);  // no terminator: at most n-1 characters
  EXPECT_EQ(LoadText(f, kTypeCString, 4), "wxy");
  StoreText(f, kTypePString, 4, "hello");
  EXPECT_EQ(std::string(f, 4), std::string("\3hel", 4));
  EXPECT_EQ(LoadText(f, kTypePString, 4), "hel");
  f[0] = 9;  // a length beyond the field is cut to it
  EXPECT_EQ(LoadText(f, kTypePString, 4), "hel");
  EXPECT_EQ(LoadText(f, kTypeLong, 4), "");
  std::string big(300, 'x');
  std::vector<char> p(400);
  StoreText(p.data(), kTypePString, 400, big);
  EXPECT_EQ(static_cast<uint8_t>(p[0]), 255);
  EXPECT_EQ(LoadText(p.data(), kTypePString, 400).size(), 255u);
}

TEST(GenericAccess, EveryValueTypeThroughReal) {
  uint8_t b[16];
  struct Case {
    TypeCode type;
    uint32_t size, places;
    double in, out;
  } cases[] = {
      {kTypeByte, 1, 0, 300.7, 44},
      {kTypeShort, 2, 0, -12.9, -12},
      {kTypeUShort, 2, 0, 65537, 1},
      {kTypeLong, 4, 0, -2147483648.0, -2147483648.0},
      {kTypeULong, 4, 0, 4294967295.0, 4294967295.0},
      {kTypeDate, 4, 0, 72687, 72687},
      {kTypeTime, 4, 0, 8640000, 8640000},
      {kTypeSReal, 4, 0, 0.1, static_cast<float>(0.1)},
      {kTypeReal, 8, 0, 0.1, 0.1},
      {kTypeBFloat4, 4, 0, 0.5, 0.5},
      {kTypeBFloat8, 8, 0, 0.1, 0.1},
      {kTypeDecimal, 4, 2, -123.455, -123.46},
      {kTypePDecimal, 4, 2, 123.454, 123.45},
      {kTypeString, 10, 0, 2.25, 2.25},
      {kTypeCString, 10, 0, -7, -7},
      {kTypePString, 10, 0, 1e10, 1e10},
      {kTypeQueue, 4, 0, 5, 0},
  };
  for (const Case& c : cases) {
    memset(b, 0, sizeof b);
    StoreFromReal(b, c.type, c.size, c.places, c.in);
    EXPECT_EQ(LoadAsReal(b, c.type, c.size, c.places), c.out) << TypeCodeName(c.type);
  }
  StoreFromReal(b, kTypeLong, 4, 0, NAN);
  EXPECT_EQ(LoadLong(b), 0);
}

}  // namespace
}  // namespace kor

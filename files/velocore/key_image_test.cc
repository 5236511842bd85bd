// Key value images: for random values of every field type, the unsigned
// byte order of the images is the order of the typed values as the runtime
// compares them (integers, reals, the decimal stack, the collating
// sequence), and reversed for a descending component; plus the edge cases.
#include "files/velocore/key_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "files/velocore/page_codec.h"
#include "files/velocore/record_keys.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"

namespace kor::vel {
namespace {

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

struct TypeCase {
  const char* name;
  uint8_t type;
  uint32_t size;
  std::function<void(std::mt19937&, uint8_t*)> fill;
  std::function<int(const uint8_t*, const uint8_t*)> compare;  // the runtime's order
  bool nocase = false;
};

std::string Letters(std::mt19937& r, size_t n) {
  static const char kAlphabet[] = "aAbBzZ09!~m";
  std::string s;
  for (size_t i = 0; i < n; ++i) s += kAlphabet[r() % (sizeof kAlphabet - 1)];
  return s;
}

std::vector<TypeCase> Cases() {
  auto text_compare = [](uint8_t type, uint32_t size, bool nocase) {
    return [=](const uint8_t* a, const uint8_t* b) {
      std::string_view x = LoadText(a, type, size), y = LoadText(b, type, size);
      return nocase ? CollateCompareNoCase(x.data(), x.size(), y.data(), y.size())
                    : CollateCompare(x.data(), x.size(), y.data(), y.size());
    };
  };
  auto text_fill = [](uint8_t type, uint32_t size) {
    return [=](std::mt19937& r, uint8_t* p) {
      size_t n = type == kTypeString || type == kTypeGroup ? size : r() % size;
      StoreText(p, type, size, Letters(r, n));
    };
  };
  std::vector<TypeCase> cases = {
      {"BYTE", kTypeByte, 1, [](std::mt19937& r, uint8_t* p) { p[0] = uint8_t(r()); },
       [](const uint8_t* a, const uint8_t* b) { return Sign(double(a[0]) - b[0]); }},
      {"SHORT", kTypeShort, 2, [](std::mt19937& r, uint8_t* p) { StoreShort(p, int16_t(r())); },
       [](const uint8_t* a, const uint8_t* b) {
         return Sign(double(LoadShort(a)) - LoadShort(b));
       }},
      {"USHORT", kTypeUShort, 2, [](std::mt19937& r, uint8_t* p) { StoreUShort(p, uint16_t(r())); },
       [](const uint8_t* a, const uint8_t* b) {
         return Sign(double(LoadUShort(a)) - LoadUShort(b));
       }},
      {"LONG", kTypeLong, 4, [](std::mt19937& r, uint8_t* p) { StoreLong(p, int32_t(r())); },
       [](const uint8_t* a, const uint8_t* b) { return Sign(double(LoadLong(a)) - LoadLong(b)); }},
      {"ULONG", kTypeULong, 4, [](std::mt19937& r, uint8_t* p) { StoreULong(p, uint32_t(r())); },
       [](const uint8_t* a, const uint8_t* b) {
         return Sign(double(LoadULong(a)) - LoadULong(b));
       }},
      {"DATE", kTypeDate, 4,
       [](std::mt19937& r, uint8_t* p) { StoreDate(p, kFirstStoredDay + int32_t(r() % 2990000)); },
       [](const uint8_t* a, const uint8_t* b) { return Sign(double(LoadDate(a)) - LoadDate(b)); }},
      {"TIME", kTypeTime, 4,
       [](std::mt19937& r, uint8_t* p) { StoreTime(p, 1 + int32_t(r() % 8640000)); },
       [](const uint8_t* a, const uint8_t* b) { return Sign(double(LoadTime(a)) - LoadTime(b)); }},
      {"SREAL", kTypeSReal, 4,
       [](std::mt19937& r, uint8_t* p) {
         StoreSReal(p, float((int32_t(r()) % 2000000) * std::pow(10.0, int(r() % 20) - 10)));
       },
       [](const uint8_t* a, const uint8_t* b) {
         return Sign(double(LoadSReal(a)) - LoadSReal(b));
       }},
      {"REAL", kTypeReal, 8,
       [](std::mt19937& r, uint8_t* p) {
         StoreReal(p, (int32_t(r()) % 2000000) * std::pow(10.0, int(r() % 40) - 20));
       },
       [](const uint8_t* a, const uint8_t* b) {
         double x = LoadReal(a), y = LoadReal(b);
         return x < y ? -1 : x > y ? 1 : 0;
       }},
      {"DECIMAL(7,2)", kTypeDecimal, 4,
       [](std::mt19937& r, uint8_t* p) {
         p[0] = uint8_t((r() % 2 ? 0xF0 : 0) | r() % 10);
         for (int i = 1; i < 4; ++i) p[i] = uint8_t((r() % 10) << 4 | r() % 10);
       },
       [](const uint8_t* a, const uint8_t* b) {
         PushDecimal(a, 4, 2);
         PushDecimal(b, 4, 2);
         return DecimalCompare();
       }},
      {"STRING", kTypeString, 6, text_fill(kTypeString, 6), text_compare(kTypeString, 6, false)},
      {"GROUP", kTypeGroup, 6, text_fill(kTypeGroup, 6), text_compare(kTypeGroup, 6, false)},
      {"CSTRING", kTypeCString, 6, text_fill(kTypeCString, 6),
       text_compare(kTypeCString, 6, false)},
      {"PSTRING", kTypePString, 6, text_fill(kTypePString, 6),
       text_compare(kTypePString, 6, false)},
      {"STRING NOCASE", kTypeString, 6, text_fill(kTypeString, 6),
       text_compare(kTypeString, 6, true), true},
  };
  return cases;
}

class KeyImageOrderTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    // A sequence that is not byte order, so the images must take the
    // weights from the record and not the character codes.
    const char kSequence[] = "zZyYbBaA";
    SetCollatingSequence(kSequence, sizeof kSequence - 1, false);
    SaveCollationRecord(&record_);
  }
  void TearDown() override { ResetCollation(); }
  CollationRecord record_;
};

TEST_P(KeyImageOrderTest, ImageOrderIsValueOrder) {
  const bool descending = GetParam();
  std::mt19937 random(21);
  for (const TypeCase& c : Cases()) {
    for (int n = 0; n < 3000; ++n) {
      uint8_t a[8] = {}, b[8] = {};
      c.fill(random, a);
      c.fill(random, n % 10 == 0 ? a : b);  // some equal values too
      if (n % 10 == 0) std::memcpy(b, a, c.size);
      Bytes ia, ib;
      AppendComponentImage(c.type, a, c.size, descending, c.nocase, {&record_, false}, &ia);
      AppendComponentImage(c.type, b, c.size, descending, c.nocase, {&record_, false}, &ib);
      ASSERT_EQ(ia.size(), c.size);
      int typed = c.compare(a, b) * (descending ? -1 : 1);
      int bytes = CompareKeys(ia, ib);
      if (typed != 0) {
        ASSERT_EQ(bytes, typed) << c.name << " pair " << n;
      } else if (std::memcmp(a, b, c.size) == 0) {
        ASSERT_EQ(bytes, 0) << c.name;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Directions, KeyImageOrderTest, ::testing::Values(false, true));

TEST(KeyImageTest, EdgeCasesOrderAsDeclared) {
  CollationRecord record;
  SaveCollationRecord(&record);
  auto image = [&](uint8_t type, const std::vector<uint8_t>& v, bool desc = false) {
    Bytes out;
    AppendComponentImage(type, v.data(), uint32_t(v.size()), desc, false, {&record, false}, &out);
    return out;
  };
  auto shorts = [&](int16_t v) {
    Bytes b(2);
    StoreShort(b.data(), v);
    return image(kTypeShort, b);
  };
  auto reals = [&](double v) {
    Bytes b(8);
    StoreReal(b.data(), v);
    return image(kTypeReal, b);
  };
  auto longs = [&](int32_t v, bool desc) {
    Bytes b(4);
    StoreLong(b.data(), v);
    return image(kTypeLong, b, desc);
  };
  EXPECT_LT(CompareKeys(shorts(-1), shorts(0)), 0);
  EXPECT_LT(CompareKeys(reals(-2.5), reals(-1.0)), 0);
  EXPECT_LT(CompareKeys(reals(-1.0), reals(0.0)), 0);
  // DECIMAL(3,2) in 2 bytes: -0.01 is F0 01, 0.00 is 00 00.
  EXPECT_LT(CompareKeys(image(kTypeDecimal, {0xF0, 0x01}), image(kTypeDecimal, {0x00, 0x00})), 0);
  EXPECT_EQ(image(kTypeDecimal, {0x00, 0x00}), (Bytes{0x80, 0x00}));
  EXPECT_EQ(image(kTypeDecimal, {0xF0, 0x01}), (Bytes{0x7F, 0xFE}));
  // A negative DECIMAL in a descending component is complemented twice.
  EXPECT_EQ(image(kTypeDecimal, {0xF0, 0x01}, true), (Bytes{0x80, 0x01}));
  EXPECT_GT(CompareKeys(longs(5, true), longs(6, true)), 0);
  EXPECT_EQ(image(kTypeCString, {'a', 'b', 0, 'x', 'y'}), (Bytes{'a', 'b', 0, 0, 0}));
  EXPECT_EQ(image(kTypePString, {2, 'a', 'b', 'x', 'y'}), (Bytes{'a', 'b', 0, 0, 0}));
  EXPECT_EQ(image(kTypeDate, {31, 12, 0x0F, 0x27}), (Bytes{0x27, 0x0F, 12, 31}));
}

TEST(KeyImageTest, OptKeyEmptinessPerType) {
  TableSchema t;
  t.record_length = 16;
  t.fields = {{.type = kTypeString, .offset = 0, .name = "S", .size = 4, .picture = {}},
              {.type = kTypeCString, .offset = 4, .name = "C", .size = 4, .picture = {}},
              {.type = kTypeLong, .offset = 8, .name = "L", .size = 4, .picture = {}},
              {.type = kTypePString, .offset = 12, .name = "P", .size = 4, .picture = {}}};
  KeyDecl k{std::nullopt, "K", kKeyOpt, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}};
  Bytes r = {' ', ' ', ' ', ' ', 0, 'x', 'x', 'x', 0, 0, 0, 0, 0, 'q', 'q', 'q'};
  EXPECT_TRUE(KeyComponentsEmpty(t, k, r.data()));
  for (size_t at : {0u, 4u, 11u, 12u}) {
    Bytes changed = r;
    changed[at] = 1;
    EXPECT_FALSE(KeyComponentsEmpty(t, k, changed.data())) << at;
  }
}

}  // namespace
}  // namespace kor::vel

// Decimal stack arithmetic checked against exact big-integer arithmetic (GMP
// integers scaled by 10^32) over many random operands of every size.
#include "runtime/values/decimal_stack.h"

#include <gtest/gtest.h>

#if defined(MXB_HAVE_GMP)
#include <gmp.h>

#include <cmath>
#include <random>
#include <string>

namespace kor {
namespace {

// An mpz that cleans up after itself.
struct Z {
  mpz_t v;
  Z() { mpz_init(v); }
  explicit Z(const char* digits) { mpz_init_set_str(v, digits, 10); }
  ~Z() { mpz_clear(v); }
  Z(const Z&) = delete;
  Z& operator=(const Z&) = delete;
};

class Oracle : public testing::Test {
 protected:
  Oracle() {
    mpz_ui_pow_ui(scale_.v, 10, 32);
    mpz_ui_pow_ui(modulus_.v, 10, 64);
  }

  // A random value with `int_digits` integer digits and `places` places; the
  // digit style sometimes favours 9s and 0s so that carries and roundings
  // run across many digits and across the point.
  std::string RandomText(int int_digits, int places) {
    int style = static_cast<int>(rng_() % 4);
    auto digit = [&]() -> char {
      uint64_t x = rng_();
      if (style == 0) return static_cast<char>('0' + x % 10);
      if (style == 1) return x % 8 ? '9' : static_cast<char>('0' + (x >> 8) % 10);
      if (style == 2) return x % 8 ? '0' : static_cast<char>('0' + (x >> 8) % 10);
      return (x & 1) ? '9' : ((x & 2) ? '5' : '0');
    };
    std::string text = (rng_() & 1) ? "-" : "";
    for (int i = 0; i < int_digits; ++i) text += digit();
    if (int_digits == 0) text += '0';
    if (places > 0) {
      text += '.';
      for (int i = 0; i < places; ++i) text += digit();
    }
    return text;
  }

  std::string RandomOperand() {
    return RandomText(static_cast<int>(rng_() % 33), static_cast<int>(rng_() % 33));
  }

  // The exact value of a text of at most 32 + 32 digits, times 10^32.
  void Scaled(const std::string& text, mpz_t out) {
    std::string digits;
    size_t point = text.find('.');
    std::string int_part = text.substr(0, point);
    std::string frac_part = point == std::string::npos ? "" : text.substr(point + 1);
    bool negative = !int_part.empty() && int_part[0] == '-';
    if (negative) int_part.erase(0, 1);
    frac_part.resize(32, '0');
    mpz_set_str(out, (int_part + frac_part).c_str(), 10);
    if (negative) mpz_neg(out, out);
  }

  // The top register as a scaled integer, after checking its invariants.
  void TopValue(mpz_t out) {
    const DecimalRegister* r = DecimalTop();
    ASSERT_NE(r, nullptr);
    std::string digits;
    bool any = false;
    for (int i = kDecimalDigits - 1; i >= 0; --i) {
      ASSERT_LE(r->digits[i], 9) << "digit " << i;
      if (i > r->high || i < r->low) {
        ASSERT_EQ(r->digits[i], 0) << "outside range at " << i;
      }
      if (r->digits[i] != 0) any = true;
      digits += static_cast<char>('0' + r->digits[i]);
    }
    if (!any) {
      ASSERT_EQ(r->sign, 0) << "negative zero";
    }
    mpz_set_str(out, digits.c_str(), 10);
    if (r->sign) mpz_neg(out, out);
  }

  // x keeps its sign; its magnitude is reduced modulo 10^64 (the digits the
  // register drops).
  void Wrap(mpz_t x) {
    int negative = mpz_sgn(x) < 0;
    mpz_abs(x, x);
    mpz_mod(x, x, modulus_.v);
    if (negative) mpz_neg(x, x);
  }

  // q = |n| / d rounded half up, with the sign of n (d > 0).
  void DivideRounded(mpz_t q, const mpz_t n, const mpz_t d) {
    Z r, twice;
    int negative = mpz_sgn(n) < 0;
    mpz_abs(q, n);
    mpz_tdiv_qr(q, r.v, q, d);
    mpz_mul_ui(twice.v, r.v, 2);
    if (mpz_cmp(twice.v, d) >= 0) mpz_add_ui(q, q, 1);
    if (negative) mpz_neg(q, q);
  }

  void ExpectTop(const mpz_t expected, const std::string& what) {
    Z got;
    TopValue(got.v);
    if (HasFatalFailure()) return;
    char* want = mpz_get_str(nullptr, 10, expected);
    char* have = mpz_get_str(nullptr, 10, got.v);
    EXPECT_EQ(mpz_cmp(got.v, expected), 0) << what << "\n want " << want << "\n have " << have;
    free(want);
    free(have);
  }

  std::mt19937_64 rng_{20261207};
  Z scale_, modulus_;
};

constexpr int kRounds = 4000;

TEST_F(Oracle, AddAndSubtractAreExact) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    std::string a = RandomOperand(), b = RandomOperand();
    Z x, y, want;
    Scaled(a, x.v);
    Scaled(b, y.v);
    for (int op = 0; op < 3; ++op) {
      PushTextDecimal(a.c_str());
      PushTextDecimal(b.c_str());
      if (op == 0) {
        DecimalAdd();
        mpz_add(want.v, x.v, y.v);
      } else if (op == 1) {
        DecimalSubtract();
        mpz_sub(want.v, x.v, y.v);
      } else {
        DecimalSubtractReversed();
        mpz_sub(want.v, y.v, x.v);
      }
      Wrap(want.v);
      ExpectTop(want.v, a + " op" + std::to_string(op) + " " + b);
      DropDecimal();
    }
  }
}

TEST_F(Oracle, CompareMatchesTheExactOrder) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    std::string a = RandomOperand();
    // Every fourth pair differs only in the last place or not at all.
    std::string b = i % 4 == 0 ? a : RandomOperand();
    if (i % 8 == 4 && !b.empty() && b.back() != '9' && b.back() != '.') b.back()++;
    Z x, y;
    Scaled(a, x.v);
    Scaled(b, y.v);
    PushTextDecimal(a.c_str());
    PushTextDecimal(b.c_str());
    int c = mpz_cmp(x.v, y.v);
    EXPECT_EQ(DecimalCompare(), (c > 0) - (c < 0)) << a << " vs " << b;
  }
}

TEST_F(Oracle, MultiplyCutsAtTheLastPlace) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    // Mostly products that fit, some that overflow and drop digits.
    int ia = static_cast<int>(rng_() % 33), ib = static_cast<int>(rng_() % 33);
    if (i % 4 != 0 && ia + ib > 32) ib = 32 - ia;
    std::string a = RandomText(ia, static_cast<int>(rng_() % 33));
    std::string b = RandomText(ib, static_cast<int>(rng_() % 33));
    Z x, y, want;
    Scaled(a, x.v);
    Scaled(b, y.v);
    mpz_mul(want.v, x.v, y.v);
    mpz_tdiv_q(want.v, want.v, scale_.v);
    Wrap(want.v);
    PushTextDecimal(a.c_str());
    PushTextDecimal(b.c_str());
    DecimalMultiply();
    ExpectTop(want.v, a + " * " + b);
    DropDecimal();
  }
}

TEST_F(Oracle, DivideCutsAtTheLastPlace) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    std::string a = RandomOperand(), b = RandomOperand();
    if (i % 5 == 0) b = RandomText(static_cast<int>(rng_() % 3), static_cast<int>(rng_() % 3));
    Z x, y, want;
    Scaled(a, x.v);
    Scaled(b, y.v);
    if (mpz_sgn(y.v) == 0) {
      mpz_set_ui(want.v, 0);
    } else {
      mpz_mul(want.v, x.v, scale_.v);
      mpz_tdiv_q(want.v, want.v, y.v);  // truncates toward zero
      Wrap(want.v);
    }
    PushTextDecimal(a.c_str());
    PushTextDecimal(b.c_str());
    DecimalDivide();
    ExpectTop(want.v, a + " / " + b);
    DropDecimal();
  }
}

TEST_F(Oracle, StoreAndLoadOfEveryFieldSize) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    std::string a = RandomOperand();
    uint32_t size = 1 + static_cast<uint32_t>(rng_() % 16);
    uint32_t digits = 2 * size - 1;
    uint32_t places = static_cast<uint32_t>(rng_() % (digits + 1));
    bool packed = rng_() & 1;
    // Expected: rounded to the places, integer digits beyond the field dropped.
    Z x, want, unit, field_mod;
    Scaled(a, x.v);
    mpz_ui_pow_ui(unit.v, 10, 32 - places);
    DivideRounded(want.v, x.v, unit.v);
    mpz_ui_pow_ui(field_mod.v, 10, digits);
    int negative = mpz_sgn(want.v) < 0;
    mpz_abs(want.v, want.v);
    mpz_mod(want.v, want.v, field_mod.v);
    if (negative) mpz_neg(want.v, want.v);
    mpz_mul(want.v, want.v, unit.v);

    uint8_t field[16];
    PushTextDecimal(a.c_str());
    if (packed) {
      PopPDecimal(field, size, places);
      EXPECT_EQ(field[size - 1] & 0x0F, mpz_sgn(want.v) < 0 ? 0x0D : 0x0F) << a;
      PushPDecimal(field, size, places);
    } else {
      PopDecimal(field, size, places);
      EXPECT_EQ(field[0] >> 4, mpz_sgn(want.v) < 0 ? 0x0F : 0x00) << a;
      PushDecimal(field, size, places);
    }
    ExpectTop(want.v, a + " into (" + std::to_string(digits) + "," + std::to_string(places) +
                          (packed ? ") packed" : ")"));
    DropDecimal();
  }
}

TEST_F(Oracle, IntegersAndDoublesConvertExactly) {
  for (int i = 0; i < kRounds && !HasFailure(); ++i) {
    int32_t n = static_cast<int32_t>(rng_());
    Z want;
    mpz_set_si(want.v, n);
    mpz_mul(want.v, want.v, scale_.v);
    PushLongDecimal(n);
    ExpectTop(want.v, std::to_string(n));
    EXPECT_EQ(PopDecimalAsLong(), n);
    // A double's shortest text reads back as the same double.
    double d = std::ldexp(static_cast<double>(static_cast<int64_t>(rng_() >> 11)),
                          -static_cast<int>(rng_() % 40));
    PushRealDecimal(d);
    EXPECT_EQ(PopDecimalAsReal(), d);
  }
}

}  // namespace
}  // namespace kor

#endif  // MXB_HAVE_GMP

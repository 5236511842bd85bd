// Fuzzes the decimal text reader, the decimal arithmetic and the REAL text
// conversion: register invariants, the text round trip, agreement with the C
// library reader, and every operation against exact big-integer arithmetic
// (GMP integers scaled by 10^32, with the register's documented cutting and
// dropping rules applied to the exact result).
//
// The input is two texts separated by a zero byte (without one, the text is
// used twice); the byte after the separator, when there is one, also picks a
// field size and places for a store and load.
#include <gmp.h>
#include <stdlib.h>
#include <string.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include "runtime/values/decimal_stack.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "check failed: %s\n", what);
    abort();
  }
}

void CheckRegister(const kor::DecimalRegister& r) {
  bool any = false;
  Check(r.low <= r.high && r.high < kor::kDecimalDigits, "range inside the register");
  for (int i = 0; i < kor::kDecimalDigits; ++i) {
    Check(r.digits[i] <= 9, "digit 0..9");
    if (i < r.low || i > r.high) Check(r.digits[i] == 0, "zero outside the range");
    any |= r.digits[i] != 0;
  }
  Check(any || r.sign == 0, "no negative zero");
}

// ---- the exact oracle ----

// An mpz that cleans up after itself.
struct Z {
  mpz_t v;
  Z() { mpz_init(v); }
  ~Z() { mpz_clear(v); }
  Z(const Z&) = delete;
  Z& operator=(const Z&) = delete;
};

// The top register as an integer scaled by 10^32, read digit by digit.
void TopValue(mpz_t out) {
  const kor::DecimalRegister* r = kor::DecimalTop();
  Check(r != nullptr, "a value on the stack");
  CheckRegister(*r);
  char digits[kor::kDecimalDigits + 1];
  for (int i = 0; i < kor::kDecimalDigits; ++i) {
    digits[i] = static_cast<char>('0' + r->digits[kor::kDecimalDigits - 1 - i]);
  }
  digits[kor::kDecimalDigits] = 0;
  mpz_set_str(out, digits, 10);
  if (r->sign) mpz_neg(out, out);
}

// The magnitude reduced modulo 10^64 (digits above the 32nd integer digit
// are dropped), the sign kept.
void Wrap(mpz_t x) {
  Z modulus;
  mpz_ui_pow_ui(modulus.v, 10, 64);
  int negative = mpz_sgn(x) < 0;
  mpz_abs(x, x);
  mpz_mod(x, x, modulus.v);
  if (negative) mpz_neg(x, x);
}

void ExpectTop(const mpz_t want, const char* what) {
  Z got;
  TopValue(got.v);
  if (mpz_cmp(got.v, want) != 0) {
    gmp_fprintf(stderr, "%s\n want %Zd\n have %Zd\n", what, want, got.v);
    abort();
  }
}

// The value a text without an exponent must read as, found independently:
// blanks, a sign, integer digits (those above the 32nd dropped), a point
// ("." or ",") and places (those beyond the 32nd ignored). False when the
// text has an exponent, which this reading does not follow.
bool ReadPlain(const char* s, size_t n, mpz_t out) {
  size_t i = 0;
  while (i < n && s[i] == ' ') ++i;
  bool negative = i < n && s[i] == '-';
  if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
  std::string int_digits = "0", places;
  while (i < n && s[i] >= '0' && s[i] <= '9') int_digits += s[i++];
  if (i < n && (s[i] == '.' || s[i] == ',')) {
    ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') places += s[i++];
  }
  if (i < n && (s[i] == 'e' || s[i] == 'E')) return false;
  if (int_digits.size() > 32) int_digits = int_digits.substr(int_digits.size() - 32);
  places.resize(32, '0');
  mpz_set_str(out, (int_digits + places).c_str(), 10);
  if (negative) mpz_neg(out, out);
  return true;
}

// Pushes a, b, runs op, and compares with the exact result.
void CheckOperation(const std::string& a, const std::string& b, int op) {
  Z x, y, want, scale;
  mpz_ui_pow_ui(scale.v, 10, 32);
  kor::PushTextDecimal(a.data(), a.size());
  TopValue(x.v);
  kor::PushTextDecimal(b.data(), b.size());
  TopValue(y.v);
  switch (op) {
    case 0:
      kor::DecimalAdd();
      mpz_add(want.v, x.v, y.v);
      break;
    case 1:
      kor::DecimalSubtract();
      mpz_sub(want.v, x.v, y.v);
      break;
    case 2:
      kor::DecimalSubtractReversed();
      mpz_sub(want.v, y.v, x.v);
      break;
    case 3:
      kor::DecimalMultiply();
      mpz_mul(want.v, x.v, y.v);
      mpz_tdiv_q(want.v, want.v, scale.v);  // places beyond the 32nd cut off
      break;
    default:
      kor::DecimalDivide();
      if (mpz_sgn(y.v) != 0) {
        mpz_mul(want.v, x.v, scale.v);
        mpz_tdiv_q(want.v, want.v, y.v);  // cut toward zero
      }
      break;
  }
  Wrap(want.v);
  static const char* const kNames[] = {"add", "subtract", "subtract reversed", "multiply",
                                       "divide"};
  ExpectTop(want.v, kNames[op]);
  kor::DropDecimal();
  kor::PushTextDecimal(a.data(), a.size());
  kor::PushTextDecimal(b.data(), b.size());
  int c = mpz_cmp(x.v, y.v);
  Check(kor::DecimalCompare() == (c > 0) - (c < 0), "compare");
}

// ---- the text forms ----

void FuzzDecimal(const char* text, size_t size) {
  kor::PushTextDecimal(text, size);
  const kor::DecimalRegister first = *kor::DecimalTop();
  CheckRegister(first);
  Z read, plain;
  TopValue(read.v);
  if (ReadPlain(text, size, plain.v)) Check(mpz_cmp(read.v, plain.v) == 0, "text read exactly");
  // The shown text reads back as the same register.
  std::string shown = kor::DecimalToText(-1);
  kor::PushTextDecimal(shown.c_str());
  const kor::DecimalRegister* again = kor::DecimalTop();
  Check(memcmp(first.digits, again->digits, sizeof first.digits) == 0 && first.sign == again->sign,
        "text round trip");
  Check(kor::DecimalCompare() == 0, "equal after the round trip");
  Check(kor::DecimalDepth() == 0, "stack balanced");
}

// Stores into a DECIMAL or PDECIMAL field and loads it back: the value
// rounded half up to the places, integer digits beyond the field dropped.
void FuzzField(const char* text, size_t size, uint8_t shape) {
  uint32_t bytes = 1 + shape % 16;
  uint32_t digits = 2 * bytes - 1;
  uint32_t places = (shape >> 4) % (digits + 1);
  bool packed = shape & 0x80;
  Z x, want, unit, remainder, field_mod;
  kor::PushTextDecimal(text, size);
  TopValue(x.v);
  mpz_ui_pow_ui(unit.v, 10, 32 - places);
  int negative = mpz_sgn(x.v) < 0;
  mpz_abs(want.v, x.v);
  mpz_tdiv_qr(want.v, remainder.v, want.v, unit.v);
  mpz_mul_ui(remainder.v, remainder.v, 2);
  if (mpz_cmp(remainder.v, unit.v) >= 0) mpz_add_ui(want.v, want.v, 1);
  mpz_ui_pow_ui(field_mod.v, 10, digits);
  mpz_mod(want.v, want.v, field_mod.v);
  if (negative) mpz_neg(want.v, want.v);
  mpz_mul(want.v, want.v, unit.v);
  uint8_t field[16];
  if (packed) {
    kor::PopPDecimal(field, bytes, places);
    kor::PushPDecimal(field, bytes, places);
  } else {
    kor::PopDecimal(field, bytes, places);
    kor::PushDecimal(field, bytes, places);
  }
  ExpectTop(want.v, "store and load");
  kor::DropDecimal();
}

void FuzzReal(const char* text, size_t size) {
  size_t consumed = 0;
  double value = kor::TextToReal(text, size, &consumed);
  Check(consumed <= size, "consumed within the text");
  if (consumed == 0) {
    Check(value == 0, "no number reads as 0");
    return;
  }
  // Compare with the C reader on the forms both accept.
  std::string copy(text, size);
  if (copy.find_first_of("xXnNiI\t\n\v\f\r") != std::string::npos) return;
  char* end = nullptr;
  double c_value = strtod(copy.c_str(), &end);
  Check(static_cast<size_t>(end - copy.c_str()) == consumed, "same length read");
  if (std::fabs(c_value) < DBL_MIN && std::fabs(value) < DBL_MIN) return;  // underflow
  Check(c_value == value, "same value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char* split = static_cast<const char*>(memchr(text, 0, size));
  std::string a(text, split ? static_cast<size_t>(split - text) : size);
  std::string b = split ? std::string(split + 1, size - a.size() - 1) : a;
  FuzzDecimal(text, size);
  FuzzReal(text, size);
  if (split) FuzzDecimal(b.data(), b.size());
  for (int op = 0; op < 5; ++op) CheckOperation(a, b, op);
  FuzzField(a.data(), a.size(), b.empty() ? 0 : static_cast<uint8_t>(b[0]));
  Check(kor::DecimalDepth() == 0, "stack balanced");
  return 0;
}

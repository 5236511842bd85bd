// Arithmetic on single decimal registers: eight digits per machine word for
// add, subtract and compare, base 10^8 limbs for multiply and divide.
#include "runtime/values/decimal_stack_register.h"

#include <string.h>

#include <algorithm>
#include <bit>

#include "runtime/os/ascii.h"

namespace kor::decimal {

static_assert(std::endian::native == std::endian::little,
              "digit words rely on little-endian loads");

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;
// 256 - 10 in every byte: added before a digit add so that a byte sum of 10
// or more overflows into the next byte, which is exactly the decimal carry.
constexpr uint64_t kTenComplement = 0xF6 * kOnes;

inline uint64_t LoadWord(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}
inline void StoreWord(uint8_t* p, uint64_t v) { memcpy(p, &v, 8); }

// Bytes whose top bit is set hold 0xF6 + digit after a carry-less add (or a
// borrow); subtracting 0xF6 from exactly those bytes leaves the digit.
inline uint64_t FixBytes(uint64_t v) { return v - ((v & kHighBits) >> 7) * 0xF6; }

// out = x + y on words w_lo..w_hi (all other digits of both are 0); the
// carry out of the register's top digit is dropped.
void AddDigits(uint8_t* out, const uint8_t* x, const uint8_t* y, int w_lo, int w_hi) {
  uint64_t carry = 0;
  for (int w = w_lo; w <= w_hi; ++w) {
    uint64_t s = LoadWord(x + 8 * w) + LoadWord(y + 8 * w) + kTenComplement + carry;
    carry = (s >> 63) ^ 1;  // top byte without its marker bit: it carried
    StoreWord(out + 8 * w, FixBytes(s));
  }
}

// out = x - y on words w_lo..w_hi, for |x| >= |y|.
void SubtractDigits(uint8_t* out, const uint8_t* x, const uint8_t* y, int w_lo, int w_hi) {
  uint64_t borrow = 0;
  for (int w = w_lo; w <= w_hi; ++w) {
    uint64_t d = LoadWord(x + 8 * w) - LoadWord(y + 8 * w) - borrow;
    borrow = d >> 63;  // a byte that borrowed holds 0xF6..0xFF
    StoreWord(out + 8 * w, FixBytes(d));
  }
}

// Limbs of the words that can hold digits (low..high); the others are 0.
void ToLimbs(const DecimalRegister& r, uint32_t* limbs) {
  int w_lo = r.low / 8, w_hi = r.high / 8;
  for (int w = 0; w < kWords; ++w) {
    limbs[w] = w < w_lo || w > w_hi ? 0 : WordToLimb(LoadWord(r.digits + 8 * w));
  }
}

void FromLimbs(DecimalRegister* r, const uint32_t* limbs) {
  for (int w = 0; w < kWords; ++w) {
    StoreWord(r->digits + 8 * w, limbs[w] == 0 ? 0 : LimbToWord(limbs[w]));
  }
}

// q = num / v and r = num % v for num < 10^16 (exact in a double) and
// 0 < v < 10^8, with inv = 1.0 / v: the estimate is off by at most one.
inline uint64_t DivideSmall(uint64_t num, uint32_t v, double inv, uint64_t* rem) {
  uint64_t q = static_cast<uint64_t>(static_cast<double>(num) * inv);
  int64_t r = static_cast<int64_t>(num) - static_cast<int64_t>(q * v);
  while (r < 0) {
    --q;
    r += v;
  }
  while (r >= static_cast<int64_t>(v)) {
    ++q;
    r -= v;
  }
  *rem = static_cast<uint64_t>(r);
  return q;
}

// Index of the highest / lowest non-zero limb of limbs[0..n), or -1.
int TopLimb(const uint32_t* limbs, int n) {
  while (n > 0 && limbs[n - 1] == 0) --n;
  return n - 1;
}

// q = u / v by long division in base 10^8 (u has m + n limbs, v has n >= 2
// limbs with v[n-1] != 0; q receives m + 1 limbs); the remainder is dropped.
void LongDivide(const uint32_t* u_in, int m, const uint32_t* v_in, int n, uint32_t* q) {
  constexpr uint64_t B = kLimbBase;
  uint32_t u[21], v[16];
  // Normalise so that the divisor's top limb is at least B / 2; then each
  // estimated quotient limb is at most two too large.
  const uint64_t d = B / (uint64_t{v_in[n - 1]} + 1);
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    uint64_t t = v_in[i] * d + carry;
    v[i] = static_cast<uint32_t>(t % B);
    carry = t / B;
  }
  carry = 0;
  for (int i = 0; i < m + n; ++i) {
    uint64_t t = u_in[i] * d + carry;
    u[i] = static_cast<uint32_t>(t % B);
    carry = t / B;
  }
  u[m + n] = static_cast<uint32_t>(carry);
  const double inv = 1.0 / v[n - 1];
  for (int j = m; j >= 0; --j) {
    uint64_t num = u[j + n] * B + u[j + n - 1];
    uint64_t rhat;
    uint64_t qhat = DivideSmall(num, v[n - 1], inv, &rhat);
    while (qhat >= B || qhat * v[n - 2] > rhat * B + u[j + n - 2]) {
      --qhat;
      rhat += v[n - 1];
      if (rhat >= B) break;
    }
    // u[j..j+n] -= qhat * v
    int64_t borrow = 0;
    carry = 0;
    for (int i = 0; i < n; ++i) {
      uint64_t p = qhat * v[i] + carry;
      carry = p / B;
      int64_t t = int64_t{u[i + j]} - static_cast<int64_t>(p % B) - borrow;
      borrow = t < 0;
      u[i + j] = static_cast<uint32_t>(t < 0 ? t + static_cast<int64_t>(B) : t);
    }
    int64_t top = int64_t{u[j + n]} - static_cast<int64_t>(carry) - borrow;
    if (top < 0) {
      // The estimate was one too large: add v back.
      --qhat;
      uint64_t c = 0;
      for (int i = 0; i < n; ++i) {
        uint64_t s = uint64_t{u[i + j]} + v[i] + c;
        c = s >= B;
        u[i + j] = static_cast<uint32_t>(c ? s - B : s);
      }
      top += static_cast<int64_t>(c);
    }
    u[j + n] = static_cast<uint32_t>(top);
    q[j] = static_cast<uint32_t>(qhat);
  }
}

}  // namespace

uint32_t WordToLimb(uint64_t v) {
  v = (v & 0x00FF00FF00FF00FFULL) + ((v >> 8) & 0x00FF00FF00FF00FFULL) * 10;
  v = (v & 0x0000FFFF0000FFFFULL) + ((v >> 16) & 0x0000FFFF0000FFFFULL) * 100;
  return static_cast<uint32_t>((v & 0xFFFFFFFFULL) + (v >> 32) * 10000);
}

uint64_t LimbToWord(uint32_t x) {
  uint64_t v = (x % 10000) | (uint64_t{x / 10000} << 32);   // two 32-bit lanes, 0..9999
  uint64_t q = ((v * 5243) >> 19) & 0x0000007F0000007FULL;  // lane / 100
  v = (v - q * 100) | (q << 16);                            // four 16-bit lanes, 0..99
  q = ((v * 103) >> 10) & 0x000F000F000F000FULL;            // lane / 10
  return (v - q * 10) | (q << 8);                           // eight digit bytes
}

void Clear(DecimalRegister* r) {
  memset(r->digits, 0, sizeof r->digits);
  r->sign = 0;
  r->low = r->high = kDecimalUnitsIndex;
}

bool IsZero(const DecimalRegister& r) {
  uint64_t any = 0;
  for (int w = 0; w < kWords; ++w) any |= LoadWord(r.digits + 8 * w);
  return any == 0;
}

namespace {

// Normalize for a register whose non-zero digits all lie in words w_lo..w_hi.
void NormalizeWords(DecimalRegister* r, int w_lo, int w_hi) {
  int top = -1, bottom = -1;
  for (int w = w_hi; w >= w_lo; --w) {
    uint64_t v = LoadWord(r->digits + 8 * w);
    if (v == 0) continue;
    if (top < 0) top = 8 * w + (63 - std::countl_zero(v)) / 8;
    bottom = 8 * w + std::countr_zero(v) / 8;
  }
  if (top < 0) {
    r->sign = 0;
    r->low = r->high = kDecimalUnitsIndex;
    return;
  }
  r->low = static_cast<uint8_t>(bottom);
  r->high = static_cast<uint8_t>(top);
}

}  // namespace

void Normalize(DecimalRegister* r) { NormalizeWords(r, 0, kWords - 1); }

int CompareMagnitude(const DecimalRegister& a, const DecimalRegister& b) {
  // Above both highs every digit is 0.
  for (int w = std::max(a.high, b.high) / 8; w >= 0; --w) {
    uint64_t x = LoadWord(a.digits + 8 * w), y = LoadWord(b.digits + 8 * w);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

int Compare(const DecimalRegister& a, const DecimalRegister& b) {
  // A zero is never negative, so a negative value is below any other sign.
  if (a.sign != b.sign) return a.sign ? -1 : 1;
  int c = CompareMagnitude(a, b);
  return a.sign ? -c : c;
}

void AddSigned(DecimalRegister* a, const DecimalRegister& b, bool b_negative) {
  // Only the words that hold digits of either operand, and the digit above
  // the highest that a carry may reach, take part.
  int w_lo = std::min(a->low, b.low) / 8;
  int w_hi = std::min(kWords - 1, (std::max(a->high, b.high) + 1) / 8);
  if ((a->sign != 0) == b_negative) {
    AddDigits(a->digits, a->digits, b.digits, w_lo, w_hi);
  } else if (CompareMagnitude(*a, b) >= 0) {
    SubtractDigits(a->digits, a->digits, b.digits, w_lo, w_hi);
  } else {
    SubtractDigits(a->digits, b.digits, a->digits, w_lo, w_hi);
    a->sign = b_negative ? 1 : 0;
  }
  NormalizeWords(a, w_lo, w_hi);
}

void Multiply(DecimalRegister* a, const DecimalRegister& b) {
  uint32_t x[kWords], y[kWords];
  ToLimbs(*a, x);
  ToLimbs(b, y);
  // Limb k of the product stands for 10^(8k - 64): limbs 4..11 are the
  // register's digits, limbs 0..3 the places cut off, limbs 12..15 overflow.
  uint64_t acc[2 * kWords + 1] = {};
  int xl = 0, xh = TopLimb(x, kWords), yl = 0, yh = TopLimb(y, kWords);
  if (xh >= 0 && yh >= 0) {
    while (x[xl] == 0) ++xl;
    while (y[yl] == 0) ++yl;
    for (int i = xl; i <= xh; ++i) {
      for (int j = yl; j <= yh; ++j) acc[i + j] += uint64_t{x[i]} * y[j];
    }
    for (int k = xl + yl; k <= xh + yh && k < 2 * kWords; ++k) {
      acc[k + 1] += acc[k] / kLimbBase;
      acc[k] %= kLimbBase;
    }
  }
  uint32_t result[kWords];
  for (int w = 0; w < kWords; ++w) result[w] = static_cast<uint32_t>(acc[w + 4]);
  FromLimbs(a, result);
  a->sign = (a->sign != 0) != (b.sign != 0);
  Normalize(a);
}

void Divide(DecimalRegister* a, const DecimalRegister& b) {
  // a becomes floor(a * 10^32 / b), computed on the registers' integers.
  uint32_t u[kWords + 4 + 1] = {}, v[kWords];
  ToLimbs(*a, u + 4);
  ToLimbs(b, v);
  int vh = TopLimb(v, kWords);
  int uh = TopLimb(u, kWords + 4);
  uint8_t sign = (a->sign != 0) != (b.sign != 0);
  Clear(a);
  if (vh < 0 || uh < 0) return;  // zero divisor or zero dividend: 0
  // Dividing both by a common power of the base leaves the quotient alone.
  int k = 0;
  while (u[k] == 0 && v[k] == 0) ++k;
  const uint32_t* un = u + k;
  const uint32_t* vn = v + k;
  int n = vh - k + 1, len = uh - k + 1;
  uint32_t q[kWords + 5] = {};
  if (len < n) {
    return;  // quotient 0
  } else if (n == 1) {
    uint64_t rem = 0;
    const double inv = 1.0 / vn[0];
    for (int i = len - 1; i >= 0; --i) {
      q[i] = static_cast<uint32_t>(DivideSmall(rem * kLimbBase + un[i], vn[0], inv, &rem));
    }
  } else {
    LongDivide(un, len - n, vn, n, q);
  }
  FromLimbs(a, q);  // limbs above the register overflow and are dropped
  a->sign = sign;
  Normalize(a);
}

void RoundAt(DecimalRegister* r, int places) {
  int keep = kDecimalUnitsIndex - places;  // lowest kept index
  if (keep <= 0 || r->low >= keep) return;
  if (keep > kDecimalDigits) keep = kDecimalDigits;
  bool up = r->digits[keep - 1] >= 5;
  memset(r->digits, 0, static_cast<size_t>(keep));
  if (up) {
    for (int i = keep; i < kDecimalDigits && ++r->digits[i] == 10; ++i) r->digits[i] = 0;
  }
  Normalize(r);
}

namespace {}  // namespace

void ParseText(DecimalRegister* r, const char* s, size_t n) {
  Clear(r);
  size_t i = 0;
  while (i < n && s[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  size_t int_begin = i;
  while (i < n && IsAsciiDigit(s[i])) ++i;
  size_t int_end = i, frac_begin = i, frac_end = i;
  if (i < n && (s[i] == '.' || s[i] == ',')) {
    frac_begin = ++i;
    while (i < n && IsAsciiDigit(s[i])) ++i;
    frac_end = i;
  }
  int64_t exponent = 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E') && (int_end > int_begin || frac_end > frac_begin)) {
    size_t j = i + 1;
    bool exp_negative = false;
    if (j < n && (s[j] == '-' || s[j] == '+')) exp_negative = s[j++] == '-';
    // Any exponent beyond the register's width moves every digit out.
    while (j < n && IsAsciiDigit(s[j]))
      exponent = std::min<int64_t>(exponent * 10 + (s[j++] - '0'), 1000);
    if (exp_negative) exponent = -exponent;
  }
  // Digit at text position p lands at index units + (digits after it before
  // the point) + exponent; digits outside the register are dropped.
  for (size_t p = int_begin; p < int_end; ++p) {
    int64_t index = kDecimalUnitsIndex + static_cast<int64_t>(int_end - 1 - p) + exponent;
    if (index >= 0 && index < kDecimalDigits) r->digits[index] = static_cast<uint8_t>(s[p] - '0');
  }
  for (size_t p = frac_begin; p < frac_end; ++p) {
    int64_t index = kDecimalUnitsIndex - 1 - static_cast<int64_t>(p - frac_begin) + exponent;
    if (index < 0) break;
    if (index < kDecimalDigits) r->digits[index] = static_cast<uint8_t>(s[p] - '0');
  }
  r->sign = negative;
  Normalize(r);
}

}  // namespace kor::decimal

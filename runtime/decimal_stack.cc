// The process-wide decimal stack: pushing and popping values of the
// decimal storage forms, integers, texts and doubles, and the stack
// operations of expression evaluation.
#include "runtime/decimal_stack.h"

#include <string.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "runtime/decimal_stack_register.h"
#include "runtime/startup.h"

namespace kor {

namespace {

using decimal::Clear;
using decimal::IsZero;
using decimal::Normalize;

DecimalRegister g_stack[kDecimalStackSize];
uint8_t g_count = 0;

constexpr int32_t kStackFaultCode = 501;

// The next free register, cleared, or null after the overflow fault.
DecimalRegister* PushSlot() {
  if (g_count >= kDecimalStackSize) {
    RaiseRuntimeError(kStackFaultCode, "Decimal Stack Overflow");
    return nullptr;
  }
  DecimalRegister* r = &g_stack[g_count++];
  Clear(r);
  return r;
}

// True when at least n values are on the stack; else raises the fault.
bool Need(int n) {
  if (g_count >= n) return true;
  RaiseRuntimeError(kStackFaultCode, "Decimal Stack Underflow");
  return false;
}

DecimalRegister* Top() { return &g_stack[g_count - 1]; }

// Stored nibble k (0 = high nibble of byte 0) of a packed field.
inline uint8_t Nibble(const uint8_t* p, uint32_t k) {
  uint8_t b = p[k >> 1];
  return (k & 1) ? (b & 0x0F) : static_cast<uint8_t>(b >> 4);
}

// Unpacks `count` digit nibbles starting at nibble `first`, the first one
// into index `high` and each next one index lower. Non-decimal nibbles read
// as 0; digits outside the register are dropped.
void Unpack(DecimalRegister* r, const uint8_t* p, uint32_t first, uint32_t count, int high) {
  for (uint32_t k = 0; k < count; ++k) {
    int index = high - static_cast<int>(k);
    if (index < 0) break;
    if (index >= kDecimalDigits) continue;
    uint8_t d = Nibble(p, first + k);
    r->digits[index] = d <= 9 ? d : 0;
  }
}

// Sets low and high as the declaration gives them (clamped to the register)
// and clears the sign of zero.
void SetDeclaredRange(DecimalRegister* r, uint32_t size, uint32_t places) {
  if (size == 0 || IsZero(*r)) {
    Normalize(r);
    return;
  }
  int low = kDecimalUnitsIndex - static_cast<int>(places);
  int high = low + 2 * static_cast<int>(size) - 2;
  Normalize(r);  // tight range, always inside the declared one
  if (low >= 0 && low < r->low) r->low = static_cast<uint8_t>(low);
  if (high < kDecimalDigits && high > r->high) r->high = static_cast<uint8_t>(high);
}

// Index of the highest digit of a field of `size` bytes, or below 0 for an
// empty field. Places beyond the register are treated as the register's 32.
int FieldHigh(uint32_t size, uint32_t places) {
  if (size == 0 || size > 64 || places > 64) return -1;
  return kDecimalUnitsIndex - static_cast<int>(places) + 2 * static_cast<int>(size) - 2;
}

// Digit at `index` of the register, 0 outside it.
inline uint8_t DigitAt(const DecimalRegister& r, int index) {
  return index >= 0 && index < kDecimalDigits ? r.digits[index] : 0;
}

// Pops the top into `r`, rounded to `places`; false (and r zero) when empty.
bool PopRounded(DecimalRegister* r, uint32_t places) {
  if (!Need(1)) {
    Clear(r);
    return false;
  }
  *r = g_stack[--g_count];
  decimal::RoundAt(r, places > 32 ? 32 : static_cast<int>(places));
  return true;
}

void PushMagnitude(uint64_t magnitude, bool negative) {
  DecimalRegister* r = PushSlot();
  if (r == nullptr) return;
  for (int i = kDecimalUnitsIndex; magnitude != 0; ++i) {
    r->digits[i] = static_cast<uint8_t>(magnitude % 10);
    magnitude /= 10;
  }
  r->sign = negative;
  Normalize(r);
}

}  // namespace

void InitDecimalStack(int32_t) { g_count = 0; }

void PushDecimal(const void* address, uint32_t size, uint32_t places) {
  DecimalRegister* r = PushSlot();
  if (r == nullptr || size == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(address);
  Unpack(r, p, 1, 2 * size - 1, FieldHigh(size, places));
  r->sign = (p[0] >> 4) != 0;
  SetDeclaredRange(r, size, places);
}

void PushPDecimal(const void* address, uint32_t size, uint32_t places) {
  DecimalRegister* r = PushSlot();
  if (r == nullptr || size == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(address);
  Unpack(r, p, 0, 2 * size - 1, FieldHigh(size, places));
  r->sign = (p[size - 1] & 0x0F) == 0x0D;
  SetDeclaredRange(r, size, places);
}

void PushLongDecimal(int32_t value) {
  int64_t v = value;
  PushMagnitude(static_cast<uint64_t>(v < 0 ? -v : v), v < 0);
}

void PushULongDecimal(uint32_t value) { PushMagnitude(value, false); }

void PushTextDecimal(const char* text) {
  PushTextDecimal(text, text == nullptr ? 0 : strlen(text));
}

void PushTextDecimal(const char* text, size_t length) {
  DecimalRegister* r = PushSlot();
  if (r == nullptr || text == nullptr) return;
  decimal::ParseText(r, text, length);
}

void PushRealDecimal(double value) {
  if (!std::isfinite(value)) value = 0;
  // The shortest text that reads back as the same double, never in
  // exponent form; the longest (the smallest subnormal) is about 330 bytes.
  char text[400];
  std::to_chars_result res = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  size_t length = res.ec == std::errc() ? static_cast<size_t>(res.ptr - text) : 0;
  PushTextDecimal(text, length);
}

void PopDecimal(void* address, uint32_t size, uint32_t places) {
  DecimalRegister r;
  PopRounded(&r, places);
  if (size == 0) return;
  uint8_t* p = static_cast<uint8_t*>(address);
  int high = FieldHigh(size, places);
  // Nibble 0 is the sign; nibbles 1..2L-1 the digits from index `high` down.
  uint8_t any = DigitAt(r, high);
  for (uint32_t b = 1; b < size; ++b) {
    int index = high - 1 - 2 * static_cast<int>(b - 1);
    p[b] = static_cast<uint8_t>(DigitAt(r, index) << 4 | DigitAt(r, index - 1));
    any |= p[b];
  }
  // What the field keeps decides the sign: no negative zero is stored.
  bool negative = r.sign != 0 && any != 0;
  p[0] = static_cast<uint8_t>((negative ? 0xF0 : 0x00) | DigitAt(r, high));
}

void PopPDecimal(void* address, uint32_t size, uint32_t places) {
  DecimalRegister r;
  PopRounded(&r, places);
  if (size == 0) return;
  uint8_t* p = static_cast<uint8_t*>(address);
  int high = FieldHigh(size, places);
  // Nibbles 0..2L-2 are the digits from index `high` down; the last is the sign.
  uint8_t any = 0;
  for (uint32_t b = 0; b + 1 < size; ++b) {
    int index = high - 2 * static_cast<int>(b);
    p[b] = static_cast<uint8_t>(DigitAt(r, index) << 4 | DigitAt(r, index - 1));
    any |= p[b];
  }
  uint8_t last = DigitAt(r, high - 2 * static_cast<int>(size - 1));
  bool negative = r.sign != 0 && (any | last) != 0;
  p[size - 1] = static_cast<uint8_t>(last << 4 | (negative ? 0x0D : 0x0F));
}

int32_t PopDecimalAsLong() {
  if (!Need(1)) return 0;
  const DecimalRegister& r = g_stack[--g_count];
  uint32_t value = 0;  // wraps modulo 2^32 by design
  for (int i = r.high; i >= kDecimalUnitsIndex; --i) value = value * 10 + r.digits[i];
  if (r.sign) value = 0u - value;
  return static_cast<int32_t>(value);
}

double PopDecimalAsReal() {
  if (!Need(1)) return 0;
  std::string text = DecimalToText(-1);
  --g_count;
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

int PopDecimalAsBoolean() {
  if (!Need(1)) return 0;
  return IsZero(g_stack[--g_count]) ? 0 : 1;
}

void DropDecimal() {
  if (Need(1)) --g_count;
}

void DecimalAdd() {
  if (!Need(2)) return;
  const DecimalRegister& top = g_stack[--g_count];
  decimal::AddSigned(Top(), top, top.sign != 0);
}

void DecimalSubtract() {
  if (!Need(2)) return;
  const DecimalRegister& top = g_stack[--g_count];
  decimal::AddSigned(Top(), top, top.sign == 0);
}

void DecimalSubtractReversed() {
  if (!Need(2)) return;
  const DecimalRegister& top = g_stack[--g_count];
  DecimalRegister* second = Top();
  second->sign = second->sign ? 0 : 1;  // top - second = -second + top
  decimal::AddSigned(second, top, top.sign != 0);
}

void DecimalMultiply() {
  if (!Need(2)) return;
  const DecimalRegister& top = g_stack[--g_count];
  decimal::Multiply(Top(), top);
}

void DecimalDivide() {
  if (!Need(2)) return;
  const DecimalRegister& top = g_stack[--g_count];
  decimal::Divide(Top(), top);
}

void DecimalNegate() {
  if (!Need(1)) return;
  DecimalRegister* r = Top();
  r->sign = IsZero(*r) ? 0 : !r->sign;
}

void DecimalAbsolute() {
  if (Need(1)) Top()->sign = 0;
}

int DecimalSign() {
  if (!Need(1)) return 0;
  const DecimalRegister& r = *Top();
  if (IsZero(r)) return 0;
  return r.sign ? -1 : 1;
}

int DecimalCompare() {
  if (!Need(2)) return 0;
  g_count -= 2;
  return decimal::Compare(g_stack[g_count], g_stack[g_count + 1]);
}

int DecimalDepth() { return g_count; }

const DecimalRegister* DecimalTop() { return g_count == 0 ? nullptr : Top(); }

std::string DecimalToText(int places) {
  if (g_count == 0) return "0";
  DecimalRegister r = *Top();
  if (places >= 0) decimal::RoundAt(&r, places > 32 ? 32 : places);
  int lowest;  // lowest index shown
  if (places >= 0) {
    lowest = kDecimalUnitsIndex - places;
  } else {
    lowest = IsZero(r) || r.low > kDecimalUnitsIndex ? kDecimalUnitsIndex : r.low;
  }
  int highest = kDecimalUnitsIndex;
  for (int i = r.high; i > kDecimalUnitsIndex; --i) {
    if (r.digits[i] != 0) {
      highest = i;
      break;
    }
  }
  std::string text;
  text.reserve(static_cast<size_t>(highest - lowest + 3));
  if (r.sign && !IsZero(r)) text += '-';
  for (int i = highest; i >= lowest; --i) {
    if (i == kDecimalUnitsIndex - 1) text += '.';
    text += static_cast<char>('0' + DigitAt(r, i));
  }
  return text;
}

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// For a number text that parsed out of range: true when its magnitude is
// above 1 (an overflow), false when it is tiny (an underflow).
bool IsLargeMagnitude(const char* s, const char* end) {
  int64_t magnitude = 0;  // power of ten of the first significant digit, + 1
  bool seen = false;
  while (s < end && IsDigit(*s)) {
    if (*s != '0') seen = true;
    if (seen) magnitude = std::min<int64_t>(magnitude + 1, 100000);
    ++s;
  }
  if (s < end && *s == '.') {
    for (++s; s < end && IsDigit(*s); ++s) {
      if (seen) continue;
      if (*s != '0') seen = true;
      else magnitude = std::max<int64_t>(magnitude - 1, -100000);
    }
  }
  int64_t exponent = 0;
  if (s < end && (*s == 'e' || *s == 'E')) {
    ++s;
    bool negative = s < end && *s == '-';
    if (s < end && (*s == '-' || *s == '+')) ++s;
    for (; s < end && IsDigit(*s); ++s) exponent = std::min<int64_t>(exponent * 10 + (*s - '0'), 1000000);
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

}  // namespace

double TextToReal(const char* text, size_t length, size_t* consumed) {
  if (consumed != nullptr) *consumed = 0;
  if (text == nullptr) return 0;
  const char* end = text + length;
  const char* s = text;
  while (s < end && *s == ' ') ++s;
  bool negative = false;
  if (s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
  // Only digit forms are numbers here: no "inf", "nan" or hexadecimal text.
  bool starts = s < end && (IsDigit(*s) || (*s == '.' && s + 1 < end && IsDigit(s[1])));
  if (!starts) return 0;
  double value = 0;
  std::from_chars_result res = std::from_chars(s, end, value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    value = IsLargeMagnitude(s, res.ptr) ? HUGE_VAL : 0.0;
  } else if (res.ec != std::errc()) {
    return 0;
  }
  if (consumed != nullptr) *consumed = static_cast<size_t>(res.ptr - text);
  return negative ? -value : value;
}

}  // namespace kor

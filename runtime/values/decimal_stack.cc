// The process-wide decimal stack: pushing and popping values of the
// decimal storage forms, integers, texts and doubles, and the stack
// operations of expression evaluation.
#include "runtime/values/decimal_stack.h"

#include <string.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/os/ascii.h"
#include "runtime/values/decimal_stack_register.h"

namespace kor {

namespace {

using decimal::Clear;
using decimal::IsZero;
using decimal::Normalize;

DecimalRegister g_stack[kDecimalStackSize];
uint8_t g_count = 0;

// The next free register, cleared, or null after the overflow fault.
DecimalRegister* PushSlot() {
  if (g_count >= kDecimalStackSize) {
    RaiseRuntimeError(kErrInternal01, "Decimal Stack Overflow");
    return nullptr;
  }
  DecimalRegister* r = &g_stack[g_count++];
  Clear(r);
  return r;
}

// True when at least n values are on the stack; else raises the fault.
bool Need(int n) {
  if (g_count >= n) return true;
  RaiseRuntimeError(kErrInternal01, "Decimal Stack Underflow");
  return false;
}

DecimalRegister* Top() { return &g_stack[g_count - 1]; }

// Digit at `index` of the register, 0 outside it.
inline uint8_t DigitAt(const DecimalRegister& r, int index) {
  return index >= 0 && index < kDecimalDigits ? r.digits[index] : 0;
}

// Pops the top; a zero register when the stack is empty (after the fault).
DecimalRegister* PopRegister() {
  static DecimalRegister empty;
  if (!Need(1)) {
    Clear(&empty);
    return &empty;
  }
  return &g_stack[--g_count];
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
  if (r != nullptr)
    decimal::LoadPacked(r, static_cast<const uint8_t*>(address), size, places, false);
}

void PushPDecimal(const void* address, uint32_t size, uint32_t places) {
  DecimalRegister* r = PushSlot();
  if (r != nullptr)
    decimal::LoadPacked(r, static_cast<const uint8_t*>(address), size, places, true);
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
  std::to_chars_result res =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  size_t length = res.ec == std::errc() ? static_cast<size_t>(res.ptr - text) : 0;
  PushTextDecimal(text, length);
}

void PopDecimal(void* address, uint32_t size, uint32_t places) {
  decimal::StorePacked(PopRegister(), static_cast<uint8_t*>(address), size, places, false);
}

void PopPDecimal(void* address, uint32_t size, uint32_t places) {
  decimal::StorePacked(PopRegister(), static_cast<uint8_t*>(address), size, places, true);
}

int32_t PopDecimalAsLong() {
  if (!Need(1)) return 0;
  const DecimalRegister& r = g_stack[--g_count];
  uint32_t value = 0;  // wraps modulo 2^32 by design
  for (int i = r.high; i >= kDecimalUnitsIndex; --i) value = value * 10 + r.digits[i];
  if (r.sign) value = 0u - value;
  return static_cast<int32_t>(value);
}

uint32_t PopDecimalAsULong() {
  if (!Need(1)) return 0;
  DecimalRegister& r = g_stack[g_count - 1];
  decimal::RoundAt(&r, 0);
  return static_cast<uint32_t>(PopDecimalAsLong());
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
    lowest = r.low;  // a bound: skip the zeros above it
    while (lowest < kDecimalUnitsIndex && r.digits[lowest] == 0) ++lowest;
    if (lowest > kDecimalUnitsIndex) lowest = kDecimalUnitsIndex;
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

// For a number text that parsed out of range: true when its magnitude is
// above 1 (an overflow), false when it is tiny (an underflow).
bool IsLargeMagnitude(const char* s, const char* end) {
  int64_t magnitude = 0;  // power of ten of the first significant digit, + 1
  bool seen = false;
  while (s < end && IsAsciiDigit(*s)) {
    if (*s != '0') seen = true;
    if (seen) magnitude = std::min<int64_t>(magnitude + 1, 100000);
    ++s;
  }
  if (s < end && *s == '.') {
    for (++s; s < end && IsAsciiDigit(*s); ++s) {
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
    for (; s < end && IsAsciiDigit(*s); ++s)
      exponent = std::min<int64_t>(exponent * 10 + (*s - '0'), 1000000);
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
  bool starts = s < end && (IsAsciiDigit(*s) || (*s == '.' && s + 1 < end && IsAsciiDigit(s[1])));
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

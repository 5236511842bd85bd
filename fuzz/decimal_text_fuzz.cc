// Fuzzes the decimal text reader and the REAL text conversion: register
// invariants, the text round trip, and agreement with the C library reader.
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

void FuzzDecimal(const char* text, size_t size) {
  kor::PushTextDecimal(text, size);
  const kor::DecimalRegister first = *kor::DecimalTop();
  CheckRegister(first);
  // The shown text reads back as the same register.
  std::string shown = kor::DecimalToText(-1);
  kor::PushTextDecimal(shown.c_str());
  const kor::DecimalRegister* again = kor::DecimalTop();
  Check(memcmp(first.digits, again->digits, sizeof first.digits) == 0 && first.sign == again->sign,
        "text round trip");
  Check(kor::DecimalCompare() == 0, "equal after the round trip");
  // Storing and loading a wide field keeps the value rounded to its places.
  kor::PushTextDecimal(text, size);
  uint8_t field[16];
  kor::PopDecimal(field, sizeof field, 10);
  kor::PushDecimal(field, sizeof field, 10);
  CheckRegister(*kor::DecimalTop());
  kor::DropDecimal();
  Check(kor::DecimalDepth() == 0, "stack balanced");
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
  FuzzDecimal(text, size);
  FuzzReal(text, size);
  return 0;
}

// Exact decimal digits of a number, as FORMAT and DEFORMAT handle numbers:
// binary values come in through their shortest round-trip digits, so 1.005
// is the five digits 1, 0, 0, 5 and rounds half up to 1.01.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

// value = 0.d[0] d[1] ... d[count-1] × 10^point, sign apart. count == 0 is
// zero. No leading zero digit is stored (d[0] != 0 when count > 0).
struct Digits {
  static constexpr int kMax = 400;  // digits beyond are dropped (not rounded)
  bool negative = false;
  bool finite = true;  // false for an infinity or NaN
  int count = 0;
  int point = 0;
  uint8_t d[kMax];

  bool IsZero() const { return count == 0; }
  // Digit of the place 10^power (0 = units, -1 = tenths).
  int At(int power) const {
    int index = point - 1 - power;
    return (index >= 0 && index < count) ? d[index] : 0;
  }
  // Number of integer digits (0 for a value below 1).
  int IntegerDigits() const { return count == 0 ? 0 : (point > 0 ? point : 0); }
};

void DigitsFromLong(int64_t value, Digits* out);
void DigitsFromReal(double value, Digits* out);
// Reads "[blanks][-|+]digits[.|,digits][e[-|+]digits]"; false when anything
// else (but trailing blanks) follows or no digit is present. `point` is the
// decimal point character ('.' or ','); with 0 either is taken.
bool DigitsFromText(std::string_view text, char point, Digits* out);

// Rounds half up (away from zero on the magnitude) to `places` decimals.
void RoundDigits(Digits* v, int places);
// Drops trailing zero digits and normalises zero (no sign).
void TrimDigits(Digits* v);
// Plain decimal text ("-1234.5", "0.001", "0"); scientific ("1.5e+300") when
// it would need more than 60 digits.
std::string DigitsToText(const Digits& v);
// The whole-number value, saturated to the int64 range.
int64_t DigitsToLong(const Digits& v);

}  // namespace kor

// Arithmetic on single decimal registers, used by the decimal stack; the
// register layout and its invariants are described in decimal_stack.h.
//
// Digits are handled eight at a time: eight digit bytes loaded as one
// little-endian 64-bit word hold digits 8w..8w+7 with the most significant
// digit in the top byte, so words compare like the numbers they hold. Add and
// subtract work on such words directly; multiply and divide convert each word
// to one limb of base 10^8 and back.
#pragma once

#include <cstdint>

#include "runtime/values/decimal_stack.h"

namespace kor::decimal {

inline constexpr int kWords = kDecimalDigits / 8;
inline constexpr uint32_t kLimbBase = 100000000;  // 10^8: one limb per word

// Zero: all digits 0, positive, low = high = units.
void Clear(DecimalRegister* r);
bool IsZero(const DecimalRegister& r);
// Sets low and high to the lowest and highest non-zero digits (the units
// index for zero) and clears the sign of a zero value.
void Normalize(DecimalRegister* r);
// -1, 0 or 1 comparing |a| with |b|.
int CompareMagnitude(const DecimalRegister& a, const DecimalRegister& b);
// -1, 0 or 1 comparing the signed values.
int Compare(const DecimalRegister& a, const DecimalRegister& b);
// a = a + b when b_negative is b's sign, a - b when it is the opposite.
void AddSigned(DecimalRegister* a, const DecimalRegister& b, bool b_negative);
// a = a * b, places beyond the 32nd cut off.
void Multiply(DecimalRegister* a, const DecimalRegister& b);
// a = a / b to 32 places, the rest cut off; a zero b gives 0.
void Divide(DecimalRegister* a, const DecimalRegister& b);
// Rounds half up at `places` decimal places (0..32) and clears the digits
// below.
void RoundAt(DecimalRegister* r, int places);
// Loads a packed field of `size` bytes with `places` places: DECIMAL with
// the sign in the first nibble, or PDECIMAL (sign_last) with 0xD in the last
// nibble for negative. Sets low and high to the declared range (clamped).
void LoadPacked(DecimalRegister* r, const uint8_t* p, uint32_t size, uint32_t places,
                bool sign_last);
// Rounds r half up to `places` (r is changed) and stores it as a packed field.
void StorePacked(DecimalRegister* r, uint8_t* p, uint32_t size, uint32_t places, bool sign_last);
// Reads text as described for PushTextDecimal.
void ParseText(DecimalRegister* r, const char* text, size_t length);

// Word and limb conversions (exposed for the tests).
uint32_t WordToLimb(uint64_t word);
uint64_t LimbToWord(uint32_t limb);

}  // namespace kor::decimal

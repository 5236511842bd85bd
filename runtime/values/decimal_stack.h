// The decimal stack: ten wide decimal registers on which DECIMAL, PDECIMAL
// and ULONG arithmetic is done exactly, with loading and storing of the
// packed decimal storage forms and text conversions.
//
// Register layout (67 bytes, one register per stack entry):
//
//   OFFSET SIZE DESCRIPTION
//        0   64 digits, one decimal digit (0..9) per byte: index 32 is the
//               units digit, 33..63 the higher integer digits, 31 down to 0
//               the first to the 32nd decimal place
//       64    1 sign: 1 = negative, 0 = positive
//       65    1 low: index of the lowest digit in use
//       66    1 high: index of the highest digit in use
//
// Invariant kept by every operation here: digits outside [low, high] are 0,
// so a register is also a plain 64-digit fixed-point number; a zero value
// is never negative.
//
// Rounding and overflow rules:
//   - Storing (PopDecimal, PopPDecimal, DecimalToText) rounds half up at the
//     requested places (a first dropped digit of 5 or more adds 1 to the last
//     kept place, on the magnitude); integer digits that do not fit the
//     destination are dropped without error.
//   - Add, subtract and compare are exact. A carry out of the 32nd integer
//     digit is dropped.
//   - Multiply is exact up to 32 decimal places; the places of a longer
//     product beyond the 32nd are cut off (truncated toward zero). Product
//     digits above the 32nd integer digit are dropped.
//   - Divide computes the quotient digit by digit to 32 decimal places and
//     cuts off the rest (truncation toward zero). Cutting rather than
//     rounding at the 32nd place means that storing the result into any
//     field with up to 31 places rounds the exact quotient (no double
//     rounding). Dividing by zero leaves 0 on the stack and posts nothing.
//   - Text is read by truncation: digits beyond the 32nd place are ignored.
//
// Stack faults: an eleventh push, or an operation that needs more values than
// the stack holds, raises runtime error 501 ("Decimal Stack Overflow" /
// "Decimal Stack Underflow"); if the runtime error returns, the push is
// ignored and the operation yields 0.
//
// The stack is process-wide and unlocked (used only by the thread running the
// application's code).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kor {

struct DecimalRegister {
  uint8_t digits[64];
  uint8_t sign;
  uint8_t low;
  uint8_t high;
};
static_assert(sizeof(DecimalRegister) == 64 + 1 + 1 + 1, "register is 67 bytes");

inline constexpr int kDecimalStackSize = 10;
inline constexpr int kDecimalDigits = 64;
inline constexpr int kDecimalUnitsIndex = 32;  // index of the units digit
inline constexpr int kDecimalMaxPlaces = 32;

// Initialisation and close-down procedure: empties the stack.
void InitDecimalStack(int32_t arg);

// ---- pushing ----

// A DECIMAL variable of `size` bytes (2*size-1 digits) with `places` places.
// Sign: any non-zero high nibble of the first byte means negative. Nibbles
// above 9 in stored bytes read as 0.
void PushDecimal(const void* address, uint32_t size, uint32_t places);
// A PDECIMAL variable: sign in the low nibble of the last byte, 0xD negative.
void PushPDecimal(const void* address, uint32_t size, uint32_t places);
void PushLongDecimal(int32_t value);
void PushULongDecimal(uint32_t value);
// Parses text: leading blanks, "-" (or "+"), digits with "." or "," as the
// decimal point, an optional exponent "e"/"E" with optional sign. Any other
// character ends the number; text without digits gives 0.
void PushTextDecimal(const char* text);
// The same for a counted text (may contain any byte; no terminator needed).
void PushTextDecimal(const char* text, size_t length);
// A REAL, as its shortest round-trip decimal text (0.1 gives exactly 0.1).
// Not-a-number and infinities push 0; integer digits beyond 32 are dropped.
void PushRealDecimal(double value);

// ---- popping ----

// Rounds to `places` and stores as DECIMAL(2*size-1, places) (sign 0xF when
// negative, 0 when not).
void PopDecimal(void* address, uint32_t size, uint32_t places);
// Rounds to `places` and stores as PDECIMAL (sign 0xD negative, 0xF positive).
void PopPDecimal(void* address, uint32_t size, uint32_t places);
// The integer part with the sign applied; places are dropped; values beyond
// 32 bits wrap.
int32_t PopDecimalAsLong();
// A ULONG, a decimal type without places: rounded half up to a whole number
// as PopDecimal rounds (3.7 gives 4, -1.5 gives -2), then wrapped modulo
// 2^32 with the sign applied.
uint32_t PopDecimalAsULong();
// The nearest double to the exact value (correctly rounded).
double PopDecimalAsReal();
// 0 when the value is zero, else 1.
int PopDecimalAsBoolean();
// Discards the top value.
void DropDecimal();

// ---- arithmetic on the top two values (second op top), leaving one ----

void DecimalAdd();
void DecimalSubtract();          // second - top
void DecimalSubtractReversed();  // top - second
void DecimalMultiply();
void DecimalDivide();  // second / top; see the rules above
void DecimalNegate();
void DecimalAbsolute();
// 1, 0 or -1 for the top, which stays on the stack.
int DecimalSign();
// Compares second with top, pops both: -1, 0 or 1.
int DecimalCompare();

// ---- inspection ----

// Number of values on the stack (0..10).
int DecimalDepth();
// The top register, or null when the stack is empty.
const DecimalRegister* DecimalTop();
// The top value as text, without popping: an optional "-", the integer digits
// (at least "0"), and for places > 0 a "." and exactly `places` places,
// rounded half up. places < 0 shows every significant place (no trailing
// zeros, no "." for an integer). A value that rounds to zero has no "-".
// Empty stack: "0".
std::string DecimalToText(int places);

// ---- text to REAL ----

// The standard decimal text-to-number conversion for REAL values: leading
// blanks, an optional sign, digits with "." as the decimal point and an
// optional exponent; the result is correctly rounded. Text that does not
// start a number gives 0; a magnitude beyond the double range gives
// +/-infinity, one below it 0. `consumed`, when not null, receives the
// number of characters read (0 when there was no number).
double TextToReal(const char* text, size_t length, size_t* consumed = nullptr);

}  // namespace kor

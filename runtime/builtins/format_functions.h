// FORMAT, DEFORMAT and AGE on the string stack, the forms generated code
// calls (runtime/pictures/format.h has the rules).
#pragma once

#include <cstdint>

namespace kor {

// FORMAT(value, picture): pops the picture (top) and the value held as text
// (the entry below it) and pushes the formatted text.
void FORMAT();
// FORMAT of an integer (LONG, DATE, TIME) or a REAL: pops the picture, pushes
// the formatted text.
void FormatLongOnStack(int32_t value);
void FormatRealOnStack(double value);
// DEFORMAT(text, picture): pops the picture (top) and the text below it and
// pushes the value read; text that cannot be read is pushed back unchanged.
void DEFORMAT();
// AGE(birth, base): pushes AgeText (runtime/pictures/dates.h).
void AGE(int32_t birth, int32_t base);

}  // namespace kor

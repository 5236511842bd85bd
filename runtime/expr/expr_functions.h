// The built-in functions of run-time expressions.
//
// Arguments are converted to the class each function needs (see
// expr_eval.h). Behaviour beyond the function table's name and counts:
// - INT(x): cut toward zero. ABS, SQRT, LOGE, LOG10, SIN, COS, TAN, ASIN,
//   ACOS, ATAN: reals, angles in radians; a result that is not a finite
//   number (SQRT(-1), LOG10(0)) is 0.
// - ROUND(x, order): x rounded to the nearest multiple of order, halves away
//   from zero, judged on the value's first 15 significant digits so that
//   ROUND(1.005, 0.01) is 1.01. An order of 0 leaves x unchanged.
// - RANDOM(low, high): a whole number from low to high inclusive (the bounds
//   are swapped when low > high), from one process-wide generator.
// - BAND, BOR, BXOR: bitwise on 32 bits. BSHIFT(v, n): shifted left by n for
//   positive n, right (logically, zeros come in) by -n for negative n; shifts
//   of 32 or more give 0.
// - INRANGE(v, low, high): 1 when low <= v <= high, compared as "<=" does.
// - INLIST(v, a, b, ...): the position (from 1) of the first value equal to
//   v as "=" compares, else 0. CHOOSE(n, a, b, ...): the n-th value as a
//   string; n outside 1 to the number of values gives the last value. With
//   a logical selector (a comparison, NOT, AND, OR or XOR) and exactly two
//   values, CHOOSE gives the first when the selector is true, else the
//   second. Both take at most 25 arguments in all.
// - MEMORY(n): the bytes held free by the runtime's heap (n is evaluated and
//   ignored), at most 2147483647.
// - String functions work as the string stack's functions do: SUB(s, start,
//   length) from 1, a negative start counting from the end; INSTRING(sub, s,
//   step, start) the position or 0; ALL(s, n); CHR(n); VAL(s) the code of the
//   first character; NUMERIC(s) 1 for a number; LEN(s); CLIP, UPPER, LOWER;
//   LEFT, RIGHT and CENTER with widths (at most 65535 characters are made; a
//   missing or negative width is the text's own length).
// - Dates and times: TODAY, CLOCK, DATE (DateFromParts), DAY, MONTH, YEAR and
//   AGE are the date module's own (runtime/pictures/dates.h); AGE with one
//   argument is against today.
// - FORMAT(v, picture) and DEFORMAT(text, picture) are the picture module's
//   (runtime/pictures/format.h); the picture is any string, usually a
//   picture constant, and an invalid one gives the empty string. FORMAT takes v by its class: an
//   integer (also a day count or a time) as a whole number, a real as a
//   REAL, except that a DECIMAL, PDECIMAL or ULONG variable is formatted
//   from its exact digits, and a string as text (a number held as text for
//   numeric, date and time pictures). DEFORMAT gives the value read as text
//   (a decimal number, a day count, a time, or the text itself for string
//   pictures), or the text unchanged when it cannot be read.
// - GETINI(section, entry, default, file) as the environment does.
#pragma once

#include <cstdint>

#include "runtime/expr/expr_eval.h"

namespace kor {

int32_t CallLongFunction(const ExprEvaluator& ev, const ExprNode& call);
double CallRealFunction(const ExprEvaluator& ev, const ExprNode& call);
// Pushes the result on the string stack.
void CallStringFunction(const ExprEvaluator& ev, const ExprNode& call);

// ROUND(x, order).
double RoundToOrder(double x, double order);

// Restarts RANDOM's generator from a seed (tests; start-up seeds it from the
// clock).
void SeedRandom(uint64_t seed);

// Initialisation entry: 0 seeds RANDOM's generator.
void InitExpressionFunctions(int32_t arg);

}  // namespace kor

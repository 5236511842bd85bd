// The runtime services that expression evaluation uses, gathered in one place:
// name letters, the fast path to bound variables' storage, and the text and
// number conversions between the evaluation classes.
//
// Bound variables are the runtime's own value references
// (runtime/values/value_ref.h), made by MakeValueRef; the evaluator reads and
// writes them through their operations. The date and picture functions are the runtime's own
// (runtime/pictures/dates.h, runtime/pictures/format.h).
#pragma once

#include <cstdint>
#include <string>

namespace kor {

class ValueRef;

// ---- names ----

// Letters may start and continue names: A-Z, a-z and what the case tables
// call upper or lower case.
bool IsLetterChar(unsigned char c);

// ---- bound variables ----

// The storage of a LONG (type 6) or REAL (type 9) reference, which the
// evaluator reads directly (4-byte int32 / 8-byte double, in the processor's
// own order); null for every other type and for a released reference.
void* RefFastAddress(ValueRef& ref);
// Pushes the variable's value as the evaluator shows it: reals as RealToText,
// everything else as the reference's own text (PushAsString).
void RefPushString(ValueRef& ref);

// ---- conversions ----

// The top of the string stack as a REAL through the stack's own conversion,
// popped; a result that is not a finite number is 0.
double PopStringAsRealValue();
// REAL to LONG, cut toward zero; values beyond 32 bits saturate, NaN is 0.
int32_t RealToLong(double value);
// The text of a REAL: at most 15 significant digits, no trailing zeros; a
// value that is not finite shows as 0, as every such result is 0.
std::string RealToText(double value);

// ---- the runtime's state, as the function table reads it ----

// Seed material for RANDOM from the clock.
uint64_t ExprSeedFromClock();
// Bytes held free by the runtime's heap, at most 2147483647.
int32_t ExprHeapFreeBytes();

}  // namespace kor

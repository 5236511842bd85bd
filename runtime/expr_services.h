// The runtime services that expression evaluation uses, gathered in one place:
// value references of bound variables, name folding and the text and number
// conversions between the evaluation classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

class ValueRef;
class ExprEvaluator;

// ---- names ----

// Letters may start and continue names: A-Z, a-z and what the case tables
// call upper or lower case.
bool IsLetterChar(unsigned char c);

// ---- value references of bound variables ----

// A reference to a scalar variable of the given type code and size in bytes,
// for BIND; the caller owns it until it hands it to the bind table.
ValueRef* MakeVariableRef(void* address, int type_code, int32_t size);
int RefTypeCode(const ValueRef* ref);
// A new reference to the same variable, owned by the caller.
ValueRef* CloneRef(const ValueRef* ref);
// Releases a reference made by the caller (BIND's or a clone).
void DestroyRef(ValueRef* ref);
// The variable's storage when it is a LONG (type 6) or a REAL (type 9), which
// the evaluator reads directly; null otherwise.
void* RefFastAddress(const ValueRef* ref);
int32_t RefAsLong(const ValueRef* ref);
double RefAsReal(const ValueRef* ref);
// Pushes the variable's value as a string on the string stack.
void RefPushString(const ValueRef* ref);
void RefAssignLong(ValueRef* ref, int32_t value);
void RefAssignReal(ValueRef* ref, double value);
// Pops the top of the string stack into the variable.
void RefAssignFromStringStack(ValueRef* ref);

// ---- conversions ----


// The top of the string stack as a REAL through the stack's own conversion,
// popped; a result that is not a finite number is 0.
double PopStringAsRealValue();
// REAL to LONG, cut toward zero; values beyond 32 bits saturate, NaN is 0.
int32_t RealToLong(double value);
// The text of a REAL: at most 15 significant digits, no trailing zeros.
std::string RealToText(double value);

// ---- other modules' functions, as the function table calls them ----

// Seed material for RANDOM from the clock.
uint64_t ExprSeedFromClock();
// Bytes held free by the runtime's heap, at most 2147483647.
int32_t ExprHeapFreeBytes();
int32_t ExprToday();
int32_t ExprClock();
// DATE(m, d, y): a day count, or -1 for an invalid date.
int32_t ExprDate(int32_t month, int32_t day, int32_t year);
// DAY, MONTH, YEAR of a day count ('d', 'm', 'y'); 0 for an invalid one.
int32_t ExprDatePart(int32_t date, char part);
// Each pushes its result on the string stack.
void ExprAge(int32_t birth, int32_t base);
void ExprFormat(const ExprEvaluator& ev, int32_t value_node, const std::string& picture);
void ExprDeformat(const std::string& text, const std::string& picture);

}  // namespace kor

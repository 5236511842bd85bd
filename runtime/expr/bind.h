// The bind tables of run-time expressions: names bound to program variables,
// the built-in functions and keywords, and the nested scopes that hold them.
//
// Each table is an unbalanced binary search tree whose root is the fixed
// entry "MMMMMMM", so that names fall to both sides. Names compare without
// regard to case through the collating sequence and its digraphs. A table is
// created, filled with the four keywords and the 44 functions, on its first
// use; binding a name that exists replaces the entry's contents in place.
//
// Scopes: PUSHSCOPE saves the current table in a scope record and starts a
// new, empty one. Lookup searches the current table, then walks the records
// outward: an opaque record ends the search, a transparent one continues with
// the table it saved. POPSCOPE frees the current table with its entries.
//
// The tables and the scope stack are process-wide and unlocked.
#pragma once

#include <cstdint>
#include <string_view>

namespace kor {

class ValueRef;

enum class BindKind : uint8_t { kNone = 0, kVariable = 1, kKeyword = 4, kFunction = 6 };

// The class of value an expression node yields.
enum class ResultClass : uint8_t { kInteger = 1, kReal = 2, kString = 4 };

// Function numbers of the built-in function table.
enum FunctionNumber : uint8_t {
  // clang-format off
  kFnMemory = 1, kFnSub = 2, kFnInstring = 3, kFnClip = 4, kFnAll = 5, kFnCenter = 6,
  kFnChr = 7, kFnDeformat = 8, kFnFormat = 9, kFnLeft = 10, kFnLen = 11, kFnLower = 12,
  kFnNumeric = 13, kFnRight = 14, kFnUpper = 15, kFnVal = 16, kFnAbs = 17, kFnInrange = 18,
  kFnInt = 19, kFnLoge = 20, kFnLog10 = 21, kFnRandom = 22, kFnRound = 23, kFnSqrt = 24,
  kFnSin = 25, kFnCos = 26, kFnTan = 27, kFnAsin = 28, kFnAcos = 29, kFnAtan = 30,
  kFnBand = 31, kFnBor = 32, kFnBxor = 33, kFnBshift = 34, kFnToday = 35, kFnClock = 36,
  kFnDate = 37, kFnDay = 38, kFnMonth = 39, kFnYear = 40, kFnAge = 41, kFnChoose = 42,
  kFnInlist = 43, kFnGetini = 44,
  // clang-format on
};
inline constexpr int kFunctionCount = 44;
// CHOOSE and INLIST take a selector and at most 24 further values.
inline constexpr int kMaxFunctionArgs = 25;

// Operator codes, shared by the scanner, the tree and keyword entries.
enum OperatorCode : uint8_t {
  // clang-format off
  kExprNegate = 0, kExprTilde = 1, kExprPower = 2, kExprMultiply = 3, kExprDivide = 4, kExprModulo = 5,
  kExprAdd = 7, kExprSubtract = 8, kExprConcat = 9, kExprEqual = 10, kExprNotEqual = 11, kExprLess = 12,
  kExprGreater = 13, kExprLessEqual = 14, kExprGreaterEqual = 15, kExprNot = 16, kExprAnd = 17,
  kExprOr = 18, kExprXor = 19, kExprComma = 20, kExprColon = 21,
  // clang-format on
};

// One entry of a bind table. Field order follows the stored entry: links,
// kind, name, result class, then the kind's own data.
struct BindEntry {
  BindEntry* left = nullptr;
  BindEntry* right = nullptr;
  BindKind kind = BindKind::kNone;
  char* name = nullptr;  // owned, null-terminated
  ResultClass result = ResultClass::kInteger;
  uint8_t arg_count = 0;    // function: maximum number of arguments
  uint8_t function = 0;     // function: its number
  uint8_t op = 0;           // keyword: its operator code
  ValueRef* ref = nullptr;  // variable: owned value reference
};

// Result class of a variable of the given type code: up to 6 integer, 7 to 17
// real, 18 and above string.
ResultClass ResultClassForType(int type_code);

// BIND: pops the name off the string stack (trailing blanks removed) and binds
// it to `ref`, a value reference made by MakeValueRef
// (runtime/values/value_ref.h), in the current table. The table owns `ref`
// from then on and destroys it with the binding (when replaced, or when its
// scope is popped). A null `ref` (one that MakeValueRef could not make) binds
// nothing.
void BIND(ValueRef* ref);
// The same with the name given directly.
void BindName(std::string_view name, ValueRef* ref);

// PUSHSCOPE(0) opens an opaque scope (outer bindings invisible); any other
// flag a transparent one.
void PUSHSCOPE(int32_t transparent);
// Frees the current table and makes the saved one current. Without a scope
// record: runtime error 802 "Mismatched POPSCOPE", and nothing else happens.
void POPSCOPE();

// Looks a name up through the current table and the visible scopes. Returns
// null when it is bound nowhere (the caller posts 801).
const BindEntry* LookupName(std::string_view name);

// Orders two names as the bind tables do: without regard to case, through
// the collating sequence: negative, 0 or positive.
int CompareBindNames(std::string_view a, std::string_view b);

// Number of open scope records.
int ScopeDepth();

// Initialisation entry: 1 frees every table and scope record.
void InitBindTables(int32_t arg);

}  // namespace kor

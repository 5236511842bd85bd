// The compiled form of numeric expressions: a flat postfix program run on a
// small stack of doubles, which evaluates much faster than walking the tree.
//
// Only trees made entirely of numbers are compiled: constants, LONG and REAL
// variables (and other numeric variables through their references), the
// arithmetic, comparison and logical operators on numbers, and the pure
// numeric functions (INT, ABS, ROUND, SQRT, LOGE, LOG10, SIN, COS, TAN, ASIN,
// ACOS, ATAN, BAND, BOR, BXOR). Anything else (strings, subscripts, RANDOM,
// dates) leaves the program empty and the tree walker does the work.
//
// The program gives exactly the walker's results: integer-class values are
// kept as exact int32 values in doubles and combined with the same 32-bit
// wrapping; the same zero results stand for division by zero and non-finite
// reals. AND and OR evaluate both operands, which is safe because nothing in
// a compiled program has side effects.
#pragma once

#include <cstdint>
#include <vector>

namespace kor {

class ExprTree;
class ValueRef;

struct ExprInstr {
  uint8_t op;
  double constant = 0;            // push constant
  const void* address = nullptr;  // variable storage
  ValueRef* ref = nullptr;        // variable read through its reference
};

struct ExprProgram {
  std::vector<ExprInstr> code;  // empty: not compiled
  int depth = 0;                // stack slots needed
};

// Compiles the tree when it qualifies; otherwise leaves `out` empty.
void CompileProgram(const ExprTree& tree, ExprProgram* out);

// Runs a non-empty program; the result is the root's value (an exact int32
// for an integer-class root).
double EvaluateExprProgram(const ExprProgram& program);

}  // namespace kor

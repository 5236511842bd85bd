// Evaluation of parsed run-time expressions, and AssignExpression.
//
// Each node yields a value of its result class: integers in 32 bits
// (wrapping as LONG arithmetic does), reals in double precision, strings on
// the string stack. Where classes meet:
// - Arithmetic converts a string operand to its numeric value (the text read
//   as a REAL; text that is no number reads as 0).
// - "&" converts numbers to their text: integers in decimal, reals with at
//   most 15 significant digits and no trailing zeros.
// - Comparison of two strings uses the collating sequence with blank padding;
//   if either operand is a number both compare as numbers (as integers when
//   both are integers, else as reals).
// - Truth: an integer or real is true when non-zero; a string is true when it
//   holds anything but blanks. NOT, AND, OR and XOR yield 0 or 1; AND and OR
//   evaluate their right operand only when it decides the result.
// - "/" and "%" by zero yield 0 instead of failing; "%" of reals is the
//   remainder with the dividend's sign. "^" is pow(). Every real that is not
//   a finite number is 0: the result of any operator or function (1e300 *
//   1e300 too) and a REAL variable that holds an infinity or NaN.
// - A REAL converted to an integer is cut toward zero and saturates at the
//   32-bit limits.
// - A subscripted variable works on the variable's text: v[i] is its i-th
//   character (from 1), v[s : e] the characters s to e; positions outside the
//   text yield the empty string.
// - A picture constant yields its own text ("@D6"), for FORMAT and DEFORMAT.
// Evaluation posts no errors; the functions are described in expr_functions.h.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/expr/expr_tree.h"

namespace kor {

int32_t EvaluateLong(const ExprTree& tree);
double EvaluateReal(const ExprTree& tree);
// Pushes the result on the string stack.
void EvaluateString(const ExprTree& tree);
bool EvaluateTruth(const ExprTree& tree);
// The result as text, whatever its class (integers in decimal, reals as "&"
// shows them, strings as they are).
std::string EvaluateToText(const ExprTree& tree);

// Evaluates the tree and stores the result through the reference by the
// tree's class: integer through AssignLong, real through AssignReal, string
// through AssignString from the string stack; the reference converts to its
// own storage form. Null is ignored.
void AssignExpression(ValueRef* ref, const ExprTree& tree);

// The tree walker, shared with the function implementations.
class ExprEvaluator {
 public:
  explicit ExprEvaluator(const ExprTree& tree) : tree_(tree) {}

  int32_t Long(int32_t index) const;
  double Real(int32_t index) const;
  void String(int32_t index) const;  // pushes
  bool Truth(int32_t index) const;
  // Compares two string-class nodes through the collating sequence.
  int CompareStringNodes(int32_t a, int32_t b) const;

  const ExprNode& node(int32_t index) const { return tree_.nodes[static_cast<size_t>(index)]; }
  int32_t arg(const ExprNode& call, int i) const {
    return tree_.args[static_cast<size_t>(call.a + i)];
  }
  const std::string& text(const ExprNode& n) const {
    return tree_.texts[static_cast<size_t>(n.text)];
  }

 private:
  int Compare(const ExprNode& n) const;
  void Subscripted(const ExprNode& n) const;

  const ExprTree& tree_;
};

}  // namespace kor

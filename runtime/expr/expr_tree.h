// Parsed run-time expressions: the tree, ParseExpression and RenderExpression.
//
// Grammar, lowest precedence first; binary operators associate left:
//   1 OR, XOR   2 AND   3 NOT (prefix, also "~")   4 = <> < > <= >=
//   5 &   6 + -   7 * / %   8 ^   9 unary - and +   10 primary
// Two operator tokens in a row combine into one comparison: "<" ">" is <>,
// "<" "=" and "=" "<" are <=, ">" "=" and "=" ">" are >=, and a negation
// followed by "=", "<" or ">" is <>, >= or <= respectively.
// A primary is a constant, a picture, a bound variable (optionally followed
// by "[" index "]" or "[" start ":" end "]"), a function name followed by its
// arguments in parentheses, or a parenthesised expression.
//
// Result classes are fixed when the tree is built:
// - + - * and unary minus: integer when both operands are integers, else real.
// - % : integer for two integers, else real (remainder with the sign of the
//   dividend). / and ^ are always real.
// - & : string. Comparisons, NOT, AND, OR, XOR: integer 0 or 1.
// - A picture constant is a string constant holding the picture text ("@D6").
//   It must compile with CompilePicture (runtime/pictures/picture.h): a
//   picture the compiler rejects ("@Q5", "@D19", "@N15..2") fails the parse
//   with the message "invalid picture" at the picture's position. A picture given as a string
//   ('@Q5') is not checked; FORMAT of an invalid picture gives "".
// - A subscripted variable is a string: the character or the slice of the
//   variable's text value.
// Unary minus applied to a numeric constant is folded into the constant, so
// "-5" renders as "-5" and parses back to the same tree.
//
// Argument counts: functions take exactly the table's count, except
// INSTRING (2 to 4: step and start default to 1), LEFT, RIGHT and CENTER
// (1 or 2: the width defaults to the text's length), AGE (1 or 2: the base
// defaults to today), GETINI (2 to 4: default and file default to empty) and
// CHOOSE and INLIST (2 to 25). Any other count makes the parse fail.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/expr/bind.h"
#include "runtime/expr/expr_program.h"

namespace kor {

enum class NodeKind : uint8_t {
  kConstant,  // integer, real or string constant
  kPicture,   // picture constant: a string
  kVariable,  // bound variable, optionally subscripted
  kFunction,  // call of a built-in function
  kUnary,     // kExprNegate or kExprNot
  kBinary,    // every binary operator
};

// Subscript forms of a variable node.
enum class Subscript : uint8_t { kNone, kIndex, kSlice };

struct ExprNode {
  NodeKind kind = NodeKind::kConstant;
  ResultClass cls = ResultClass::kInteger;
  uint8_t op = 0;    // unary/binary operator, or function number
  uint8_t argc = 0;  // function: number of arguments
  Subscript subscript = Subscript::kNone;
  uint8_t type_code = 0;    // variable: its type code
  int32_t a = -1;           // first operand, index or start; function: first slot in args
  int32_t b = -1;           // second operand or slice end
  int32_t integer = 0;      // integer constant
  double real = 0;          // real constant
  int32_t text = -1;        // string constant, picture or variable name: slot in texts
  ValueRef* ref = nullptr;  // variable: the tree's own clone of the bound reference
  void* address = nullptr;  // variable: its storage, for the LONG and REAL fast path
};

class ExprTree {
 public:
  ExprTree() = default;
  ExprTree(const ExprTree&) = delete;
  ExprTree& operator=(const ExprTree&) = delete;
  ~ExprTree();

  const ExprNode& root() const { return nodes[static_cast<size_t>(root_index)]; }
  ResultClass result_class() const { return root().cls; }

  std::vector<ExprNode> nodes;
  std::vector<int32_t> args;       // function arguments, by node index
  std::vector<std::string> texts;  // constants' and names' texts
  int32_t root_index = -1;
  ExprProgram program;  // the compiled form of a numeric tree, else empty
};

// Why a parse failed, and where.
struct ParseError {
  size_t position = 0;  // offset in the text of the offending token
  std::string message;
};

// Parses a complete expression; null when the text is not one (any error or
// text left over). `error`, when given, receives the reason and position.
// Clears the error state first; an unbound name leaves 801 posted.
std::unique_ptr<ExprTree> ParseExpression(std::string_view text, ParseError* error = nullptr);

// Text that parses back to the same tree, with the operators spelled
// " + ", " AND " and so on and parentheses only where precedence needs them.
std::string RenderExpression(const ExprTree& tree);

// The canonical name of a function number ("INSTRING"), or "" if unknown.
const char* FunctionName(int number);

}  // namespace kor

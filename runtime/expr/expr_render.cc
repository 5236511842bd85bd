// RenderExpression: writes a parsed tree back as expression text that parses
// to the same tree.
#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/expr/expr_tree.h"

namespace kor {
namespace {

const char* const kFunctionNames[kFunctionCount + 1] = {
    "",        "MEMORY", "SUB",  "INSTRING", "CLIP",    "ALL",   "CENTER", "CHR",    "DEFORMAT",
    "FORMAT",  "LEFT",   "LEN",  "LOWER",    "NUMERIC", "RIGHT", "UPPER",  "VAL",    "ABS",
    "INRANGE", "INT",    "LOGE", "LOG10",    "RANDOM",  "ROUND", "SQRT",   "SIN",    "COS",
    "TAN",     "ASIN",   "ACOS", "ATAN",     "BAND",    "BOR",   "BXOR",   "BSHIFT", "TODAY",
    "CLOCK",   "DATE",   "DAY",  "MONTH",    "YEAR",    "AGE",   "CHOOSE", "INLIST", "GETINI",
};

const char* OperatorText(uint8_t op) {
  switch (op) {
    case kExprAdd: return " + ";
    case kExprSubtract: return " - ";
    case kExprMultiply: return " * ";
    case kExprDivide: return " / ";
    case kExprModulo: return " % ";
    case kExprPower: return " ^ ";
    case kExprConcat: return " & ";
    case kExprEqual: return " = ";
    case kExprNotEqual: return " <> ";
    case kExprLess: return " < ";
    case kExprGreater: return " > ";
    case kExprLessEqual: return " <= ";
    case kExprGreaterEqual: return " >= ";
    case kExprAnd: return " AND ";
    case kExprOr: return " OR ";
    case kExprXor: return " XOR ";
    default: return " ? ";
  }
}

// Grammar level of a node: the lowest level at which it can stand without
// parentheses.
int Level(const ExprNode& n) {
  switch (n.kind) {
    case NodeKind::kUnary: return n.op == kExprNot ? 3 : 9;
    case NodeKind::kBinary:
      switch (n.op) {
        case kExprOr:
        case kExprXor: return 1;
        case kExprAnd: return 2;
        case kExprConcat: return 5;
        case kExprAdd:
        case kExprSubtract: return 6;
        case kExprMultiply:
        case kExprDivide:
        case kExprModulo: return 7;
        case kExprPower: return 8;
        default: return 4;
      }
    case NodeKind::kConstant:
      // A negative number renders with its sign, as a unary minus would.
      if (n.cls == ResultClass::kInteger && n.integer < 0) return 9;
      if (n.cls == ResultClass::kReal && std::signbit(n.real)) return 9;
      return 10;
    default: return 10;
  }
}

class Renderer {
 public:
  explicit Renderer(const ExprTree& tree) : tree_(tree) {}

  void Node(int32_t index, int min_level) {
    const ExprNode& n = tree_.nodes[static_cast<size_t>(index)];
    bool parens = Level(n) < min_level;
    if (parens) out.push_back('(');
    switch (n.kind) {
      case NodeKind::kConstant: Constant(n); break;
      case NodeKind::kPicture: out += tree_.texts[static_cast<size_t>(n.text)]; break;
      case NodeKind::kVariable: Variable(n); break;
      case NodeKind::kFunction: {
        out += FunctionName(n.op);
        out.push_back('(');
        for (int i = 0; i < n.argc; ++i) {
          if (i > 0) out += ", ";
          Node(tree_.args[static_cast<size_t>(n.a + i)], 1);
        }
        out.push_back(')');
        break;
      }
      case NodeKind::kUnary:
        if (n.op == kExprNot) {
          out += "NOT ";
          Node(n.a, 3);
        } else {
          out.push_back('-');
          Node(n.a, 9);
        }
        break;
      case NodeKind::kBinary: {
        int level = Level(n);
        Node(n.a, level);
        out += OperatorText(n.op);
        Node(n.b, level + 1);
        break;
      }
    }
    if (parens) out.push_back(')');
  }

  std::string out;

 private:
  void Constant(const ExprNode& n) {
    if (n.cls == ResultClass::kInteger) {
      out += std::to_string(n.integer);
    } else if (n.cls == ResultClass::kReal) {
      char buf[64];
      auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n.real);
      std::string_view text(buf, ec == std::errc() ? static_cast<size_t>(end - buf) : 0);
      out += text;
      // Keep it a real when read back.
      if (text.find_first_of(".eE") == std::string_view::npos) out += ".0";
    } else {
      out.push_back('\'');
      for (char c : tree_.texts[static_cast<size_t>(n.text)]) {
        if (c == '\'') out.push_back('\'');
        out.push_back(c);
      }
      out.push_back('\'');
    }
  }

  void Variable(const ExprNode& n) {
    out += tree_.texts[static_cast<size_t>(n.text)];
    if (n.subscript == Subscript::kNone) return;
    out.push_back('[');
    Node(n.a, 1);
    if (n.subscript == Subscript::kSlice) {
      // Blanks keep the ":" from joining a name before it.
      out += " : ";
      Node(n.b, 1);
    }
    out.push_back(']');
  }

  const ExprTree& tree_;
};

}  // namespace

const char* FunctionName(int number) {
  if (number < 1 || number > kFunctionCount) return "";
  return kFunctionNames[number];
}

std::string RenderExpression(const ExprTree& tree) {
  Renderer r(tree);
  if (tree.root_index >= 0) r.Node(tree.root_index, 1);
  return std::move(r.out);
}

}  // namespace kor

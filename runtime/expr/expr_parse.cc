// The recursive-descent parser that turns expression text into a tree.
#include <utility>

#include "runtime/core/error_state.h"
#include "runtime/expr/expr_scan.h"
#include "runtime/expr/expr_services.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/pictures/picture.h"
#include "runtime/values/value_ref.h"

namespace kor {
namespace {

// Deeper nesting than this is refused rather than risking the stack.
constexpr int kMaxDepth = 200;

bool IsComparison(uint8_t op) { return op >= kExprEqual && op <= kExprGreaterEqual; }

// Smallest and largest argument counts accepted for a function.
void ArgumentRange(const BindEntry& f, int* min, int* max) {
  *min = *max = f.arg_count;
  switch (f.function) {
    case kFnInstring: *min = 2; break;
    case kFnLeft:
    case kFnRight:
    case kFnCenter:
    case kFnAge: *min = 1; break;
    case kFnGetini: *min = 2; break;
    // clang-format off
    case kFnChoose: case kFnInlist: *min = 2; *max = kMaxFunctionArgs; break;
    // clang-format on
    default: break;
  }
}

class Parser {
 public:
  Parser(std::string_view text, ExprTree* tree) : scanner_(text), tree_(tree) {}

  bool Parse() {
    Advance();
    int32_t root = ParseOr();
    if (root < 0) return false;
    if (token_.cls != TokenClass::kEnd) return Fail("unexpected text after the expression");
    tree_->root_index = root;
    return true;
  }

  ParseError error;

 private:
  void Advance() { scanner_.Next(&token_); }

  bool Fail(const char* message) {
    if (!failed_) {
      failed_ = true;
      error.position = token_.pos;
      error.message = message;
      if (token_.cls == TokenClass::kError) {
        switch (token_.error) {
          case ScanError::kUnboundName: error.message = "no BIND on variable " + token_.text; break;
          case ScanError::kUnterminatedString: error.message = "missing closing quote"; break;
          case ScanError::kBadNumber: error.message = "number out of range"; break;
          case ScanError::kEmptyPicture: error.message = "bad picture after @"; break;
          default: error.message = "unexpected character"; break;
        }
      }
    }
    return false;
  }

  int32_t FailIndex(const char* message) {
    Fail(message);
    return -1;
  }

  int32_t Add(const ExprNode& node) {
    tree_->nodes.push_back(node);
    return static_cast<int32_t>(tree_->nodes.size() - 1);
  }

  int32_t AddText(std::string text) {
    tree_->texts.push_back(std::move(text));
    return static_cast<int32_t>(tree_->texts.size() - 1);
  }

  ResultClass Class(int32_t index) const { return tree_->nodes[static_cast<size_t>(index)].cls; }

  int32_t Binary(uint8_t op, int32_t left, int32_t right) {
    ExprNode n;
    n.kind = NodeKind::kBinary;
    n.op = op;
    n.a = left;
    n.b = right;
    bool both_int = Class(left) == ResultClass::kInteger && Class(right) == ResultClass::kInteger;
    switch (op) {
      case kExprAdd:
      case kExprSubtract:
      case kExprMultiply:
      case kExprModulo: n.cls = both_int ? ResultClass::kInteger : ResultClass::kReal; break;
      case kExprDivide:
      case kExprPower: n.cls = ResultClass::kReal; break;
      case kExprConcat: n.cls = ResultClass::kString; break;
      default: n.cls = ResultClass::kInteger; break;
    }
    return Add(n);
  }

  bool IsOp(uint8_t op) const { return token_.cls == TokenClass::kOperator && token_.op == op; }

  struct Depth {
    explicit Depth(int* d) : d_(d) { ++*d_; }
    ~Depth() { --*d_; }
    int* d_;
  };

  // Level 1: OR, XOR.
  int32_t ParseOr() {
    Depth guard(&depth_);
    if (depth_ > kMaxDepth) return FailIndex("expression nested too deeply");
    int32_t left = ParseAnd();
    while (left >= 0 && (IsOp(kExprOr) || IsOp(kExprXor))) {
      uint8_t op = token_.op;
      Advance();
      int32_t right = ParseAnd();
      if (right < 0) return -1;
      left = Binary(op, left, right);
    }
    return left;
  }

  // Level 2: AND.
  int32_t ParseAnd() {
    int32_t left = ParseNot();
    while (left >= 0 && IsOp(kExprAnd)) {
      Advance();
      int32_t right = ParseNot();
      if (right < 0) return -1;
      left = Binary(kExprAnd, left, right);
    }
    return left;
  }

  // Level 3: NOT, also written "~".
  int32_t ParseNot() {
    if (IsOp(kExprNot) || IsOp(kExprTilde)) {
      Depth guard(&depth_);
      if (depth_ > kMaxDepth) return FailIndex("expression nested too deeply");
      Advance();
      int32_t operand = ParseNot();
      if (operand < 0) return -1;
      ExprNode n;
      n.kind = NodeKind::kUnary;
      n.op = kExprNot;
      n.cls = ResultClass::kInteger;
      n.a = operand;
      return Add(n);
    }
    return ParseComparison();
  }

  // Reads a comparison operator, combining two operator tokens in a row.
  // Returns the code, or -1 when the current token starts none.
  int ComparisonOperator() {
    if (token_.cls != TokenClass::kOperator) return -1;
    uint8_t first = token_.op;
    bool negation = first == kExprTilde || first == kExprNot;
    if (!IsComparison(first) && !negation) return -1;
    Advance();
    uint8_t second = token_.cls == TokenClass::kOperator ? token_.op : 0xFF;
    int combined = -1;
    if (negation) {
      if (second == kExprEqual) combined = kExprNotEqual;
      else if (second == kExprLess) combined = kExprGreaterEqual;
      else if (second == kExprGreater) combined = kExprLessEqual;
      if (combined < 0) {
        Fail("=, < or > expected after the negation");
        return -2;
      }
    } else if (first == kExprLess && second == kExprGreater) {
      combined = kExprNotEqual;
    } else if (first == kExprLess && second == kExprEqual) {
      combined = kExprLessEqual;
    } else if (first == kExprGreater && second == kExprEqual) {
      combined = kExprGreaterEqual;
    } else if (first == kExprEqual && second == kExprLess) {
      combined = kExprLessEqual;
    } else if (first == kExprEqual && second == kExprGreater) {
      combined = kExprGreaterEqual;
    }
    if (combined < 0) return first;
    Advance();
    return combined;
  }

  // Level 4: comparisons.
  int32_t ParseComparison() {
    int32_t left = ParseConcat();
    while (left >= 0) {
      int op = ComparisonOperator();
      if (op == -2) return -1;
      if (op < 0) break;
      int32_t right = ParseConcat();
      if (right < 0) return -1;
      left = Binary(static_cast<uint8_t>(op), left, right);
    }
    return left;
  }

  // Level 5: "&".
  int32_t ParseConcat() {
    int32_t left = ParseAdditive();
    while (left >= 0 && IsOp(kExprConcat)) {
      Advance();
      int32_t right = ParseAdditive();
      if (right < 0) return -1;
      left = Binary(kExprConcat, left, right);
    }
    return left;
  }

  // Level 6: "+", "-".
  int32_t ParseAdditive() {
    int32_t left = ParseMultiplicative();
    while (left >= 0 && (IsOp(kExprAdd) || IsOp(kExprSubtract))) {
      uint8_t op = token_.op;
      Advance();
      int32_t right = ParseMultiplicative();
      if (right < 0) return -1;
      left = Binary(op, left, right);
    }
    return left;
  }

  // Level 7: "*", "/", "%".
  int32_t ParseMultiplicative() {
    int32_t left = ParsePower();
    while (left >= 0 && (IsOp(kExprMultiply) || IsOp(kExprDivide) || IsOp(kExprModulo))) {
      uint8_t op = token_.op;
      Advance();
      int32_t right = ParsePower();
      if (right < 0) return -1;
      left = Binary(op, left, right);
    }
    return left;
  }

  // Level 8: "^".
  int32_t ParsePower() {
    int32_t left = ParseUnary();
    while (left >= 0 && IsOp(kExprPower)) {
      Advance();
      int32_t right = ParseUnary();
      if (right < 0) return -1;
      left = Binary(kExprPower, left, right);
    }
    return left;
  }

  // Level 9: unary "-" and "+".
  int32_t ParseUnary() {
    if (IsOp(kExprSubtract) || IsOp(kExprAdd)) {
      Depth guard(&depth_);
      if (depth_ > kMaxDepth) return FailIndex("expression nested too deeply");
      bool negate = token_.op == kExprSubtract;
      Advance();
      int32_t operand = ParseUnary();
      if (operand < 0 || !negate) return operand;
      ExprNode& target = tree_->nodes[static_cast<size_t>(operand)];
      if (target.kind == NodeKind::kConstant && target.cls == ResultClass::kInteger &&
          target.integer != INT32_MIN) {
        target.integer = -target.integer;
        return operand;
      }
      if (target.kind == NodeKind::kConstant && target.cls == ResultClass::kReal) {
        target.real = -target.real;
        return operand;
      }
      ExprNode n;
      n.kind = NodeKind::kUnary;
      n.op = kExprNegate;
      n.cls = target.cls == ResultClass::kInteger ? ResultClass::kInteger : ResultClass::kReal;
      n.a = operand;
      return Add(n);
    }
    return ParsePrimary();
  }

  // Level 10: primaries.
  int32_t ParsePrimary() {
    switch (token_.cls) {
      case TokenClass::kConstant: {
        ExprNode n;
        n.kind = NodeKind::kConstant;
        n.cls = token_.constant_class;
        n.integer = token_.integer;
        n.real = token_.real;
        if (n.cls == ResultClass::kString) n.text = AddText(token_.text);
        Advance();
        return Add(n);
      }
      case TokenClass::kPicture: {
        // A picture the picture compiler rejects could only ever format to
        // nothing; it is refused here, where its author can be told.
        if (CompilePicture(std::string_view(token_.text)).kind == PictureKind::kInvalid) {
          return FailIndex("invalid picture");
        }
        ExprNode n;
        n.kind = NodeKind::kPicture;
        n.cls = ResultClass::kString;
        n.text = AddText(token_.text);
        Advance();
        return Add(n);
      }
      case TokenClass::kOpenParen: {
        Advance();
        int32_t inner = ParseOr();
        if (inner < 0) return -1;
        if (token_.cls != TokenClass::kCloseParen) return FailIndex("missing )");
        Advance();
        return inner;
      }
      case TokenClass::kName:
        if (token_.entry->kind == BindKind::kFunction) return ParseCall();
        return ParseVariable();
      case TokenClass::kEnd: return FailIndex("unexpected end of the expression");
      case TokenClass::kError: return FailIndex("");
      default: return FailIndex("operand expected");
    }
  }

  int32_t ParseCall() {
    const BindEntry& f = *token_.entry;
    size_t name_pos = token_.pos;
    Advance();
    if (token_.cls != TokenClass::kOpenParen)
      return FailIndex("( expected after the function name");
    Advance();
    std::vector<int32_t> args;
    if (token_.cls != TokenClass::kCloseParen) {
      for (;;) {
        int32_t arg = ParseOr();
        if (arg < 0) return -1;
        args.push_back(arg);
        if (IsOp(kExprComma)) {
          Advance();
          continue;
        }
        break;
      }
      if (token_.cls != TokenClass::kCloseParen) return FailIndex(", or ) expected");
    }
    int min = 0, max = 0;
    ArgumentRange(f, &min, &max);
    int count = static_cast<int>(args.size());
    if (count < min || count > max) {
      token_.pos = name_pos;
      token_.cls = TokenClass::kName;
      return FailIndex("wrong number of arguments");
    }
    Advance();
    ExprNode n;
    n.kind = NodeKind::kFunction;
    n.cls = f.result;
    n.op = f.function;
    n.argc = static_cast<uint8_t>(count);
    n.a = static_cast<int32_t>(tree_->args.size());
    tree_->args.insert(tree_->args.end(), args.begin(), args.end());
    return Add(n);
  }

  int32_t ParseVariable() {
    const BindEntry& v = *token_.entry;
    ExprNode n;
    n.kind = NodeKind::kVariable;
    n.cls = v.result;
    n.type_code = static_cast<uint8_t>(v.ref->TypeCode());
    n.text = AddText(token_.text);
    Advance();
    if (token_.cls == TokenClass::kOpenBracket) {
      Advance();
      n.a = ParseOr();
      if (n.a < 0) return -1;
      n.subscript = Subscript::kIndex;
      if (IsOp(kExprColon)) {
        Advance();
        n.b = ParseOr();
        if (n.b < 0) return -1;
        n.subscript = Subscript::kSlice;
      }
      if (token_.cls != TokenClass::kCloseBracket) return FailIndex("missing ]");
      Advance();
      n.cls = ResultClass::kString;
    }
    // The tree keeps its own reference: the binding may be replaced or its
    // scope popped while the tree lives.
    n.ref = v.ref->Clone();
    if (n.ref == nullptr) return FailIndex("out of memory");
    n.address = RefFastAddress(*n.ref);
    return Add(n);
  }

  Scanner scanner_;
  ExprTree* tree_;
  Token token_;
  bool failed_ = false;
  int depth_ = 0;
};

}  // namespace

ExprTree::~ExprTree() {
  for (ExprNode& n : nodes) {
    DestroyValueRef(n.ref);
  }
}

std::unique_ptr<ExprTree> ParseExpression(std::string_view text, ParseError* error) {
  ClearError();
  auto tree = std::make_unique<ExprTree>();
  Parser parser(text, tree.get());
  if (!parser.Parse()) {
    if (error != nullptr) *error = parser.error;
    return nullptr;
  }
  CompileProgram(*tree, &tree->program);
  return tree;
}

}  // namespace kor

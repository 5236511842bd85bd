// Compiles numeric expression trees into postfix programs and runs them.
#include "runtime/expr/expr_program.h"

#include <cmath>
#include <cstring>

#include "runtime/expr/expr_functions.h"
#include "runtime/expr/expr_services.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/values/value_ref.h"

namespace kor {
namespace {

// Programs deeper than this stay with the walker (the run uses a fixed array).
constexpr int kMaxDepth = 64;

enum Op : uint8_t {
  // clang-format off
  kPush, kLoadReal, kLoadLong, kLoadRefReal, kLoadRefLong,
  kAddR, kSubR, kMulR, kDivR, kModR, kPowR, kSquare, kNegR,
  kAddI, kSubI, kMulI, kModI, kNegI,
  kEq, kNe, kLt, kGt, kLe, kGe, kNot, kAnd, kOr, kXor,
  kToLong, kAbs, kSqrt, kLoge, kLog10, kSin, kCos, kTan, kAsin, kAcos, kAtan, kRound,
  kBand, kBor, kBxor,
  // clang-format on
};

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }
int32_t I(double v) { return static_cast<int32_t>(v); }  // exact int32 values only
double Wrap(uint32_t v) { return static_cast<int32_t>(v); }
// As the walker compares: unordered values (NaN) count as equal.
int Cmp(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

class Compiler {
 public:
  Compiler(const ExprTree& tree, ExprProgram* out) : tree_(tree), out_(out) {}

  bool Emit(int32_t index) {
    const ExprNode& n = tree_.nodes[static_cast<size_t>(index)];
    if (n.cls == ResultClass::kString) return false;
    switch (n.kind) {
      case NodeKind::kConstant:
        return Push(ExprInstr{kPush, n.cls == ResultClass::kInteger ? n.integer : n.real});
      case NodeKind::kVariable: {
        if (n.subscript != Subscript::kNone) return false;
        ExprInstr in{kLoadRefReal};
        in.ref = n.ref;
        if (n.address != nullptr && n.type_code == 9) in = ExprInstr{kLoadReal, 0, n.address};
        else if (n.address != nullptr && n.type_code == 6) in = ExprInstr{kLoadLong, 0, n.address};
        else if (n.cls == ResultClass::kInteger) in.op = kLoadRefLong;
        return Push(in);
      }
      case NodeKind::kUnary:
        if (!Emit(n.a)) return false;
        return Apply(n.op == kExprNot ? kNot : (n.cls == ResultClass::kInteger ? kNegI : kNegR), 1);
      case NodeKind::kBinary: return Binary(n);
      case NodeKind::kFunction: return Function(n);
      default: return false;
    }
  }

  int depth = 0;

 private:
  bool Push(const ExprInstr& in) {
    out_->code.push_back(in);
    if (++depth_now_ > kMaxDepth) return false;
    if (depth_now_ > depth) depth = depth_now_;
    return true;
  }
  // An operation taking `pops` values and leaving one.
  bool Apply(uint8_t op, int pops) {
    out_->code.push_back(ExprInstr{op});
    depth_now_ -= pops - 1;
    return true;
  }
  // Emits a child that an integer function argument needs as LONG.
  bool EmitLong(int32_t index) {
    if (!Emit(index)) return false;
    if (tree_.nodes[static_cast<size_t>(index)].cls != ResultClass::kInteger) Apply(kToLong, 1);
    return true;
  }

  bool Binary(const ExprNode& n) {
    bool integer = n.cls == ResultClass::kInteger;
    const ExprNode& right = tree_.nodes[static_cast<size_t>(n.b)];
    if (n.op == kExprPower && right.kind == NodeKind::kConstant &&
        right.cls == ResultClass::kInteger && right.integer == 2) {
      return Emit(n.a) && Apply(kSquare, 1);
    }
    if (!Emit(n.a) || !Emit(n.b)) return false;
    uint8_t op;
    switch (n.op) {
      case kExprAdd: op = integer ? kAddI : kAddR; break;
      case kExprSubtract: op = integer ? kSubI : kSubR; break;
      case kExprMultiply: op = integer ? kMulI : kMulR; break;
      case kExprModulo: op = integer ? kModI : kModR; break;
      case kExprDivide: op = kDivR; break;
      case kExprPower: op = kPowR; break;
      case kExprEqual: op = kEq; break;
      case kExprNotEqual: op = kNe; break;
      case kExprLess: op = kLt; break;
      case kExprGreater: op = kGt; break;
      case kExprLessEqual: op = kLe; break;
      case kExprGreaterEqual: op = kGe; break;
      case kExprAnd: op = kAnd; break;
      case kExprOr: op = kOr; break;
      case kExprXor: op = kXor; break;
      default: return false;  // "&" is a string
    }
    return Apply(op, 2);
  }

  bool Function(const ExprNode& n) {
    auto arg = [&](int i) { return tree_.args[static_cast<size_t>(n.a + i)]; };
    uint8_t op;
    switch (n.op) {
      case kFnInt: return Emit(arg(0)) && Apply(kToLong, 1);
      case kFnAbs: op = kAbs; break;
      case kFnSqrt: op = kSqrt; break;
      case kFnLoge: op = kLoge; break;
      case kFnLog10: op = kLog10; break;
      case kFnSin: op = kSin; break;
      case kFnCos: op = kCos; break;
      case kFnTan: op = kTan; break;
      case kFnAsin: op = kAsin; break;
      case kFnAcos: op = kAcos; break;
      case kFnAtan: op = kAtan; break;
      case kFnRound: return Emit(arg(0)) && Emit(arg(1)) && Apply(kRound, 2);
      case kFnBand: return EmitLong(arg(0)) && EmitLong(arg(1)) && Apply(kBand, 2);
      case kFnBor: return EmitLong(arg(0)) && EmitLong(arg(1)) && Apply(kBor, 2);
      case kFnBxor: return EmitLong(arg(0)) && EmitLong(arg(1)) && Apply(kBxor, 2);
      default: return false;
    }
    return Emit(arg(0)) && Apply(op, 1);
  }

  const ExprTree& tree_;
  ExprProgram* out_;
  int depth_now_ = 0;
};

}  // namespace

void CompileProgram(const ExprTree& tree, ExprProgram* out) {
  out->code.clear();
  out->depth = 0;
  if (tree.root_index < 0) return;
  Compiler compiler(tree, out);
  if (!compiler.Emit(tree.root_index)) {
    out->code.clear();
    return;
  }
  out->depth = compiler.depth;
}

double EvaluateExprProgram(const ExprProgram& program) {
  double stack[kMaxDepth + 1];
  double* sp = stack;  // one past the top value
  for (const ExprInstr& in : program.code) {
    switch (in.op) {
      case kPush: *sp++ = in.constant; break;
      case kLoadReal: {
        double v;
        std::memcpy(&v, in.address, sizeof v);
        *sp++ = Finite(v);
        break;
      }
      case kLoadLong: {
        int32_t v;
        std::memcpy(&v, in.address, sizeof v);
        *sp++ = v;
        break;
      }
      case kLoadRefReal: *sp++ = Finite(in.ref->AsReal()); break;
      case kLoadRefLong: *sp++ = in.ref->AsLong(); break;
      // clang-format off
      case kAddR: sp[-2] = Finite(sp[-2] + sp[-1]); --sp; break;
      case kSubR: sp[-2] = Finite(sp[-2] - sp[-1]); --sp; break;
      case kMulR: sp[-2] = Finite(sp[-2] * sp[-1]); --sp; break;
      case kDivR: sp[-2] = sp[-1] == 0 ? 0.0 : Finite(sp[-2] / sp[-1]); --sp; break;
      case kModR: sp[-2] = sp[-1] == 0 ? 0.0 : Finite(std::fmod(sp[-2], sp[-1])); --sp; break;
      case kPowR: sp[-2] = Finite(std::pow(sp[-2], sp[-1])); --sp; break;
      // clang-format on
      case kSquare: sp[-1] = Finite(sp[-1] * sp[-1]); break;
      case kNegR: sp[-1] = -sp[-1]; break;
      // clang-format off
      case kAddI: sp[-2] = Wrap(static_cast<uint32_t>(I(sp[-2])) + static_cast<uint32_t>(I(sp[-1]))); --sp; break;
      case kSubI: sp[-2] = Wrap(static_cast<uint32_t>(I(sp[-2])) - static_cast<uint32_t>(I(sp[-1]))); --sp; break;
      case kMulI: sp[-2] = Wrap(static_cast<uint32_t>(I(sp[-2])) * static_cast<uint32_t>(I(sp[-1]))); --sp; break;
      // clang-format on
      case kModI: {
        int32_t a = I(sp[-2]), b = I(sp[-1]);
        sp[-2] = b == 0 || b == -1 ? 0 : a % b;
        --sp;
        break;
      }
      case kNegI: sp[-1] = Wrap(0u - static_cast<uint32_t>(I(sp[-1]))); break;
      // clang-format off
      case kEq: sp[-2] = Cmp(sp[-2], sp[-1]) == 0; --sp; break;
      case kNe: sp[-2] = Cmp(sp[-2], sp[-1]) != 0; --sp; break;
      case kLt: sp[-2] = Cmp(sp[-2], sp[-1]) < 0; --sp; break;
      case kGt: sp[-2] = Cmp(sp[-2], sp[-1]) > 0; --sp; break;
      case kLe: sp[-2] = Cmp(sp[-2], sp[-1]) <= 0; --sp; break;
      case kGe: sp[-2] = Cmp(sp[-2], sp[-1]) >= 0; --sp; break;
      // clang-format on
      case kNot: sp[-1] = sp[-1] != 0 ? 0.0 : 1.0; break;
      // clang-format off
      case kAnd: sp[-2] = sp[-2] != 0 && sp[-1] != 0; --sp; break;
      case kOr: sp[-2] = sp[-2] != 0 || sp[-1] != 0; --sp; break;
      case kXor: sp[-2] = (sp[-2] != 0) != (sp[-1] != 0); --sp; break;
      // clang-format on
      case kToLong: sp[-1] = RealToLong(sp[-1]); break;
      case kAbs: sp[-1] = Finite(std::fabs(sp[-1])); break;
      case kSqrt: sp[-1] = Finite(std::sqrt(sp[-1])); break;
      case kLoge: sp[-1] = Finite(std::log(sp[-1])); break;
      case kLog10: sp[-1] = Finite(std::log10(sp[-1])); break;
      case kSin: sp[-1] = Finite(std::sin(sp[-1])); break;
      case kCos: sp[-1] = Finite(std::cos(sp[-1])); break;
      case kTan: sp[-1] = Finite(std::tan(sp[-1])); break;
      case kAsin: sp[-1] = Finite(std::asin(sp[-1])); break;
      case kAcos: sp[-1] = Finite(std::acos(sp[-1])); break;
      case kAtan: sp[-1] = Finite(std::atan(sp[-1])); break;
      // clang-format off
      case kRound: sp[-2] = Finite(RoundToOrder(sp[-2], sp[-1])); --sp; break;
      case kBand: sp[-2] = I(sp[-2]) & I(sp[-1]); --sp; break;
      case kBor: sp[-2] = I(sp[-2]) | I(sp[-1]); --sp; break;
      case kBxor: sp[-2] = I(sp[-2]) ^ I(sp[-1]); --sp; break;
        // clang-format on
    }
  }
  return sp[-1];
}

}  // namespace kor

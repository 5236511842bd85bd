// The tree walker that evaluates parsed expressions.
#include "runtime/expr/expr_eval.h"

#include <cmath>
#include <cstring>

#include "runtime/builtins/string_functions.h"
#include "runtime/expr/expr_functions.h"
#include "runtime/expr/expr_program.h"
#include "runtime/expr/expr_services.h"
#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {
namespace {

// LONG arithmetic wraps modulo 2^32 rather than overflowing.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }

// Every real the evaluator yields is finite: an overflow, a division by zero,
// a root of a negative number or a variable holding infinity gives 0.
double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

int32_t ExprEvaluator::Long(int32_t index) const {
  const ExprNode& n = node(index);
  if (n.cls != ResultClass::kInteger) {
    if (n.cls == ResultClass::kReal) return RealToLong(Real(index));
    String(index);
    return RealToLong(PopStringAsRealValue());
  }
  switch (n.kind) {
    case NodeKind::kConstant: return n.integer;
    case NodeKind::kVariable:
      if (n.address != nullptr && n.type_code == 6) {
        int32_t v;
        std::memcpy(&v, n.address, sizeof v);
        return v;
      }
      return n.ref->AsLong();
    case NodeKind::kFunction: return CallLongFunction(*this, n);
    case NodeKind::kUnary:
      if (n.op == kExprNot) return Truth(n.a) ? 0 : 1;
      return Wrap(0u - static_cast<uint32_t>(Long(n.a)));
    case NodeKind::kBinary:
      switch (n.op) {
        case kExprAdd:
          return Wrap(static_cast<uint32_t>(Long(n.a)) + static_cast<uint32_t>(Long(n.b)));
        case kExprSubtract:
          return Wrap(static_cast<uint32_t>(Long(n.a)) - static_cast<uint32_t>(Long(n.b)));
        case kExprMultiply:
          return Wrap(static_cast<uint32_t>(Long(n.a)) * static_cast<uint32_t>(Long(n.b)));
        case kExprModulo: {
          int32_t a = Long(n.a), b = Long(n.b);
          if (b == 0 || (b == -1)) return 0;  // -1 also avoids INT_MIN % -1
          return a % b;
        }
        case kExprAnd: return Truth(n.a) && Truth(n.b) ? 1 : 0;
        case kExprOr: return Truth(n.a) || Truth(n.b) ? 1 : 0;
        case kExprXor: return Truth(n.a) != Truth(n.b) ? 1 : 0;
        case kExprEqual: return Compare(n) == 0;
        case kExprNotEqual: return Compare(n) != 0;
        case kExprLess: return Compare(n) < 0;
        case kExprGreater: return Compare(n) > 0;
        case kExprLessEqual: return Compare(n) <= 0;
        case kExprGreaterEqual: return Compare(n) >= 0;
        default: return 0;
      }
    case NodeKind::kPicture: return 0;
  }
  return 0;
}

double ExprEvaluator::Real(int32_t index) const {
  const ExprNode& n = node(index);
  if (n.cls != ResultClass::kReal) {
    if (n.cls == ResultClass::kInteger) return Long(index);
    String(index);
    return PopStringAsRealValue();
  }
  switch (n.kind) {
    case NodeKind::kConstant: return n.real;
    case NodeKind::kVariable:
      if (n.address != nullptr && n.type_code == 9) {
        double v;
        std::memcpy(&v, n.address, sizeof v);
        return Finite(v);
      }
      return Finite(n.ref->AsReal());
    case NodeKind::kFunction: return Finite(CallRealFunction(*this, n));
    case NodeKind::kUnary: return -Real(n.a);
    case NodeKind::kBinary:
      switch (n.op) {
        case kExprAdd: return Finite(Real(n.a) + Real(n.b));
        case kExprSubtract: return Finite(Real(n.a) - Real(n.b));
        case kExprMultiply: return Finite(Real(n.a) * Real(n.b));
        case kExprDivide: {
          double a = Real(n.a), b = Real(n.b);
          return b == 0 ? 0.0 : Finite(a / b);
        }
        case kExprModulo: {
          double a = Real(n.a), b = Real(n.b);
          return b == 0 ? 0.0 : Finite(std::fmod(a, b));
        }
        case kExprPower: {
          // A square is a product: exact, and what the compiled form does.
          const ExprNode& e = node(n.b);
          if (e.kind == NodeKind::kConstant && e.cls == ResultClass::kInteger && e.integer == 2) {
            double a = Real(n.a);
            return Finite(a * a);
          }
          return Finite(std::pow(Real(n.a), Real(n.b)));
        }
        default: return 0;
      }
    default: return 0;
  }
}

void ExprEvaluator::String(int32_t index) const {
  const ExprNode& n = node(index);
  if (n.cls == ResultClass::kInteger) return PushLongAsString(Long(index));
  if (n.cls == ResultClass::kReal) return PushCopy(RealToText(Real(index)));
  switch (n.kind) {
    case NodeKind::kConstant:
    case NodeKind::kPicture: {
      const std::string& s = text(n);
      PushString(s.data(), static_cast<int32_t>(s.size()));
      return;
    }
    case NodeKind::kVariable:
      if (n.subscript != Subscript::kNone) return Subscripted(n);
      return RefPushString(*n.ref);
    case NodeKind::kFunction: return CallStringFunction(*this, n);
    case NodeKind::kBinary: {
      // "&": the only binary operator of string class.
      String(n.a);
      String(n.b);
      return Concatenate();
    }
    default: PushString(nullptr, 0); return;
  }
}

bool ExprEvaluator::Truth(int32_t index) const {
  const ExprNode& n = node(index);
  switch (n.cls) {
    case ResultClass::kInteger: return Long(index) != 0;
    case ResultClass::kReal: return Real(index) != 0.0;
    case ResultClass::kString: {
      String(index);
      std::string_view s = TopView();
      bool any = !IsBlankText(s);
      PopString();
      return any;
    }
  }
  return false;
}

int ExprEvaluator::Compare(const ExprNode& n) const {
  ResultClass ca = node(n.a).cls, cb = node(n.b).cls;
  if (ca == ResultClass::kString && cb == ResultClass::kString) return CompareStringNodes(n.a, n.b);
  if (ca == ResultClass::kInteger && cb == ResultClass::kInteger) {
    int32_t a = Long(n.a), b = Long(n.b);
    return a < b ? -1 : (a > b ? 1 : 0);
  }
  double a = Real(n.a), b = Real(n.b);
  return a < b ? -1 : (a > b ? 1 : 0);
}

int ExprEvaluator::CompareStringNodes(int32_t a, int32_t b) const {
  String(a);
  String(b);
  return CompareTopStrings();
}

void ExprEvaluator::Subscripted(const ExprNode& n) const {
  int32_t start = Long(n.a);
  int32_t end = n.subscript == Subscript::kSlice ? Long(n.b) : start;
  RefPushString(*n.ref);
  std::string value = PopToStdString();
  int64_t size = static_cast<int64_t>(value.size());
  if (start < 1 || start > size || end < start) {
    PushString(nullptr, 0);
    return;
  }
  int64_t last = end > size ? size : end;
  PushCopy(std::string_view(value).substr(static_cast<size_t>(start - 1),
                                          static_cast<size_t>(last - start + 1)));
}

int32_t EvaluateLong(const ExprTree& tree) {
  if (!tree.program.code.empty()) {
    double v = EvaluateExprProgram(tree.program);
    return tree.result_class() == ResultClass::kInteger ? static_cast<int32_t>(v) : RealToLong(v);
  }
  return ExprEvaluator(tree).Long(tree.root_index);
}

double EvaluateReal(const ExprTree& tree) {
  if (!tree.program.code.empty()) return EvaluateExprProgram(tree.program);
  return ExprEvaluator(tree).Real(tree.root_index);
}

void EvaluateString(const ExprTree& tree) {
  ExprEvaluator(tree).String(tree.root_index);
  // The result may borrow a constant of the tree; it must outlive the tree.
  DetachTop();
}

bool EvaluateTruth(const ExprTree& tree) {
  if (!tree.program.code.empty()) return EvaluateExprProgram(tree.program) != 0;
  return ExprEvaluator(tree).Truth(tree.root_index);
}

std::string EvaluateToText(const ExprTree& tree) {
  EvaluateString(tree);
  return PopToStdString();
}

void AssignExpression(ValueRef* ref, const ExprTree& tree) {
  if (ref == nullptr) return;
  switch (tree.result_class()) {
    case ResultClass::kInteger: ref->AssignLong(EvaluateLong(tree)); break;
    case ResultClass::kReal: ref->AssignReal(EvaluateReal(tree)); break;
    case ResultClass::kString:
      EvaluateString(tree);
      ref->AssignString();
      break;
  }
}

}  // namespace kor

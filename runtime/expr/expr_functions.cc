// The built-in functions of run-time expressions.
#include "runtime/expr/expr_functions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/builtins/format_functions.h"
#include "runtime/builtins/string_functions.h"
#include "runtime/expr/expr_services.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/environment.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {
namespace {

constexpr int32_t kMaxMadeLength = 65535;

uint64_t g_random_state = 0x9E3779B97F4A7C15ull;

uint64_t NextRandom() {
  // xorshift64*: small, fast and good enough for RANDOM.
  uint64_t x = g_random_state;
  x ^= x >> 12;
  x ^= x << 25;
  x ^= x >> 27;
  g_random_state = x;
  return x * 0x2545F4914F6CDD1Dull;
}

std::string ArgText(const ExprEvaluator& ev, const ExprNode& call, int i) {
  ev.String(ev.arg(call, i));
  return PopToStdString();
}

int32_t Width(int32_t n) { return n > kMaxMadeLength ? kMaxMadeLength : n; }

bool IsLogical(const ExprNode& n) {
  if (n.kind == NodeKind::kUnary) return n.op == kExprNot;
  return n.kind == NodeKind::kBinary && n.op >= kExprEqual && n.op <= kExprXor;
}

// Compares argument nodes a and b as "=" and "<=" do.
int CompareArgs(const ExprEvaluator& ev, int32_t a, int32_t b) {
  ResultClass ca = ev.node(a).cls, cb = ev.node(b).cls;
  if (ca == ResultClass::kString && cb == ResultClass::kString) return ev.CompareStringNodes(a, b);
  if (ca == ResultClass::kInteger && cb == ResultClass::kInteger) {
    int32_t x = ev.Long(a), y = ev.Long(b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  double x = ev.Real(a), y = ev.Real(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// FORMAT(value, picture) through the picture module, the value taken by its
// class; the picture is evaluated after the value, so it is the top entry
// when the module pops it.
void Format(const ExprEvaluator& ev, int32_t value, int32_t picture) {
  const ExprNode& v = ev.node(value);
  switch (v.cls) {
    case ResultClass::kInteger: {
      int32_t n = ev.Long(value);
      ev.String(picture);
      return FormatLongOnStack(n);
    }
    case ResultClass::kReal:
      if (v.kind == NodeKind::kVariable && v.subscript == Subscript::kNone &&
          v.ref->EvaluationClass() == kClassDecimal) {
        // A decimal's exact digits, not their nearest double.
        v.ref->PushAsString();
        ev.String(picture);
        return FORMAT();
      } else {
        double r = ev.Real(value);
        ev.String(picture);
        return FormatRealOnStack(r);
      }
    case ResultClass::kString:
      ev.String(value);
      ev.String(picture);
      return FORMAT();
  }
}

}  // namespace

double RoundToOrder(double x, double order) {
  if (order == 0 || !std::isfinite(x) || !std::isfinite(order)) return x;
  order = std::fabs(order);
  // Judge the quotient on 15 significant digits so that binary noise such as
  // 1.005 / 0.01 = 100.49999999999999 does not decide the rounding.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", x / order);
  double q = std::strtod(buf, nullptr);
  double r = std::round(q);  // halves away from zero
  std::snprintf(buf, sizeof buf, "%.15g", r * order);
  return std::strtod(buf, nullptr);
}

void SeedRandom(uint64_t seed) { g_random_state = seed == 0 ? 0x9E3779B97F4A7C15ull : seed; }

void InitExpressionFunctions(int32_t arg) {
  if (arg == 0) SeedRandom(0x9E3779B97F4A7C15ull ^ ExprSeedFromClock());
}

int32_t CallLongFunction(const ExprEvaluator& ev, const ExprNode& call) {
  auto L = [&](int i) { return ev.Long(ev.arg(call, i)); };
  switch (call.op) {
    case kFnMemory: L(0); return ExprHeapFreeBytes();
    case kFnInstring: {
      ev.String(ev.arg(call, 0));
      ev.String(ev.arg(call, 1));
      int32_t step = call.argc > 2 ? L(2) : 1;
      int32_t start = call.argc > 3 ? L(3) : 1;
      return INSTRING(step, start);
    }
    case kFnLen: ev.String(ev.arg(call, 0)); return LEN();
    case kFnNumeric: ev.String(ev.arg(call, 0)); return NUMERIC();
    case kFnVal: ev.String(ev.arg(call, 0)); return VAL();
    case kFnInrange: {
      int32_t v = ev.arg(call, 0);
      return CompareArgs(ev, ev.arg(call, 1), v) <= 0 && CompareArgs(ev, v, ev.arg(call, 2)) <= 0;
    }
    case kFnInt: return RealToLong(ev.Real(ev.arg(call, 0)));
    case kFnRandom: {
      int64_t lo = L(0), hi = L(1);
      if (lo > hi) std::swap(lo, hi);
      uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
      return static_cast<int32_t>(lo + static_cast<int64_t>(NextRandom() % span));
    }
    case kFnBand: return L(0) & L(1);
    case kFnBor: return L(0) | L(1);
    case kFnBxor: return L(0) ^ L(1);
    case kFnBshift: {
      uint32_t v = static_cast<uint32_t>(L(0));
      int32_t n = L(1);
      if (n >= 32 || n <= -32) return 0;
      return static_cast<int32_t>(n >= 0 ? v << n : v >> -n);
    }
    case kFnToday: return TODAY();
    case kFnClock: return CLOCK();
    case kFnDate: {
      int32_t month = L(0), day = L(1);
      return DateFromParts(month, day, L(2));
    }
    case kFnDay: return DAY(L(0));
    case kFnMonth: return MONTH(L(0));
    case kFnYear: return YEAR(L(0));
    case kFnInlist: {
      int32_t v = ev.arg(call, 0);
      for (int i = 1; i < call.argc; ++i) {
        if (CompareArgs(ev, v, ev.arg(call, i)) == 0) return i;
      }
      return 0;
    }
    default: return 0;
  }
}

double CallRealFunction(const ExprEvaluator& ev, const ExprNode& call) {
  auto R = [&](int i) { return ev.Real(ev.arg(call, i)); };
  switch (call.op) {
    case kFnAbs: return std::fabs(R(0));
    case kFnLoge: return std::log(R(0));
    case kFnLog10: return std::log10(R(0));
    case kFnRound: return RoundToOrder(R(0), R(1));
    case kFnSqrt: return std::sqrt(R(0));
    case kFnSin: return std::sin(R(0));
    case kFnCos: return std::cos(R(0));
    case kFnTan: return std::tan(R(0));
    case kFnAsin: return std::asin(R(0));
    case kFnAcos: return std::acos(R(0));
    case kFnAtan: return std::atan(R(0));
    default: return 0;
  }
}

void CallStringFunction(const ExprEvaluator& ev, const ExprNode& call) {
  auto L = [&](int i) { return ev.Long(ev.arg(call, i)); };
  auto S = [&](int i) { ev.String(ev.arg(call, i)); };
  switch (call.op) {
    case kFnSub: {
      S(0);
      int32_t start = L(1), length = L(2);
      return SUB(start, length);
    }
    case kFnClip: S(0); return CLIP();
    case kFnAll: {
      S(0);
      return ALL(Width(L(1)));
    }
    case kFnChr: return CHR(L(0));
    case kFnLeft:
    case kFnRight:
    case kFnCenter: {
      S(0);
      // A negative width (also an explicit one) is the text's own length.
      int32_t n = call.argc > 1 ? Width(L(1)) : -1;
      if (call.op == kFnLeft) return LEFT(n);
      if (call.op == kFnRight) return RIGHT(n);
      return CENTER(n);
    }
    case kFnUpper: S(0); return UPPER();
    case kFnLower: S(0); return LOWER();
    case kFnFormat: return Format(ev, ev.arg(call, 0), ev.arg(call, 1));
    case kFnDeformat:
      S(0);
      S(1);
      return DEFORMAT();
    case kFnAge: {
      int32_t birth = L(0);
      return AGE(birth, call.argc > 1 ? L(1) : -1);
    }
    case kFnChoose: {
      int values = call.argc - 1;
      int32_t selector = ev.arg(call, 0);
      int pick;
      if (values == 2 && IsLogical(ev.node(selector))) {
        pick = ev.Truth(selector) ? 1 : 2;
      } else {
        int32_t n = ev.Long(selector);
        pick = n >= 1 && n <= values ? n : values;
      }
      return ev.String(ev.arg(call, pick));
    }
    case kFnGetini: {
      std::string section = ArgText(ev, call, 0);
      std::string entry = ArgText(ev, call, 1);
      std::string def = call.argc > 2 ? ArgText(ev, call, 2) : std::string();
      std::string file = call.argc > 3 ? ArgText(ev, call, 3) : std::string();
      return PushCopy(GetIni(section, entry, def, file));
    }
    default: return PushString(nullptr, 0);
  }
}

}  // namespace kor

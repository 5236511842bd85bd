// The runtime services that expression evaluation uses.
#include "runtime/expr/expr_services.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

#include "runtime/locale/collation.h"
#include "runtime/memory/memory.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"
#include "runtime/values/data_types.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {

bool IsLetterChar(unsigned char c) {
  if (IsAsciiLetter(static_cast<char>(c))) return true;
  return c >= 128 && (CharClassOf(c) & (kCharUpper | kCharLower)) != 0;
}

// ---- bound variables ----

void* RefFastAddress(ValueRef& ref) {
  int32_t type = ref.TypeCode();
  return type == kTypeLong || type == kTypeReal ? ref.Address() : nullptr;
}

void RefPushString(ValueRef& ref) {
  if (ref.EvaluationClass() == kClassReal) return PushCopy(RealToText(ref.AsReal()));
  ref.PushAsString();
}

// ---- conversions ----

double PopStringAsRealValue() {
  double v = PopStringAsReal();
  return std::isfinite(v) ? v : 0.0;
}

int32_t RealToLong(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::string RealToText(double v) {
  char buf[40];
  if (v == 0 || !std::isfinite(v)) v = 0;  // no "-0", and a non-finite real is 0
  int n = std::snprintf(buf, sizeof buf, "%.15g", v);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// ---- the runtime's state ----

uint64_t ExprSeedFromClock() {
  return static_cast<uint64_t>(std::time(nullptr)) * 1000003u + OsTickCount();
}

int32_t ExprHeapFreeBytes() {
  size_t free_bytes = GetHeapStats().free_bytes;
  return free_bytes > 2147483647u ? 2147483647 : static_cast<int32_t>(free_bytes);
}

}  // namespace kor

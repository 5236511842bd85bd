// The real family of value references.
#include "runtime/values/value_ref_real.h"

#include <float.h>
#include <math.h>

#include <charconv>

#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"

namespace kor {

void PushRealAsString(double value, bool single) {
  char text[40];
  std::to_chars_result r = single
                               ? std::to_chars(text, text + sizeof text, static_cast<float>(value))
                               : std::to_chars(text, text + sizeof text, value);
  PushCopy(std::string_view(text, static_cast<size_t>(r.ptr - text)));
}

// ---- the family ----

int RealFamilyRef::CompareLong(int32_t value) {
  double v = Load();
  return v < value ? -1 : (v > value ? 1 : 0);
}

void RealFamilyRef::AssignString() { Store(PopStringAsReal()); }

void RealFamilyRef::PushAsString() { PushRealAsString(Load(), SinglePrecision()); }

void RealFamilyRef::AssignDecimal() { Store(PopDecimalAsReal()); }

void RealFamilyRef::PushAsDecimal() { PushRealDecimal(Load()); }

void RealFamilyRef::SetExtreme(int32_t direction) {
  Store(direction == 0 ? 0.0 : (direction < 0 ? -Largest() : Largest()));
}

// ---- the storage forms ----

double RealForm::Largest() { return DBL_MAX; }

void SRealForm::Store(void* p, double value) {
  float v;
  if (isfinite(value) && fabs(value) > FLT_MAX) {
    v = value > 0 ? HUGE_VALF : -HUGE_VALF;
  } else {
    v = static_cast<float>(value);
  }
  StoreSReal(p, v);
}

double SRealForm::Largest() { return FLT_MAX; }

// Mantissa all ones, exponent byte 255 (bias 129).
double BFloat4Form::Largest() { return ldexp(2.0 - ldexp(1.0, -23), 255 - 129); }

double BFloat8Form::Largest() { return ldexp(2.0 - ldexp(1.0, -52), 255 - 129); }

}  // namespace kor

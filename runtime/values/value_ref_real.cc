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

// ---- REAL ----

int32_t RealRef::TypeCode() const { return kTypeReal; }
ValueRef* RealRef::Clone() const { return NewRef<RealRef>(address_); }
double RealRef::Load() const { return address_ == nullptr ? 0 : LoadReal(address_); }
void RealRef::Store(double value) {
  if (address_ != nullptr) StoreReal(address_, value);
}
double RealRef::Largest() const { return DBL_MAX; }

// ---- SREAL ----

int32_t SRealRef::TypeCode() const { return kTypeSReal; }
ValueRef* SRealRef::Clone() const { return NewRef<SRealRef>(address_); }
double SRealRef::Load() const { return address_ == nullptr ? 0 : LoadSReal(address_); }
void SRealRef::Store(double value) {
  // Beyond the single range the value becomes an infinity, as the
  // processor's conversion gives it (the language leaves that conversion
  // undefined, so it is spelt out).
  float v;
  if (isfinite(value) && fabs(value) > FLT_MAX) {
    v = value > 0 ? HUGE_VALF : -HUGE_VALF;
  } else {
    v = static_cast<float>(value);
  }
  if (address_ != nullptr) StoreSReal(address_, v);
}
double SRealRef::Largest() const { return FLT_MAX; }

// ---- BFLOAT4 ----

int32_t BFloat4Ref::TypeCode() const { return kTypeBFloat4; }
ValueRef* BFloat4Ref::Clone() const { return NewRef<BFloat4Ref>(address_); }
double BFloat4Ref::Load() const { return address_ == nullptr ? 0 : LoadBFloat4(address_); }
void BFloat4Ref::Store(double value) {
  if (address_ != nullptr) StoreBFloat4(address_, value);
}
// Mantissa all ones, exponent byte 255 (bias 129).
double BFloat4Ref::Largest() const { return ldexp(2.0 - ldexp(1.0, -23), 255 - 129); }

// ---- BFLOAT8 ----

int32_t BFloat8Ref::TypeCode() const { return kTypeBFloat8; }
ValueRef* BFloat8Ref::Clone() const { return NewRef<BFloat8Ref>(address_); }
double BFloat8Ref::Load() const { return address_ == nullptr ? 0 : LoadBFloat8(address_); }
void BFloat8Ref::Store(double value) {
  if (address_ != nullptr) StoreBFloat8(address_, value);
}
// The largest double the form holds: 53 bits of ones, exponent byte 255.
double BFloat8Ref::Largest() const { return ldexp(2.0 - ldexp(1.0, -52), 255 - 129); }

}  // namespace kor

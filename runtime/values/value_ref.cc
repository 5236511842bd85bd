// The operations shared by every value reference, MakeValueRef and the
// typing errors.
#include "runtime/values/value_ref.h"

#include <math.h>
#include <string.h>

#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/memory/memory.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref_decimal.h"
#include "runtime/values/value_ref_integer.h"
#include "runtime/values/value_ref_real.h"
#include "runtime/values/value_ref_string.h"

namespace kor {

namespace {

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Compares a with b in the given evaluation class.
int CompareInClass(ValueRef& a, ValueRef& b, int32_t evaluation_class) {
  switch (evaluation_class) {
    case kClassString:
      a.PushAsString();
      b.PushAsString();
      return CompareTopStrings();
    case kClassDecimal:
      a.PushAsDecimal();
      b.PushAsDecimal();
      return DecimalCompare();
    case kClassReal: return Sign(a.AsReal(), b.AsReal());
    default: {
      int32_t x = a.AsLong(), y = b.AsLong();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
  }
}

// The class in which arithmetic on a and b is done.
int32_t NumericClass(const ValueRef& a, const ValueRef& b) {
  int32_t ca = a.EvaluationClass(), cb = b.EvaluationClass();
  if (ca == kClassReal || cb == kClassReal) return kClassReal;
  if (ca == kClassInteger && cb == kClassInteger) return kClassInteger;
  return kClassDecimal;
}

void Arithmetic(ValueRef& a, ValueRef& b, bool subtract) {
  switch (NumericClass(a, b)) {
    case kClassReal:
      a.AssignReal(subtract ? a.AsReal() - b.AsReal() : a.AsReal() + b.AsReal());
      break;
    case kClassDecimal:
      a.PushAsDecimal();
      b.PushAsDecimal();
      subtract ? DecimalSubtract() : DecimalAdd();
      a.AssignDecimal();
      break;
    default: {
      // LONG arithmetic wraps.
      auto x = static_cast<uint32_t>(a.AsLong()), y = static_cast<uint32_t>(b.AsLong());
      a.AssignLong(static_cast<int32_t>(subtract ? x - y : x + y));
    }
  }
}

int32_t ClampToLong(double v) {
  if (isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

}  // namespace

// ---- operations shared by every class ----

int ValueRef::CompareRef(ValueRef& other) {
  return CompareInClass(*this, other, other.EvaluationClass());
}

void ValueRef::Destroy() {
  Release();
  void* block = this;
  this->~ValueRef();
  Free(block);
}

void ValueRef::SetOwnsStorage(bool owns) {
  flags_ = owns ? static_cast<uint8_t>(flags_ | kRefOwnsStorage)
                : static_cast<uint8_t>(flags_ & ~kRefOwnsStorage);
}

void ValueRef::Release() {
  if ((flags_ & kRefOwnsStorage) != 0) Free(address_);
  address_ = nullptr;
  flags_ = 0;
}

void* ValueRef::Address() const { return address_; }

ValueRef* ValueRef::Element(int32_t) {
  TypingError(8);
  return nullptr;
}

ValueRef* ValueRef::Slice(int32_t, int32_t) {
  TypingError(8);
  return nullptr;
}

int32_t ValueRef::ElementCount() {
  TypingError(6);
  return 0;
}

int32_t ValueRef::Dimensions() {
  TypingError(6);
  return 0;
}

int ValueRef::CompareCommon(ValueRef& other) {
  return CompareInClass(*this, other, CommonClass(*this, other));
}

void ValueRef::BeginAccess() {}
void ValueRef::EndAccess() {}

void* ValueRef::ArrayBase() {
  TypingError(7);
  return nullptr;
}

void ValueRef::AddRef(ValueRef& other) { Arithmetic(*this, other, false); }
void ValueRef::SubtractRef(ValueRef& other) { Arithmetic(*this, other, true); }

void ValueRef::SetAddress(void* address) {
  // Storage the reference owned is not reachable any more once replaced.
  if ((flags_ & kRefOwnsStorage) != 0 && address != address_) {
    Free(address_);
    flags_ = static_cast<uint8_t>(flags_ & ~kRefOwnsStorage);
  }
  address_ = static_cast<uint8_t*>(address);
}

bool ValueRef::MatchesField(int32_t type_code, int32_t size, int32_t) const {
  return type_code == TypeCode() && size == Size();
}

void ValueRef::CopyFrom(ValueRef& other) {
  if (other.TypeCode() == TypeCode() && other.Size() == Size() && address_ != nullptr &&
      other.Address() != nullptr) {
    memmove(address_, other.Address(), static_cast<size_t>(Size()));
    return;
  }
  switch (other.EvaluationClass()) {
    case kClassString:
      other.PushAsString();
      AssignString();
      break;
    case kClassDecimal:
      other.PushAsDecimal();
      AssignDecimal();
      break;
    case kClassReal: AssignReal(other.AsReal()); break;
    default: AssignLong(other.AsLong());
  }
}

int32_t ValueRef::RawStore(void* buffer) const {
  int32_t n = Size();
  if (n <= 0) return 0;
  if (address_ != nullptr) {
    memcpy(buffer, address_, static_cast<size_t>(n));
  } else {
    memset(buffer, 0, static_cast<size_t>(n));
  }
  return n;
}

// ---- free functions ----

ValueRef* MakeValueRef(void* address, int32_t type_code, int32_t size, int32_t places) {
  switch (type_code) {
    case kTypeByte: return NewRef<ByteRef>(address);
    case kTypeShort: return NewRef<ShortRef>(address);
    case kTypeUShort: return NewRef<UShortRef>(address);
    case kTypeDate: return NewRef<DateRef>(address);
    case kTypeTime: return NewRef<TimeRef>(address);
    case kTypeLong: return NewRef<LongRef>(address);
    case kTypeULong: return NewRef<ULongRef>(address);
    case kTypeSReal: return NewRef<SRealRef>(address);
    case kTypeReal: return NewRef<RealRef>(address);
    case kTypeBFloat4: return NewRef<BFloat4Ref>(address);
    case kTypeBFloat8: return NewRef<BFloat8Ref>(address);
    case kTypeDecimal:
    case kTypePDecimal:
      // 2L-1 digits of which `places` are decimal places; at most 31 digits.
      if (size < 1 || size > 16 || places < 0 || places > 2 * size - 1) break;
      if (type_code == kTypeDecimal) return NewRef<DecimalRef>(address, size, places);
      return NewRef<PDecimalRef>(address, size, places);
    case kTypeString:
      if (size < 0) break;
      return NewRef<StringRef>(address, size);
    case kTypeCString:
      if (size < 1) break;  // room for the zero byte
      return NewRef<CStringRef>(address, size);
    case kTypePString:
      if (size < 1 || size > 256) break;  // a length byte counts up to 255
      return NewRef<PStringRef>(address, size);
    case kTypeGroup:
      if (size < 0) break;
      return NewRef<CodedRef>(address, size, kTypeGroup);
    case kTypeUntypedString:
      if (size < 0) break;
      return NewRef<AnyRef>(address, size);
    default: break;
  }
  StringStackError();
  return nullptr;
}

void ValueRefAllocationFailed() { StringStackError(); }

void DestroyValueRef(ValueRef* ref) {
  if (ref != nullptr) ref->Destroy();
}

int32_t CommonClass(const ValueRef& a, const ValueRef& b) {
  int32_t ca = a.EvaluationClass(), cb = b.EvaluationClass();
  if (ca == kClassString || cb == kClassString) return kClassString;
  if (ca == kClassReal || cb == kClassReal) return kClassReal;
  if (ca == kClassDecimal || cb == kClassDecimal) return kClassDecimal;
  return kClassInteger;
}

void TypingError(int32_t code) { RaiseRuntimeError(code, "Parameter typing error"); }

bool RequireExactType(const ValueRef& ref, int32_t type_code, int32_t size) {
  if (ref.TypeCode() != type_code) {
    TypingError(9);
    return false;
  }
  if (ref.Size() != size) {
    TypingError(11);
    return false;
  }
  return true;
}

int32_t TruncatedLong(double value) { return ClampToLong(trunc(value)); }

int32_t TolerantLong(double value) {
  if (isnan(value)) return 0;
  double cut = trunc(value);
  if (value == cut) return ClampToLong(cut);
  double next = value > 0 ? cut + 1 : cut - 1;
  double difference = fabs(value - next);
  int e = ilogb(difference);
  bool negligible = e < ilogb(value) - 50 && e < ilogb(next) - 50;
  return ClampToLong(negligible ? next : cut);
}

}  // namespace kor

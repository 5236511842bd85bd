// The integer family of value references.
#include "runtime/values/value_ref_integer.h"

#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"

namespace kor {

// ---- the family ----

int IntegerRef::CompareLong(int32_t value) {
  int32_t v = Load();
  return v < value ? -1 : (v > value ? 1 : 0);
}

void IntegerRef::AssignString() { Store(TolerantLong(PopStringAsReal())); }

void IntegerRef::PushAsString() { PushLongAsString(Load()); }

void IntegerRef::AssignDecimal() { Store(PopDecimalAsLong()); }

void IntegerRef::PushAsDecimal() { PushLongDecimal(Load()); }

void IntegerRef::SetExtreme(int32_t direction) {
  Store(direction == 0 ? 0 : (direction < 0 ? Lowest() : Highest()));
}

// ---- DATE ----

int32_t DateRef::TypeCode() const { return kTypeDate; }
ValueRef* DateRef::Clone() const { return NewRef<DateRef>(address_); }
int32_t DateRef::Load() const { return address_ == nullptr ? 0 : LoadDate(address_); }
void DateRef::Store(int32_t value) {
  if (address_ != nullptr) StoreDate(address_, value);
}
int32_t DateRef::Highest() const { return -1; }  // not reached: SetExtreme writes the bits
void DateRef::SetExtreme(int32_t direction) {
  if (direction > 0) {
    if (address_ != nullptr) StoreULong(address_, 0xFFFFFFFFu);
    return;
  }
  Store(0);
}

// ---- TIME ----

int32_t TimeRef::TypeCode() const { return kTypeTime; }
ValueRef* TimeRef::Clone() const { return NewRef<TimeRef>(address_); }
int32_t TimeRef::Load() const { return address_ == nullptr ? 0 : LoadTime(address_); }
void TimeRef::Store(int32_t value) {
  if (address_ != nullptr) StoreTime(address_, value);
}
int32_t TimeRef::Highest() const { return -1; }  // not reached: SetExtreme writes the bits
void TimeRef::SetExtreme(int32_t direction) {
  if (direction > 0) {
    if (address_ != nullptr) StoreULong(address_, 0xFFFFFFFFu);
    return;
  }
  Store(0);
}

}  // namespace kor

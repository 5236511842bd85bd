// The decimal family of value references.
#include "runtime/values/value_ref_decimal.h"

#include <string.h>

#include <string>

#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"

namespace kor {

// ---- the family ----

void DecimalFamilyRef::AssignLong(int32_t value) {
  PushLongDecimal(value);
  PopFromStack();
}

void DecimalFamilyRef::AssignReal(double value) {
  PushRealDecimal(value);
  PopFromStack();
}

void DecimalFamilyRef::AssignRef(ValueRef& other) {
  other.PushAsDecimal();
  PopFromStack();
}

int DecimalFamilyRef::CompareLong(int32_t value) {
  PushOnStack();
  PushLongDecimal(value);
  return DecimalCompare();
}

void DecimalFamilyRef::AssignString() {
  PopStringAsDecimal();
  PopFromStack();
}

void DecimalFamilyRef::PushAsString() {
  PushOnStack();
  std::string text = DecimalToText(places_);
  DropDecimal();
  PushCopy(text);
}

double DecimalFamilyRef::AsReal() {
  PushOnStack();
  return PopDecimalAsReal();
}

int32_t DecimalFamilyRef::AsLong() {
  PushOnStack();
  return PopDecimalAsLong();
}

void DecimalFamilyRef::SetExtreme(int32_t direction) {
  if (direction == 0) {
    AssignLong(0);
    return;
  }
  if (address_ != nullptr) StoreExtreme(direction > 0, direction < 0);
}

int DecimalFamilyRef::IsZero() {
  PushOnStack();
  return PopDecimalAsBoolean() == 0 ? 1 : 0;
}

bool DecimalFamilyRef::MatchesField(int32_t type_code, int32_t size, int32_t places) const {
  return type_code == TypeCode() && size == size_ && places == places_;
}

// ---- DECIMAL ----

int32_t DecimalRef::TypeCode() const { return kTypeDecimal; }
ValueRef* DecimalRef::Clone() const { return NewRef<DecimalRef>(address_, size_, places_); }

void DecimalRef::PushOnStack() const {
  if (address_ == nullptr) {
    PushLongDecimal(0);
    return;
  }
  PushDecimal(address_, static_cast<uint32_t>(size_), static_cast<uint32_t>(places_));
}

void DecimalRef::PopFromStack() {
  if (address_ == nullptr) {
    DropDecimal();
    return;
  }
  PopDecimal(address_, static_cast<uint32_t>(size_), static_cast<uint32_t>(places_));
}

void DecimalRef::StoreExtreme(bool, bool negative) {
  // Sign nibble, then 2*size-1 nines.
  memset(address_, 0x99, static_cast<size_t>(size_));
  address_[0] = negative ? 0xF9 : 0x09;
}

// ---- PDECIMAL ----

int32_t PDecimalRef::TypeCode() const { return kTypePDecimal; }
ValueRef* PDecimalRef::Clone() const { return NewRef<PDecimalRef>(address_, size_, places_); }

void PDecimalRef::PushOnStack() const {
  if (address_ == nullptr) {
    PushLongDecimal(0);
    return;
  }
  PushPDecimal(address_, static_cast<uint32_t>(size_), static_cast<uint32_t>(places_));
}

void PDecimalRef::PopFromStack() {
  if (address_ == nullptr) {
    DropDecimal();
    return;
  }
  PopPDecimal(address_, static_cast<uint32_t>(size_), static_cast<uint32_t>(places_));
}

void PDecimalRef::StoreExtreme(bool, bool negative) {
  // 2*size-1 nines, then the sign nibble.
  memset(address_, 0x99, static_cast<size_t>(size_));
  address_[size_ - 1] = negative ? 0x9D : 0x9F;
}

// ---- ULONG ----

int32_t ULongRef::TypeCode() const { return kTypeULong; }
ValueRef* ULongRef::Clone() const { return NewRef<ULongRef>(address_); }

void ULongRef::PushOnStack() const {
  PushULongDecimal(address_ == nullptr ? 0 : LoadULong(address_));
}

void ULongRef::PopFromStack() {
  uint32_t v = PopDecimalAsULong();
  if (address_ != nullptr) StoreULong(address_, v);
}

void ULongRef::StoreExtreme(bool highest, bool) { memset(address_, highest ? 0xFF : 0x00, 4); }

}  // namespace kor

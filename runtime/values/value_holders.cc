// Value holders: references that own their storage.
#include "runtime/values/value_holders.h"

#include <string.h>

#include "runtime/memory/memory.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

int32_t HolderSize(int32_t size) { return size < 1 ? 1 : (size > 16 ? 16 : size); }

int32_t HolderPlaces(int32_t size, int32_t places) {
  int32_t digits = 2 * HolderSize(size) - 1;
  return places < 0 ? 0 : (places > digits ? digits : places);
}

}  // namespace

LongValue::LongValue(int32_t value) : LongRef(storage_) { AssignLong(value); }

ValueRef* LongValue::Clone() const {
  return NewRef<LongValue>(const_cast<LongValue*>(this)->AsLong());
}

RealValue::RealValue(double value) : RealRef(storage_) { AssignReal(value); }

ValueRef* RealValue::Clone() const {
  return NewRef<RealValue>(const_cast<RealValue*>(this)->AsReal());
}

DecimalValue::DecimalValue(int32_t size, int32_t places)
    : DecimalRef(storage_, HolderSize(size), HolderPlaces(size, places)) {
  memset(storage_, 0, sizeof storage_);
}

ValueRef* DecimalValue::Clone() const {
  DecimalValue* copy = NewRef<DecimalValue>(size_, places_);
  if (copy != nullptr && address_ != nullptr) memcpy(copy->storage_, storage_, sizeof storage_);
  return copy;
}

StringValue::StringValue() : StringRef(nullptr, 0) {}

ValueRef* StringValue::Clone() const {
  StringValue* copy = NewRef<StringValue>();
  if (copy == nullptr) return nullptr;
  PushCopy(Text());
  copy->AssignString();
  return copy;
}

void StringValue::AssignString() {
  HeapString text = {nullptr, 0};
  PopToHeap(&text);
  // The popped text may have been borrowed from this holder's own block:
  // PopToHeap copied it before the block is freed here.
  Release();
  address_ = reinterpret_cast<uint8_t*>(text.text);
  size_ = text.length;
  flags_ = kRefOwnsStorage;
}

void StringValue::Release() {
  StringRef::Release();
  size_ = 0;
}

}  // namespace kor

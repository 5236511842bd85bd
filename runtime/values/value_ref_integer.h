// The integer family of value references: LONG, DATE, TIME, USHORT, SHORT
// and BYTE variables, whose value in expressions is a 32-bit integer (a
// DATE's day count, a TIME's hundredths since midnight plus 1).
#pragma once

#include <cstdint>
#include <limits>

#include "runtime/values/data_types.h"
#include "runtime/values/value_ref.h"

namespace kor {

class IntegerRef : public ValueRef {
 public:
  void AssignLong(int32_t value) override { Store(value); }
  void AssignReal(double value) override { Store(TruncatedLong(value)); }
  void AssignRef(ValueRef& other) override { Store(other.AsLong()); }
  int CompareLong(int32_t value) override;
  void AssignString() override;
  void PushAsString() override;
  void AssignDecimal() override;
  void PushAsDecimal() override;
  double AsReal() override { return Load(); }
  int32_t AsLong() override { return Load(); }
  void SetExtreme(int32_t direction) override;
  int32_t EvaluationClass() const override { return kClassInteger; }
  int IsZero() override { return Load() == 0 ? 1 : 0; }
  int IsEmpty() override { return Load() == 0 ? 1 : 0; }

 protected:
  using ValueRef::ValueRef;
  // The stored value; a null address reads 0 and ignores writes. Store
  // keeps what the storage form can hold (BYTE, SHORT, USHORT wrap).
  virtual int32_t Load() const = 0;
  virtual void Store(int32_t value) = 0;
  // The lowest and highest values of the type.
  virtual int32_t Lowest() const = 0;
  virtual int32_t Highest() const = 0;
};

// LONG, SHORT, USHORT and BYTE: the value is the stored integer, read and
// written through the storage form's own functions.
template <int32_t kType, typename T, T (*kLoad)(const void*), void (*kStore)(void*, T)>
class StoredIntegerRef : public IntegerRef {
 public:
  explicit StoredIntegerRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override { return kType; }
  ValueRef* Clone() const override { return NewRef<StoredIntegerRef>(address_); }
  int32_t Size() const override { return sizeof(T); }

 protected:
  int32_t Load() const override { return address_ == nullptr ? 0 : kLoad(address_); }
  void Store(int32_t value) override {
    if (address_ != nullptr) kStore(address_, static_cast<T>(value));
  }
  int32_t Lowest() const override { return std::numeric_limits<T>::min(); }
  int32_t Highest() const override { return std::numeric_limits<T>::max(); }
};

inline uint8_t LoadByteAt(const void* p) { return *static_cast<const uint8_t*>(p); }
inline void StoreByteAt(void* p, uint8_t v) { *static_cast<uint8_t*>(p) = v; }

using LongRef = StoredIntegerRef<kTypeLong, int32_t, LoadLong, StoreLong>;
using ShortRef = StoredIntegerRef<kTypeShort, int16_t, LoadShort, StoreShort>;
using UShortRef = StoredIntegerRef<kTypeUShort, uint16_t, LoadUShort, StoreUShort>;
using ByteRef = StoredIntegerRef<kTypeByte, uint8_t, LoadByteAt, StoreByteAt>;

// DATE: the value is the day count (day 4 = 1 January 1801, 0 = no date).
class DateRef : public IntegerRef {
 public:
  explicit DateRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 4; }
  void SetExtreme(int32_t direction) override;  // highest: all bits set

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return 0; }
  int32_t Highest() const override;
};

// TIME: the value is hundredths of a second since midnight plus 1 (0 = none).
class TimeRef : public IntegerRef {
 public:
  explicit TimeRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 4; }
  void SetExtreme(int32_t direction) override;  // highest: all bits set

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return 0; }
  int32_t Highest() const override;
};

}  // namespace kor

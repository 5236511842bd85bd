// The integer family of value references: LONG, DATE, TIME, USHORT, SHORT
// and BYTE variables, whose value in expressions is a 32-bit integer (a
// DATE's day count, a TIME's hundredths since midnight plus 1).
#pragma once

#include <cstdint>

#include "runtime/value_ref.h"

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

class LongRef : public IntegerRef {
 public:
  explicit LongRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 4; }

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return -2147483647 - 1; }
  int32_t Highest() const override { return 2147483647; }
};

class ShortRef : public IntegerRef {
 public:
  explicit ShortRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 2; }

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return -32768; }
  int32_t Highest() const override { return 32767; }
};

class UShortRef : public IntegerRef {
 public:
  explicit UShortRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 2; }

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return 0; }
  int32_t Highest() const override { return 65535; }
};

class ByteRef : public IntegerRef {
 public:
  explicit ByteRef(void* address) : IntegerRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 1; }

 protected:
  int32_t Load() const override;
  void Store(int32_t value) override;
  int32_t Lowest() const override { return 0; }
  int32_t Highest() const override { return 255; }
};

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

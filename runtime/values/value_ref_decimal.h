// The decimal family of value references: DECIMAL, PDECIMAL and ULONG
// variables, whose arithmetic is done exactly on the decimal stack.
#pragma once

#include <cstdint>

#include "runtime/values/value_ref.h"

namespace kor {

class DecimalFamilyRef : public ValueRef {
 public:
  void AssignLong(int32_t value) override;
  void AssignReal(double value) override;
  void AssignRef(ValueRef& other) override;
  int CompareLong(int32_t value) override;
  void AssignString() override;
  // Pushes the value with its declared places ("-1.50" for DECIMAL(5,2)).
  void PushAsString() override;
  void AssignDecimal() override { PopFromStack(); }
  void PushAsDecimal() override { PushOnStack(); }
  double AsReal() override;
  // The integer part; values beyond the LONG range wrap.
  int32_t AsLong() override;
  // Lowest and highest: all digits 9 (ULONG: 0 and 4294967295).
  void SetExtreme(int32_t direction) override;
  int32_t EvaluationClass() const override { return kClassDecimal; }
  int IsZero() override;
  int IsEmpty() override { return IsZero(); }
  int32_t Size() const override { return size_; }
  int32_t Places() const { return places_; }
  bool MatchesField(int32_t type_code, int32_t size, int32_t places) const override;

 protected:
  DecimalFamilyRef(void* address, int32_t size, int32_t places)
      : ValueRef(address), size_(size), places_(places) {}
  // Push the stored value / pop the top into the storage; a null address
  // pushes 0 and drops what it pops.
  virtual void PushOnStack() const = 0;
  virtual void PopFromStack() = 0;
  virtual void StoreExtreme(bool highest, bool negative) = 0;

  int32_t size_;    // declared size in bytes
  int32_t places_;  // decimal places (ULONG: 0)
};

// DECIMAL(2*size-1, places): the sign in the first nibble.
class DecimalRef : public DecimalFamilyRef {
 public:
  DecimalRef(void* address, int32_t size, int32_t places)
      : DecimalFamilyRef(address, size, places) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;

 protected:
  void PushOnStack() const override;
  void PopFromStack() override;
  void StoreExtreme(bool highest, bool negative) override;
};

// PDECIMAL(2*size-1, places): the sign in the last nibble.
class PDecimalRef : public DecimalFamilyRef {
 public:
  PDecimalRef(void* address, int32_t size, int32_t places)
      : DecimalFamilyRef(address, size, places) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;

 protected:
  void PushOnStack() const override;
  void PopFromStack() override;
  void StoreExtreme(bool highest, bool negative) override;
};

// ULONG: 4 bytes unsigned, a decimal without places: stored values are
// rounded half up to a whole number, then wrap modulo 2^32.
class ULongRef : public DecimalFamilyRef {
 public:
  explicit ULongRef(void* address) : DecimalFamilyRef(address, 4, 0) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;

 protected:
  void PushOnStack() const override;
  void PopFromStack() override;
  void StoreExtreme(bool highest, bool negative) override;
};

}  // namespace kor

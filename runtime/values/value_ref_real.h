// The real family of value references: REAL, SREAL, BFLOAT4 and BFLOAT8
// variables, whose value in expressions is a double.
#pragma once

#include <cstdint>

#include "runtime/values/value_ref.h"

namespace kor {

class RealFamilyRef : public ValueRef {
 public:
  void AssignLong(int32_t value) override { Store(value); }
  void AssignReal(double value) override { Store(value); }
  void AssignRef(ValueRef& other) override { Store(other.AsReal()); }
  int CompareLong(int32_t value) override;
  void AssignString() override;
  // Pushes the shortest text that reads back as the same stored value ("0.1",
  // "-2.5", "1e+20").
  void PushAsString() override;
  void AssignDecimal() override;
  void PushAsDecimal() override;
  double AsReal() override { return Load(); }
  int32_t AsLong() override { return TruncatedLong(Load()); }
  // Lowest and highest: the finite limits of the storage form.
  void SetExtreme(int32_t direction) override;
  int32_t EvaluationClass() const override { return kClassReal; }
  int IsZero() override { return Load() == 0 ? 1 : 0; }
  int IsEmpty() override { return Load() == 0 ? 1 : 0; }

 protected:
  using ValueRef::ValueRef;
  // The stored value; a null address reads 0 and ignores writes.
  virtual double Load() const = 0;
  virtual void Store(double value) = 0;
  // The largest finite value of the storage form.
  virtual double Largest() const = 0;
  // Whether the form holds no more than a single-precision value (its text
  // needs fewer digits).
  virtual bool SinglePrecision() const { return false; }
};

class RealRef : public RealFamilyRef {
 public:
  explicit RealRef(void* address) : RealFamilyRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 8; }

 protected:
  double Load() const override;
  void Store(double value) override;
  double Largest() const override;
};

class SRealRef : public RealFamilyRef {
 public:
  explicit SRealRef(void* address) : RealFamilyRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 4; }

 protected:
  double Load() const override;
  void Store(double value) override;
  double Largest() const override;
  bool SinglePrecision() const override { return true; }
};

class BFloat4Ref : public RealFamilyRef {
 public:
  explicit BFloat4Ref(void* address) : RealFamilyRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 4; }

 protected:
  double Load() const override;
  void Store(double value) override;
  double Largest() const override;
  bool SinglePrecision() const override { return true; }
};

class BFloat8Ref : public RealFamilyRef {
 public:
  explicit BFloat8Ref(void* address) : RealFamilyRef(address) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  int32_t Size() const override { return 8; }

 protected:
  double Load() const override;
  void Store(double value) override;
  double Largest() const override;
};

}  // namespace kor

// The real family of value references: REAL, SREAL, BFLOAT4 and BFLOAT8
// variables, whose value in expressions is a double.
//
// The family's behaviour lives in RealFamilyRef; the four types differ only
// in their storage form, which a small traits struct per type gives to the
// StoredRealRef template: type code, size, load, store and limits.
#pragma once

#include <cstdint>

#include "runtime/values/data_types.h"
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
  virtual bool SinglePrecision() const = 0;
};

// A real type whose value is its storage form read as a double. `Form`
// gives: kType (type code), kSize (bytes), kSingle (single precision),
// Load(p), Store(p, value) and Largest() (the largest finite value).
template <class Form>
class StoredRealRef : public RealFamilyRef {
 public:
  explicit StoredRealRef(void* address) : RealFamilyRef(address) {}
  int32_t TypeCode() const override { return Form::kType; }
  ValueRef* Clone() const override { return NewRef<StoredRealRef>(address_); }
  int32_t Size() const override { return Form::kSize; }

 protected:
  double Load() const override { return address_ == nullptr ? 0 : Form::Load(address_); }
  void Store(double value) override {
    if (address_ != nullptr) Form::Store(address_, value);
  }
  double Largest() const override { return Form::Largest(); }
  bool SinglePrecision() const override { return Form::kSingle; }
};

// REAL: an IEEE double.
struct RealForm {
  static constexpr int32_t kType = kTypeReal;
  static constexpr int32_t kSize = 8;
  static constexpr bool kSingle = false;
  static double Load(const void* p) { return LoadReal(p); }
  static void Store(void* p, double value) { StoreReal(p, value); }
  static double Largest();
};

// SREAL: an IEEE single. Beyond the single range a value stores as an
// infinity of its sign, as the processor's conversion gives it (the language
// leaves that conversion undefined, so it is spelt out).
struct SRealForm {
  static constexpr int32_t kType = kTypeSReal;
  static constexpr int32_t kSize = 4;
  static constexpr bool kSingle = true;
  static double Load(const void* p) { return LoadSReal(p); }
  static void Store(void* p, double value);
  static double Largest();
};

// BFLOAT4: the binary format single (data_types.h); the largest value has
// all mantissa bits set and exponent byte 255.
struct BFloat4Form {
  static constexpr int32_t kType = kTypeBFloat4;
  static constexpr int32_t kSize = 4;
  static constexpr bool kSingle = true;
  static double Load(const void* p) { return LoadBFloat4(p); }
  static void Store(void* p, double value) { StoreBFloat4(p, value); }
  static double Largest();
};

// BFLOAT8: the binary format double; its largest value is the largest
// double the form holds (53 bits of ones, exponent byte 255).
struct BFloat8Form {
  static constexpr int32_t kType = kTypeBFloat8;
  static constexpr int32_t kSize = 8;
  static constexpr bool kSingle = false;
  static double Load(const void* p) { return LoadBFloat8(p); }
  static void Store(void* p, double value) { StoreBFloat8(p, value); }
  static double Largest();
};

using RealRef = StoredRealRef<RealForm>;
using SRealRef = StoredRealRef<SRealForm>;
using BFloat4Ref = StoredRealRef<BFloat4Form>;
using BFloat8Ref = StoredRealRef<BFloat8Form>;

}  // namespace kor

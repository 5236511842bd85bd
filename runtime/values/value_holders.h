// Value holders: one value reference per family that owns storage of its
// own, for intermediate results of expression evaluation.
//
// A holder behaves as the reference of its family's main type (LONG, REAL,
// DECIMAL, STRING) standing for its own storage. Clone makes a new holder
// with a copy of the value. After Release the holder reads as zero or blank
// and ignores writes, like any released reference.
#pragma once

#include <cstdint>

#include "runtime/values/value_ref_decimal.h"
#include "runtime/values/value_ref_integer.h"
#include "runtime/values/value_ref_real.h"
#include "runtime/values/value_ref_string.h"

namespace kor {

// A LONG of its own.
class LongValue : public LongRef {
 public:
  explicit LongValue(int32_t value = 0);
  ValueRef* Clone() const override;

 private:
  uint8_t storage_[4];
};

// A REAL of its own.
class RealValue : public RealRef {
 public:
  explicit RealValue(double value = 0);
  ValueRef* Clone() const override;

 private:
  uint8_t storage_[8];
};

// A DECIMAL(2*size-1, places) of its own; size is cut to 1..16 bytes and
// places to what the digits allow.
class DecimalValue : public DecimalRef {
 public:
  DecimalValue(int32_t size, int32_t places);
  ValueRef* Clone() const override;

 private:
  uint8_t storage_[16];
};

// A string of its own whose size follows what is assigned: assigning a
// string takes the whole text (from a heap block the holder owns), so the
// holder never cuts or pads.
class StringValue : public StringRef {
 public:
  StringValue();
  ValueRef* Clone() const override;
  void AssignString() override;
  void Release() override;
};

}  // namespace kor

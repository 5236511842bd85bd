// Value references: heap objects that let runtime code read and write a
// variable of any declared type through one interface of 37 operations.
//
// An object holds its class's operation table (the vtable), the variable's
// address and a flags byte (bit 0: the reference owns the variable's storage
// and frees it on Release); the decimal and string families add the declared
// size, DECIMAL and PDECIMAL the places. Objects come from the runtime
// allocator (MakeValueRef, Clone, the holders' factories) and go back to it
// through Destroy.
//
// Classes form a tree: ValueRef, one family per evaluation class, one
// concrete class per type:
//   integer (6): LongRef 6, DateRef 4, TimeRef 5, UShortRef 3, ShortRef 2, ByteRef 1
//   real (9):    RealRef 9, SRealRef 8, BFloat4Ref 13, BFloat8Ref 14
//   decimal (10): DecimalRef 10, PDecimalRef 11, ULongRef 7
//   string (18): StringRef 18, CStringRef 19, PStringRef 20, AnyRef 31,
//                CodedRef (a STRING whose type code is held in the object;
//                MakeValueRef uses it for GROUP, 22)
// (the evaluation classes and type codes are those of data_types.h).
// and one value holder per family that owns storage of its own: LongValue,
// RealValue, DecimalValue, StringValue (value_holders.h).
//
// Each family converts through its own class: the integer family reads
// other references through their AsLong, the real family through AsReal,
// the decimal family through the decimal stack and the string family
// through the string stack. A reference whose address is null (after
// Release) reads as zero or blank and ignores writes.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "runtime/memory/memory.h"
#include "runtime/values/data_types.h"

namespace kor {

// Flag bit 0: the reference owns the storage at its address.
inline constexpr uint8_t kRefOwnsStorage = 1;

class ValueRef {
 public:
  // ---- the 37 operations, in table order ----

  virtual void AssignLong(int32_t value) = 0;
  // The integer family cuts toward zero (beyond the range: the nearest
  // limit, not-a-number: 0).
  virtual void AssignReal(double value) = 0;
  virtual void AssignRef(ValueRef& other) = 0;  // through the family's class
  // By the evaluation class of `other`: string compares both as text
  // (collating sequence, blank padding), integer as LONG, decimal on the
  // decimal stack, real as REAL. -1, 0 or 1.
  virtual int CompareRef(ValueRef& other);
  virtual int CompareLong(int32_t value) = 0;  // -1, 0 or 1
  virtual int32_t TypeCode() const = 0;
  // Release, then return the object itself to the allocator.
  virtual void Destroy();
  // Sets or clears the ownership flag.
  virtual void SetOwnsStorage(bool owns);
  // Takes the string off the top of the string stack, reads it through the
  // display picture with DEFORMAT (runtime/pictures/format.h: numbers as the
  // picture shows them, dates as day counts, times as time values, text
  // through string and key-in pictures) and assigns the value read as
  // AssignString does. Text that the picture cannot read, or a null or
  // invalid picture, leaves the text as it is.
  virtual void AssignPictured(const char* picture);
  // Assigns the string on top of the string stack (popped); the integer
  // family reads it as REAL and rounds tolerantly (TolerantLong).
  virtual void AssignString() = 0;
  virtual void PushAsString() = 0;
  virtual void AssignDecimal() = 0;  // the top of the decimal stack, popped
  virtual void PushAsDecimal() = 0;
  virtual double AsReal() = 0;
  virtual int32_t AsLong() = 0;
  // Frees owned storage, clears the address and the flags.
  virtual void Release();
  // 0 gives zero (blank for strings); negative the lowest value, positive
  // the highest (DATE and TIME: 0 and all bits set; strings: all bytes 0 or
  // all bytes 255).
  virtual void SetExtreme(int32_t direction) = 0;
  virtual void* Address() const;
  virtual ValueRef* Clone() const = 0;  // same class, same variable
  // Element access. Scalars raise the typing error (Element and Slice: code
  // 8; ElementCount and Dimensions: code 6) and yield 0. The string family
  // treats the text as its characters: Element(i) and Slice(first, last) are
  // 1-based references into the variable (outside its size: runtime error
  // 409 and null); ElementCount is the size and Dimensions 1.
  virtual ValueRef* Element(int32_t index);
  virtual ValueRef* Slice(int32_t first, int32_t last);
  virtual int32_t ElementCount();
  virtual int32_t Dimensions();
  virtual int32_t Size() const = 0;  // bytes
  virtual int32_t EvaluationClass() const = 0;
  // Compares in the common class of both (see CommonClass).
  virtual int CompareCommon(ValueRef& other);
  virtual int IsZero() = 0;    // 1 when the value is 0 (strings: blank)
  virtual int IsEmpty() = 0;   // the same test
  virtual void BeginAccess();  // no operation for scalars
  virtual void EndAccess();    // no operation for scalars
  // The base of an array; scalars raise the typing error with code 7 and
  // yield null.
  virtual void* ArrayBase();
  // this = this + other / this - other, computed in the common numeric class
  // (real if either is real, else decimal if either is decimal or string,
  // else integer) and stored through the family.
  virtual void AddRef(ValueRef& other);
  virtual void SubtractRef(ValueRef& other);
  virtual void SetAddress(void* address);
  // Whether a field of this type code and size (and places, for the decimal
  // types) is what this reference stands for.
  virtual bool MatchesField(int32_t type_code, int32_t size, int32_t places) const;
  // Bytewise when both have the same type code and size, otherwise through
  // the evaluation class of `other`, as CompareRef chooses it: strings
  // through the string stack, decimals through the decimal stack, reals as
  // REAL, integers as LONG.
  virtual void CopyFrom(ValueRef& other);
  // Writes the stored bytes (Size() of them) into buffer; returns Size().
  virtual int32_t RawStore(void* buffer) const;

  // ---- not operations of the table ----
  uint8_t flags() const { return flags_; }

 protected:
  explicit ValueRef(void* address) : address_(static_cast<uint8_t*>(address)) {}
  virtual ~ValueRef() = default;  // objects end through Destroy
  ValueRef(const ValueRef&) = default;
  ValueRef& operator=(const ValueRef&) = delete;

  uint8_t* address_;
  uint8_t flags_ = 0;
};

// Constructs a reference in a block from the runtime allocator; null (after
// runtime error 501) when the allocator has no block.
void ValueRefAllocationFailed();
template <class T, class... Args>
T* NewRef(Args&&... args) {
  void* block = Allocate(sizeof(T));
  if (block == nullptr) {
    ValueRefAllocationFailed();
    return nullptr;
  }
  return new (block) T(std::forward<Args>(args)...);
}

// Makes a reference of the concrete class for the type code (GROUP gives a
// CodedRef of code 22). `size` is the declared size in bytes for the decimal
// and string types (others ignore it), `places` the DECIMAL/PDECIMAL places.
// An unsupported type code, or a size a type cannot have, raises runtime
// error 501 "String Stack Error" and gives null. The object comes from the
// runtime allocator; end it with Destroy (or DestroyValueRef).
ValueRef* MakeValueRef(void* address, int32_t type_code, int32_t size, int32_t places);
// Null is ignored.
void DestroyValueRef(ValueRef* ref);

// The class in which two references are compared: string if either is a
// string, else real if either is real, else decimal if either is decimal,
// else integer.
int32_t CommonClass(const ValueRef& a, const ValueRef& b);

// Raises runtime error `code` with "Parameter typing error".
void TypingError(int32_t code);
// For polymorphic parameters of one exact type: raises the typing error 9
// when the reference has another type code, 11 when it has the type but
// another size; true when it matches.
bool RequireExactType(const ValueRef& ref, int32_t type_code, int32_t size);

// The tolerant text-to-integer conversion: the value cut toward zero, unless
// the next integer away from zero is within a negligible difference (its
// binary exponent more than 50 below those of the value and of that integer).
// Beyond the LONG range: the nearest limit; not-a-number: 0.
int32_t TolerantLong(double value);
// Cut toward zero, with the same limits.
int32_t TruncatedLong(double value);

// Pushes the shortest text that reads back as the same double ("0.1",
// "-2.5", "1e+20"); `single` reads it back as a single-precision value.
void PushRealAsString(double value, bool single = false);

}  // namespace kor

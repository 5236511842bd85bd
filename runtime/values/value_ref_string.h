// The string family of value references: STRING (and GROUP), CSTRING,
// PSTRING and untyped (ANY) parameters, read and written through the string
// stack.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/values/value_ref.h"

namespace kor {

class StringFamilyRef : public ValueRef {
 public:
  void AssignLong(int32_t value) override;
  void AssignReal(double value) override;
  void AssignRef(ValueRef& other) override;
  // As LONG (the evaluation class of the argument decides).
  int CompareLong(int32_t value) override;
  void AssignDecimal() override;
  // Pushes the text as a borrowed entry (STRING: all of it, blanks included).
  void PushAsString() override;
  void PushAsDecimal() override;
  // The text read as a number (REAL; LONG through TolerantLong).
  double AsReal() override;
  int32_t AsLong() override;
  void SetExtreme(int32_t direction) override;
  int32_t EvaluationClass() const override { return kClassString; }
  int IsZero() override;  // 1 when the text is blank
  int IsEmpty() override { return IsZero(); }
  ValueRef* Element(int32_t index) override;
  ValueRef* Slice(int32_t first, int32_t last) override;
  int32_t ElementCount() override { return size_; }
  int32_t Dimensions() override { return 1; }
  int32_t Size() const override { return size_; }

  // The current text (a null address gives an empty text).
  virtual std::string_view Text() const = 0;

 protected:
  StringFamilyRef(void* address, int32_t size) : ValueRef(address), size_(size) {}
  // Fills the storage with one byte value as the form allows.
  virtual void Fill(uint8_t byte) = 0;

  int32_t size_;  // declared size in bytes
};

// STRING(n): n characters, blank-padded.
class StringRef : public StringFamilyRef {
 public:
  StringRef(void* address, int32_t size) : StringFamilyRef(address, size) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  void AssignString() override;
  std::string_view Text() const override;

 protected:
  void Fill(uint8_t byte) override;
};

// A STRING whose type code is held in the object (GROUP, 22).
class CodedRef : public StringRef {
 public:
  CodedRef(void* address, int32_t size, int32_t type_code)
      : StringRef(address, size), type_code_(type_code) {}
  int32_t TypeCode() const override { return type_code_; }
  ValueRef* Clone() const override;

 private:
  int32_t type_code_;
};

// An untyped (ANY) parameter, type code 31: handled as a STRING of its size.
class AnyRef : public StringRef {
 public:
  AnyRef(void* address, int32_t size) : StringRef(address, size) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
};

// CSTRING(n): at most n-1 characters and a zero byte.
class CStringRef : public StringFamilyRef {
 public:
  CStringRef(void* address, int32_t size) : StringFamilyRef(address, size) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  void AssignString() override;
  std::string_view Text() const override;

 protected:
  void Fill(uint8_t byte) override;
};

// PSTRING(n): a length byte, then at most n-1 characters.
class PStringRef : public StringFamilyRef {
 public:
  PStringRef(void* address, int32_t size) : StringFamilyRef(address, size) {}
  int32_t TypeCode() const override;
  ValueRef* Clone() const override;
  void AssignString() override;
  std::string_view Text() const override;

 protected:
  void Fill(uint8_t byte) override;
};

}  // namespace kor

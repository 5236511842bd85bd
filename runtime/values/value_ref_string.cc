// The string family of value references, and assignment through a picture.
#include "runtime/values/value_ref_string.h"

#include <string.h>

#include <string>

#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"

namespace kor {

// ---- AssignPictured, shared by all classes ----

// Reads the top string through the picture as DEFORMAT does
// (runtime/pictures/format.h), which gives the value as plain text (a decimal
// number, a day count, a time value or, for string pictures, the text
// itself), and assigns that through AssignString. Text the picture cannot
// read is assigned as it is.
void ValueRef::AssignPictured(const char* picture) {
  std::string text = PopToStdString();
  DeformatResult r = Deformat(text, std::string_view(picture != nullptr ? picture : ""));
  PushCopy(r.ok ? std::string_view(r.value) : std::string_view(text));
  AssignString();
}

// ---- the family ----

void StringFamilyRef::AssignLong(int32_t value) {
  PushLongAsString(value);
  AssignString();
}

void StringFamilyRef::AssignReal(double value) {
  PushRealAsString(value);
  AssignString();
}

void StringFamilyRef::AssignRef(ValueRef& other) {
  other.PushAsString();
  AssignString();
}

int StringFamilyRef::CompareLong(int32_t value) {
  int32_t v = AsLong();
  return v < value ? -1 : (v > value ? 1 : 0);
}

void StringFamilyRef::AssignDecimal() {
  std::string text = DecimalToText(-1);
  DropDecimal();
  PushCopy(text);
  AssignString();
}

void StringFamilyRef::PushAsString() {
  std::string_view text = Text();
  PushString(text.data(), static_cast<int32_t>(text.size()));
}

void StringFamilyRef::PushAsDecimal() {
  PushAsString();
  PopStringAsDecimal();
}

double StringFamilyRef::AsReal() {
  PushAsString();
  return PopStringAsReal();
}

int32_t StringFamilyRef::AsLong() { return TolerantLong(AsReal()); }

void StringFamilyRef::SetExtreme(int32_t direction) {
  if (address_ != nullptr) Fill(direction == 0 ? ' ' : (direction < 0 ? 0x00 : 0xFF));
}

int StringFamilyRef::IsZero() {
  for (char c : Text())
    if (c != ' ') return 0;
  return 1;
}

ValueRef* StringFamilyRef::Element(int32_t index) { return Slice(index, index); }

ValueRef* StringFamilyRef::Slice(int32_t first, int32_t last) {
  // Characters start after a PSTRING's length byte.
  int32_t skip = TypeCode() == kTypePString ? 1 : 0;
  int32_t capacity = size_ - skip;
  if (first < 1 || last < first - 1 || last > capacity) {
    RaiseRuntimeError409();
    return nullptr;
  }
  uint8_t* start = address_ == nullptr ? nullptr : address_ + skip + first - 1;
  return NewRef<StringRef>(start, last - first + 1);
}

// ---- STRING, GROUP and ANY ----

int32_t StringRef::TypeCode() const { return kTypeString; }
ValueRef* StringRef::Clone() const { return NewRef<StringRef>(address_, size_); }

void StringRef::AssignString() {
  if (address_ == nullptr) {
    PopString();
    return;
  }
  PopToField(reinterpret_cast<char*>(address_), size_);
}

std::string_view StringRef::Text() const {
  if (address_ == nullptr) return {};
  return {reinterpret_cast<const char*>(address_), static_cast<size_t>(size_)};
}

void StringRef::Fill(uint8_t byte) { memset(address_, byte, static_cast<size_t>(size_)); }

ValueRef* CodedRef::Clone() const { return NewRef<CodedRef>(address_, size_, type_code_); }

int32_t AnyRef::TypeCode() const { return kTypeUntypedString; }
ValueRef* AnyRef::Clone() const { return NewRef<AnyRef>(address_, size_); }

// ---- CSTRING ----

int32_t CStringRef::TypeCode() const { return kTypeCString; }
ValueRef* CStringRef::Clone() const { return NewRef<CStringRef>(address_, size_); }

void CStringRef::AssignString() {
  if (address_ == nullptr) {
    PopString();
    return;
  }
  PopToCString(reinterpret_cast<char*>(address_), size_);
}

std::string_view CStringRef::Text() const {
  if (address_ == nullptr) return {};
  // At most n-1 characters, also in a field without its zero byte.
  return LoadText(address_, kTypeCString, static_cast<uint32_t>(size_));
}

void CStringRef::Fill(uint8_t byte) {
  // Blank and lowest are both the empty text; highest fills every character.
  memset(address_, 0, static_cast<size_t>(size_));
  if (byte == 0xFF) memset(address_, 0xFF, static_cast<size_t>(size_ - 1));
}

// ---- PSTRING ----

int32_t PStringRef::TypeCode() const { return kTypePString; }
ValueRef* PStringRef::Clone() const { return NewRef<PStringRef>(address_, size_); }

void PStringRef::AssignString() {
  if (address_ == nullptr) {
    PopString();
    return;
  }
  std::string_view text = TopView();
  size_t n =
      text.size() < static_cast<size_t>(size_ - 1) ? text.size() : static_cast<size_t>(size_ - 1);
  // The text may be borrowed from this very field.
  if (n > 0) memmove(address_ + 1, text.data(), n);
  address_[0] = static_cast<uint8_t>(n);
  PopString();
}

std::string_view PStringRef::Text() const {
  if (address_ == nullptr) return {};
  // A length byte beyond the field (written by other means) is cut to it.
  size_t n = address_[0];
  if (n > static_cast<size_t>(size_ - 1)) n = static_cast<size_t>(size_ - 1);
  return {reinterpret_cast<const char*>(address_ + 1), n};
}

void PStringRef::Fill(uint8_t byte) {
  memset(address_, 0, static_cast<size_t>(size_));
  if (byte == 0xFF) {
    address_[0] = static_cast<uint8_t>(size_ - 1);
    memset(address_ + 1, 0xFF, static_cast<size_t>(size_ - 1));
  }
}

}  // namespace kor

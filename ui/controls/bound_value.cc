// Formatting a control's bound variable and reading edited text back.
#include "ui/controls/bound_value.h"

#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {

namespace {

// A value reference to the variable, destroyed on leaving the scope.
class BoundRef {
 public:
  explicit BoundRef(const Control& c) {
    const BoundAddress& v = c.variable();
    if (v.address == nullptr) return;
    const VariableDescriptor& d = c.record().variable;
    bool places = d.type == kTypeDecimal || d.type == kTypePDecimal;
    ref_ = MakeValueRef(v.address, d.type, v.size, places ? d.extra : 0);
  }
  ~BoundRef() {
    if (ref_ != nullptr) DestroyValueRef(ref_);
  }
  BoundRef(const BoundRef&) = delete;
  BoundRef& operator=(const BoundRef&) = delete;
  ValueRef* get() const { return ref_; }

 private:
  ValueRef* ref_ = nullptr;
};

std::string AsText(ValueRef* ref) {
  ref->PushAsString();
  return PopToStdString();
}

}  // namespace

std::string ControlPicture(const Control& control) {
  const std::string& p = control.record().picture;
  return p.empty() ? std::string() : "@" + p;
}

std::string FormatBound(const Control& control) {
  BoundRef ref(control);
  if (ref.get() == nullptr) return std::string();
  std::string picture = ControlPicture(control);
  if (picture.empty()) return AsText(ref.get());
  switch (ref.get()->EvaluationClass()) {
    case kClassInteger: return FormatLong(ref.get()->AsLong(), picture);
    case kClassReal:
    case kClassDecimal: return FormatReal(ref.get()->AsReal(), picture);
    default: return FormatText(AsText(ref.get()), picture);
  }
}

bool StoreBound(const Control& control, std::string_view text) {
  BoundRef ref(control);
  if (ref.get() == nullptr) return true;
  std::string picture = ControlPicture(control);
  std::string value(text);
  if (!picture.empty()) {
    DeformatResult r = Deformat(text, picture);
    if (!r.ok) return false;
    value = r.value;
  }
  PushCopy(value);
  ref.get()->AssignString();
  return true;
}

void AssignBoundText(const Control& control, std::string_view text) {
  BoundRef ref(control);
  if (ref.get() == nullptr) return;
  PushCopy(text);
  ref.get()->AssignString();
}

double BoundReal(const Control& control) {
  BoundRef ref(control);
  return ref.get() != nullptr ? ref.get()->AsReal() : 0;
}

void StoreBoundReal(const Control& control, double value) {
  BoundRef ref(control);
  if (ref.get() != nullptr) ref.get()->AssignReal(value);
}

}  // namespace kor

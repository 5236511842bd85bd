// Reading list rows from the program's queue.
#include "ui/controls/list_queue.h"

#include "runtime/pictures/format.h"
#include "runtime/values/data_types.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {

namespace {

// A reference to a field of a row, or null when the field is unknown.
ValueRef* FieldRef(const QueueBinding& b, const void* row, int32_t field) {
  if (row == nullptr || b.queue == nullptr || field < 1 || field > b.field_count) return nullptr;
  const QueueField& f = b.fields[field - 1];
  if (f.offset < 0 || f.size <= 0 || uint32_t(f.offset) + uint32_t(f.size) > b.queue->record_size())
    return nullptr;
  void* at = const_cast<char*>(static_cast<const char*>(row)) + f.offset;
  return MakeValueRef(at, f.type, f.size, f.places);
}

}  // namespace

std::string FormatQueueField(const QueueBinding& b, const void* row, int32_t field,
                             const std::string& picture) {
  ValueRef* ref = FieldRef(b, row, field);
  if (ref == nullptr) return std::string();
  std::string out;
  int32_t cls = ref->EvaluationClass();
  if (picture.empty() || cls == kClassString) {
    ref->PushAsString();
    out = PopToStdString();
    if (!picture.empty()) out = FormatText(out, picture);
  } else if (cls == kClassInteger) {
    out = FormatLong(ref->AsLong(), picture);
  } else {
    out = FormatReal(ref->AsReal(), picture);
  }
  DestroyValueRef(ref);
  return out;
}

int32_t QueueFieldLong(const QueueBinding& b, const void* row, int32_t field) {
  ValueRef* ref = FieldRef(b, row, field);
  if (ref == nullptr) return 0;
  int32_t v = ref->AsLong();
  DestroyValueRef(ref);
  return v;
}

int32_t QueueRecords(const QueueBinding* b) {
  return b != nullptr && b->queue != nullptr ? int32_t(b->queue->Records()) : 0;
}

}  // namespace kor

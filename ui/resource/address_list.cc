// The window's copy of its procedure's address list and descriptor binding.
#include "ui/resource/address_list.h"

#include <cstring>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"

namespace kor {

AddressList::AddressList(void* const* list) {
  if (list == nullptr) return;
  for (void* const* p = list; *p != nullptr; ++p) addresses_.push_back(*p);
}

bool AddressList::Next(void** out) {
  if (cursor_ >= addresses_.size()) return false;
  *out = addresses_[cursor_++];
  return true;
}

bool BindNext(AddressList& list, const VariableDescriptor& descriptor, BoundAddress* out) {
  void* address = nullptr;
  if (!list.Next(&address)) return false;
  out->address = address;
  out->size = descriptor.size;
  if (out->size == 0) memcpy(&out->size, address, sizeof out->size);
  return true;
}

bool BindNextOrStop(AddressList& list, const VariableDescriptor& descriptor, BoundAddress* out) {
  if (BindNext(list, descriptor, out)) return true;
  RaiseRuntimeError(kErrInternal01, nullptr);
  return false;
}

}  // namespace kor

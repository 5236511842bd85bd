// The addresses a window's procedure hands over for the variables its
// controls show, and the binding of bound-variable descriptors to them.
//
// The procedure passes an array of addresses ended by a null entry. The window
// keeps its own copy and a cursor; every bound-variable or source descriptor
// met while the controls are created takes the next address, in record order.
// A descriptor whose size is 0 takes its size from the 32-bit value at the
// address it is bound to. Running out of addresses is error 501 ("Internal
// error 01"): the resource and the procedure disagree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/resource/shared_blocks.h"

namespace kor {

class AddressList {
 public:
  AddressList() = default;
  // Copies `list` up to its null entry (a null list is an empty one).
  explicit AddressList(void* const* list);

  // The next address; false when the list is exhausted.
  bool Next(void** out);
  size_t remaining() const { return addresses_.size() - cursor_; }

 private:
  std::vector<void*> addresses_;
  size_t cursor_ = 0;
};

struct BoundAddress {
  void* address = nullptr;
  int32_t size = 0;  // bytes
};

// Binds a descriptor to the next address; false when the list is exhausted.
bool BindNext(AddressList& list, const VariableDescriptor& descriptor, BoundAddress* out);
// As BindNext, but an exhausted list stops the runtime with error 501. Returns
// false only when the runtime error box returns (after shutdown).
bool BindNextOrStop(AddressList& list, const VariableDescriptor& descriptor, BoundAddress* out);

}  // namespace kor

// In-memory queues on the runtime's allocator: a pointer array in order, one
// block per record, so that inserting at the top of a page moves pointers only.
#include "runtime/core/queue.h"

#include <string.h>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/memory/memory.h"

namespace kor {

namespace {
constexpr uint32_t kFirstCapacity = 16;
}  // namespace

Queue::Queue(uint32_t record_size) : record_size_(record_size) {}

Queue::~Queue() { Free(); }

bool Queue::Grow() {
  if (count_ < capacity_) return true;
  uint32_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
  if (capacity <= capacity_ || capacity > UINT32_MAX / sizeof(void*)) return false;
  void* grown = Reallocate(rows_, static_cast<size_t>(capacity) * sizeof(void*));
  if (grown == nullptr) return false;
  rows_ = static_cast<void**>(grown);
  capacity_ = capacity;
  return true;
}

bool Queue::Append(const void* record) { return Insert(count_ + 1, record); }

bool Queue::Insert(uint32_t position, const void* record) {
  ClearError();
  if (position < 1 || position > count_ + 1) {
    PostError(kErrEntryNotFound);
    return false;
  }
  // A zero-sized layout still needs a distinct block per row.
  void* block = Allocate(record_size_ != 0 ? record_size_ : 1);
  if (block == nullptr || !Grow()) {
    kor::Free(block);
    PostError(kErrInsufficientMemory);
    return false;
  }
  memcpy(block, record, record_size_);
  uint32_t at = position - 1;
  memmove(rows_ + at + 1, rows_ + at, static_cast<size_t>(count_ - at) * sizeof(void*));
  rows_[at] = block;
  ++count_;
  return true;
}

bool Queue::Get(uint32_t position, void* record) const {
  ClearError();
  const void* row = Row(position);
  if (row == nullptr) {
    PostError(kErrEntryNotFound);
    return false;
  }
  memcpy(record, row, record_size_);
  return true;
}

bool Queue::Replace(uint32_t position, const void* record) {
  ClearError();
  if (position < 1 || position > count_) {
    PostError(kErrEntryNotFound);
    return false;
  }
  memcpy(rows_[position - 1], record, record_size_);
  return true;
}

bool Queue::Delete(uint32_t position) {
  ClearError();
  if (position < 1 || position > count_) {
    PostError(kErrEntryNotFound);
    return false;
  }
  uint32_t at = position - 1;
  kor::Free(rows_[at]);
  memmove(rows_ + at, rows_ + at + 1, static_cast<size_t>(count_ - at - 1) * sizeof(void*));
  --count_;
  return true;
}

void Queue::Free() {
  for (uint32_t i = 0; i < count_; ++i) kor::Free(rows_[i]);
  kor::Free(rows_);
  rows_ = nullptr;
  count_ = capacity_ = 0;
}

const void* Queue::Row(uint32_t position) const {
  if (position < 1 || position > count_) return nullptr;
  return rows_[position - 1];
}

}  // namespace kor

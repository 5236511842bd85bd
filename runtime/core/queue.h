// The runtime's in-memory queues: ordered, growable tables of records of one
// fixed layout, addressed by 1-based position. They receive directory
// listings, feed list boxes and hold the pages of the browses.
#pragma once

#include <cstdint>

namespace kor {

// Each operation that can fail clears the error state first and posts its
// failure: a position outside 1 .. Records() (1 .. Records() + 1 for Insert)
// posts 30 "Entry Not Found", a failed allocation 8 "Insufficient Memory".
// The queue is unchanged after a failure.
class Queue {
 public:
  explicit Queue(uint32_t record_size);
  ~Queue();
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  uint32_t record_size() const { return record_size_; }
  uint32_t Records() const { return count_; }

  // Adds a copy of `record` (record_size bytes) at the end.
  bool Append(const void* record);
  // Adds a copy before the record now at `position`; Records() + 1 appends.
  bool Insert(uint32_t position, const void* record);
  // Copies the record at `position` into `record`.
  bool Get(uint32_t position, void* record) const;
  bool Replace(uint32_t position, const void* record);
  bool Delete(uint32_t position);
  // Empties the table and gives its memory back.
  void Free();
  // The record at `position` for reading in place; null outside the table.
  // Valid until the next change of the queue.
  const void* Row(uint32_t position) const;

 private:
  bool Grow();

  uint32_t record_size_;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
  void** rows_ = nullptr;  // count_ blocks of record_size_ bytes, in order
};

}  // namespace kor

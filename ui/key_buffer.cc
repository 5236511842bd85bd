// The keystroke buffer's ring and its growth.
#include "ui/key_buffer.h"

namespace kor {

KeyBuffer::KeyBuffer() : ring_(kKeyBufferInitial) {}

bool KeyBuffer::Push(const uint16_t* keys, size_t count) {
  if (count > kKeyBufferLimit - count_) return false;
  Grow(count_ + count);
  for (size_t i = 0; i < count; ++i) ring_[(head_ + count_ + i) % ring_.size()] = keys[i];
  count_ += count;
  return true;
}

bool KeyBuffer::Pop(uint16_t* key) {
  if (count_ == 0) return false;
  *key = ring_[head_];
  head_ = (head_ + 1) % ring_.size();
  --count_;
  return true;
}

void KeyBuffer::Clear() {
  head_ = 0;
  count_ = 0;
}

// Doubles the ring until `needed` keys fit, unrolling it so the oldest key
// sits at index 0 again.
void KeyBuffer::Grow(size_t needed) {
  if (needed <= ring_.size()) return;
  size_t capacity = ring_.size();
  while (capacity < needed) capacity *= 2;
  std::vector<uint16_t> grown(capacity);
  for (size_t i = 0; i < count_; ++i) grown[i] = ring_[(head_ + i) % ring_.size()];
  ring_.swap(grown);
  head_ = 0;
}

}  // namespace kor

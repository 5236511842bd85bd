// The keystroke buffer: the key codes a program pushes with PRESS, waiting to
// be fed to the focused control as if typed.
//
// A ring of 16-bit key codes that starts with room for 16 and doubles when
// full, up to kKeyBufferLimit entries. A push that would take the buffer past
// the limit takes none of its keys: the caller reports 534 ("Too many
// keystrokes PRESSed") and what was pending stays as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kor {

inline constexpr size_t kKeyBufferInitial = 16;
inline constexpr size_t kKeyBufferLimit = 1024;

class KeyBuffer {
 public:
  KeyBuffer();

  // Appends all `count` keys, oldest first; false (and nothing appended)
  // when they would make more than kKeyBufferLimit pending.
  bool Push(const uint16_t* keys, size_t count);
  // Takes the oldest key; false when none is pending.
  bool Pop(uint16_t* key);
  void Clear();

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  size_t capacity() const { return ring_.size(); }

 private:
  void Grow(size_t needed);

  std::vector<uint16_t> ring_;
  size_t head_ = 0;  // index of the oldest key
  size_t count_ = 0;
};

}  // namespace kor

// Test support: a memory image laid out byte by byte, for the walkers and the
// fault report's dumps. Bytes that were never put cannot be read; bytes put
// read-only can be read but not written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "runtime/os/memory_probe.h"

namespace kor::testing {

class FakeMemory {
 public:
  void PutBytes(uint64_t address, const std::vector<uint8_t>& bytes, bool writable = true) {
    for (size_t i = 0; i < bytes.size(); ++i) bytes_[address + i] = Byte{bytes[i], writable};
  }
  // A little-endian word of `size` bytes.
  void PutWord(uint64_t address, uint64_t value, size_t size, bool writable = true) {
    for (size_t i = 0; i < size; ++i, value >>= 8)
      bytes_[address + i] = Byte{static_cast<uint8_t>(value), writable};
  }
  bool Read(uint64_t address, void* out, size_t size) const {
    uint8_t* o = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < size; ++i) {
      auto it = bytes_.find(address + i);
      if (it == bytes_.end()) return false;
      o[i] = it->second.value;
    }
    return true;
  }
  bool Writable(uint64_t address, size_t size) const {
    for (size_t i = 0; i < size; ++i) {
      auto it = bytes_.find(address + i);
      if (it == bytes_.end() || !it->second.writable) return false;
    }
    return true;
  }
  MemoryProbe Probe() {
    return MemoryProbe{[](void* self, uintptr_t address, void* out, size_t size) {
                         return static_cast<FakeMemory*>(self)->Read(address, out, size);
                       },
                       [](void* self, uintptr_t address, size_t size) {
                         return static_cast<FakeMemory*>(self)->Writable(address, size);
                       },
                       this};
  }

 private:
  struct Byte {
    uint8_t value;
    bool writable;
  };
  std::map<uint64_t, Byte> bytes_;
};

}  // namespace kor::testing

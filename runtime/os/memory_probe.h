// How the fault report's walkers read memory: the live process through the
// operating-system layer, or, in tests, an image of memory laid out by hand.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/os/os.h"

namespace kor {

struct MemoryProbe {
  // Copies `size` bytes at `address` into `out` when all of them can be read.
  bool (*read)(void* arg, uintptr_t address, void* out, size_t size);
  // Whether `size` bytes at `address` can be written.
  bool (*writable)(void* arg, uintptr_t address, size_t size);
  void* arg;

  bool Read(uintptr_t address, void* out, size_t size) const {
    return read(arg, address, out, size);
  }
  bool Writable(uintptr_t address, size_t size) const { return writable(arg, address, size); }
  // A little-endian word of 4 or 8 bytes, widened.
  bool ReadWord(uintptr_t address, size_t word, uint64_t* out) const {
    uint8_t bytes[8];
    if (word > sizeof bytes || !Read(address, bytes, word)) return false;
    uint64_t value = 0;
    for (size_t i = word; i-- > 0;) value = value << 8 | bytes[i];
    *out = value;
    return true;
  }
};

// The live process, through OsReadMemory and OsIsWritable.
inline MemoryProbe ProcessMemoryProbe() {
  return MemoryProbe{
      [](void*, uintptr_t address, void* out, size_t size) {
        return OsReadMemory(address, out, size);
      },
      [](void*, uintptr_t address, size_t size) { return OsIsWritable(address, size); }, nullptr};
}

}  // namespace kor

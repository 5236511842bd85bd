// The call stack of code that keeps a frame pointer (the 32-bit release, and
// any build that keeps one): each frame's pointer addresses two words, the
// caller's frame pointer and then the return address into the caller.
//
//   [fp]         saved frame pointer of the caller
//   [fp + word]  return address into the caller
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/os/memory_probe.h"
#include "runtime/os/os.h"

namespace kor {

// Visits (ip, fp) first, then each caller's (return address, saved frame
// pointer). Words are `word` bytes (4 or 8), little-endian. The walk stops
// when the next frame pointer is not a multiple of `word`, is not above the
// current one, or its two words cannot be written; it stops too when the
// current frame's two words cannot be read (a frame pointer that was never
// one), and when `visit` returns false. Each frame pointer is above the one
// before, so a walk always ends.
void WalkFramePointers(uint64_t ip, uint64_t fp, size_t word, const MemoryProbe& probe,
                       OsFrameVisitor visit, void* arg);

}  // namespace kor

// Follows a chain of saved frame pointers through a memory probe.
#include "runtime/os/frame_walk.h"

namespace kor {

namespace {

// Whether `next` may be the caller's frame pointer of a frame at `fp`.
bool IsCallerFrame(uint64_t fp, uint64_t next, size_t word, const MemoryProbe& probe) {
  if (next % word != 0 || next <= fp) return false;
  if (next > UINTPTR_MAX - 2 * word) return false;
  return probe.Writable(static_cast<uintptr_t>(next), 2 * word);
}

}  // namespace

void WalkFramePointers(uint64_t ip, uint64_t fp, size_t word, const MemoryProbe& probe,
                       OsFrameVisitor visit, void* arg) {
  for (;;) {
    if (!visit(ip, fp, arg)) return;
    if (fp > UINTPTR_MAX - 2 * word) return;
    uint64_t saved_fp = 0;
    uint64_t return_address = 0;
    uintptr_t at = static_cast<uintptr_t>(fp);
    if (!probe.ReadWord(at, word, &saved_fp) || !probe.ReadWord(at + word, word, &return_address))
      return;
    if (!IsCallerFrame(fp, saved_fp, word, probe)) return;
    ip = return_address;
    fp = saved_fp;
  }
}

}  // namespace kor

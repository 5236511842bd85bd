// The frame-pointer walk: the frames it visits over a hand-made stack, and
// each reason it stops.
#include "runtime/os/frame_walk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "runtime/os/fake_memory_testing.h"

namespace kor {
namespace {

using Frames = std::vector<std::pair<uint64_t, uint64_t>>;  // (ip, frame)

// A frame record on the fake stack: at `fp` the caller's frame pointer, then
// the return address.
struct StackFrame {
  uint64_t fp;
  uint64_t saved_fp;
  uint64_t return_address;
  bool writable;
};

struct WalkCase {
  const char* what;
  size_t word;
  uint64_t ip, fp;
  std::vector<StackFrame> stack;
  Frames expected;
};

bool Collect(uint64_t ip, uint64_t frame, void* arg) {
  static_cast<Frames*>(arg)->emplace_back(ip, frame);
  return true;
}

Frames Walk(const WalkCase& c) {
  testing::FakeMemory memory;
  for (const StackFrame& f : c.stack) {
    memory.PutWord(f.fp, f.saved_fp, c.word, f.writable);
    memory.PutWord(f.fp + c.word, f.return_address, c.word, f.writable);
  }
  Frames frames;
  WalkFramePointers(c.ip, c.fp, c.word, memory.Probe(), Collect, &frames);
  return frames;
}

TEST(FrameWalk, VisitsTheFramesOfTheChainAndStopsWhereTheSavedPointerIsNoFrame) {
  const WalkCase cases[] = {
      {"three frames, the last saved pointer 0",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF40, 0x401100, true},
        {0x12FF40, 0x12FF80, 0x401200, true},
        {0x12FF80, 0, 0x401300, true}},
       {{0x401000, 0x12FF00}, {0x401100, 0x12FF40}, {0x401200, 0x12FF80}}},
      {"next frame pointer not a multiple of 4",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF42, 0x401100, true}, {0x12FF42, 0x12FF80, 0x401200, true}},
       {{0x401000, 0x12FF00}}},
      {"next frame pointer below the current one",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FE00, 0x401100, true}, {0x12FE00, 0x12FF80, 0x401200, true}},
       {{0x401000, 0x12FF00}}},
      {"next frame pointer equal to the current one",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF00, 0x401100, true}},
       {{0x401000, 0x12FF00}}},
      {"next frame read-only",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF40, 0x401100, true}, {0x12FF40, 0x12FF80, 0x401200, false}},
       {{0x401000, 0x12FF00}}},
      {"next frame not there at all",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF40, 0x401100, true}},
       {{0x401000, 0x12FF00}}},
      {"first frame pointer unreadable: the fault's frame alone",
       4,
       0x10,
       0x20,
       {},
       {{0x10, 0x20}}},
      {"a read-only first frame is still read",
       4,
       0x401000,
       0x12FF00,
       {{0x12FF00, 0x12FF40, 0x401100, false}, {0x12FF40, 0, 0x401200, true}},
       {{0x401000, 0x12FF00}, {0x401100, 0x12FF40}}},
      {"8-byte words",
       8,
       0x140001000,
       0x22FE00,
       {{0x22FE00, 0x22FE40, 0x140001100, true}, {0x22FE40, 0x22FE44, 0x140001200, true}},
       {{0x140001000, 0x22FE00}, {0x140001100, 0x22FE40}}},
  };
  for (const WalkCase& c : cases) EXPECT_EQ(Walk(c), c.expected) << c.what;
}

TEST(FrameWalk, EndsWhenTheVisitorSaysSo) {
  testing::FakeMemory memory;
  memory.PutWord(0x1000, 0x1100, 4);
  memory.PutWord(0x1004, 0x2000, 4);
  memory.PutWord(0x1100, 0x1200, 4);
  memory.PutWord(0x1104, 0x3000, 4);
  int visits = 0;
  WalkFramePointers(
      0x500, 0x1000, 4, memory.Probe(),
      [](uint64_t, uint64_t, void* arg) { return ++*static_cast<int*>(arg) < 1; }, &visits);
  EXPECT_EQ(visits, 1);
}

}  // namespace
}  // namespace kor

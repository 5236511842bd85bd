// Test support for the allocator tests: a directory of its own per test for
// the runtime log, a recorder that receives the diagnostics instead of the
// runtime error box, and a fixture that checks the heap around each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "runtime/memory/memory.h"
#include "runtime/memory/runtime_log.h"

namespace kor::testing {

// Runs the test in a directory of its own (named after the test, with a
// random part so that two processes never share one), so that the runtime
// log written by diagnostics lands there.
class InTempDirectory {
 public:
  InTempDirectory() : old_(std::filesystem::current_path()) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info == nullptr ? "none" : std::string(info->name());
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() /
           ("kor_memory_" + name + "_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    RestartRuntimeLog();
  }
  ~InTempDirectory() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  InTempDirectory(const InTempDirectory&) = delete;
  InTempDirectory& operator=(const InTempDirectory&) = delete;

 private:
  std::filesystem::path old_, dir_;
};

// Diagnostics reach this recorder instead of the runtime error box.
inline std::vector<std::pair<int, std::string>> g_diagnostics;
inline void Record(int number, const char* text) { g_diagnostics.emplace_back(number, text); }

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_diagnostics.clear();
    old_hook_ = SetDiagnosticHook(&Record);
    ASSERT_EQ(CheckHeap(), "");
  }
  void TearDown() override {
    for (void* f : filler_) Free(f);
    SetDiagnosticHook(old_hook_);
    EXPECT_EQ(CheckHeap(), "");
  }
  // A block that starts a fresh arena: blocks of the largest arena size are
  // taken until one lands in a new arena, which hands out its start first.
  char* BlockInFreshArena(size_t n) {
    // The fillers stay until the end of the test: freeing them would move
    // the rover away from the fresh arena.
    size_t arenas = GetHeapStats().arenas;
    for (;;) {
      void* p = Allocate(0xD000 - 8);
      if (GetHeapStats().arenas != arenas) {
        void* q = Reallocate(p, n);  // shrinks in place, from the arena's start
        EXPECT_EQ(q, p);
        return static_cast<char*>(q);
      }
      filler_.push_back(p);
    }
  }
  std::vector<void*> filler_;
  InTempDirectory temp_;
  DiagnosticHook old_hook_ = nullptr;
};

}  // namespace kor::testing

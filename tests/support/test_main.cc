// Test main for the unit tests: registers a test module carrying the runtime
// core's initialisation entries, as a program would, then runs the tests.
#include <gtest/gtest.h>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"

namespace {
const kor::InitEntry kTestInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_test_module = {
    .init_begin = std::begin(kTestInitTable), .init_end = std::end(kTestInitTable), .name = "test"};
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  kor::RegisterModule(&g_test_module, nullptr);
  return RUN_ALL_TESTS();
}

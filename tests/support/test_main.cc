// Test main for the unit tests: registers a test module carrying the runtime
// core's initialisation entries, as a program would, then runs the tests.
#include <gtest/gtest.h>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"

namespace {
const kor::InitEntry kTestInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
// clang-format off
kor::ModuleDescriptor g_test_module = {
    nullptr, std::begin(kTestInitTable), std::end(kTestInitTable), nullptr,
    nullptr, nullptr, nullptr, nullptr, "test"};
// clang-format on
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  kor::RegisterModule(&g_test_module, nullptr);
  return RUN_ALL_TESTS();
}

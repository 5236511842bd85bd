// Start-up and halt: initialisation order, version check, the runtime error
// box text and the halt paths (as death tests where the process ends).
#include "runtime/core/startup.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "runtime/core/error_state.h"
#include "runtime/core/runtime_error.h"

namespace kor {
namespace {

std::vector<std::string> g_calls;

#define RECORDER(name) \
  void name(int32_t arg) { g_calls.push_back(std::string(#name) + (arg ? "-" : "+")); }
RECORDER(A5)
RECORDER(B16)
RECORDER(C255)
RECORDER(D5)
RECORDER(E150)
RECORDER(F16)
RECORDER(G28)
#undef RECORDER

const InitEntry kTable[] = {
    {5, &A5, &A5},       {16, &B16, &B16},      {255, &C255, &C255}, {5, &D5, &D5},
    {150, &E150, &E150}, {1, nullptr, nullptr}, {16, &F16, &F16},    {28, &G28, &G28},
};

TEST(Startup, InitRunsByPriorityThenTableOrderAndExitIsTheReverse) {
  g_calls.clear();
  RunInitProcedures(std::begin(kTable), std::end(kTable));
  EXPECT_EQ(g_calls,
            (std::vector<std::string>{"C255+", "E150+", "G28+", "B16+", "F16+", "A5+", "D5+"}));
  g_calls.clear();
  RunExitProcedures(std::begin(kTable), std::end(kTable));
  EXPECT_EQ(g_calls,
            (std::vector<std::string>{"D5-", "A5-", "F16-", "B16-", "G28-", "E150-", "C255-"}));
}

TEST(Startup, RegisterAndUnregisterASecondModule) {
  g_calls.clear();
  static int token;
  ModuleDescriptor module = {
      .init_begin = std::begin(kTable), .init_end = std::begin(kTable) + 2, .name = "dll"};
  OsInstance resource = ResourceInstance();
  RegisterModule(&module, &token);
  EXPECT_EQ(module.instance, &token);
  EXPECT_EQ(ResourceInstance(), resource);  // the first module keeps it
  EXPECT_EQ(g_calls, (std::vector<std::string>{"B16+", "A5+"}));
  int count = 0;
  ForEachModule(
      [](ModuleDescriptor*, OsInstance i, void* n) {
        if (i == &token) ++*static_cast<int*>(n);
        return true;
      },
      &count);
  EXPECT_EQ(count, 1);
  g_calls.clear();
  UnregisterModule(&token);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"A5-", "B16-"}));
  UnregisterModule(&token);  // already gone: nothing runs
  EXPECT_EQ(g_calls.size(), 2u);
}

TEST(Startup, VersionFiveZeroAnyBuildIsAccepted) {
  EXPECT_EQ(CheckRuntimeVersion(5, 0, 77), 1);
  EXPECT_EQ(RequestedRuntimeVersion().build, 77u);
#if !defined(_WIN32)  // refusals show a real box on Windows: black-box tests
  EXPECT_EQ(CheckRuntimeVersion(5, 1, 0), 0);
  EXPECT_EQ(CheckRuntimeVersion(0x106, 2, 3), 0);
#endif
}

TEST(Startup, RuntimeErrorBoxTexts) {
  EXPECT_EQ(RuntimeErrorBoxText(406, nullptr),
            "No return value from function\nDo you want to GPF?");
  EXPECT_EQ(RuntimeErrorBoxText(501, "String Stack Error"),
            "Internal error 01 : String Stack Error\nDo you want to GPF?");
  EXPECT_EQ(RuntimeErrorBoxText(0, "Only this"), "Only this\nDo you want to GPF?");
  EXPECT_EQ(RuntimeErrorBoxText(314, nullptr), "Unknown Error Posted : 314\nDo you want to GPF?");
  EXPECT_EQ(ERRORCODE(), 314);  // the code is posted
}

#if !defined(_WIN32)
// On Windows the boxes are real and the black-box tests answer them.
TEST(StartupDeathTest, RuntimeErrorAnsweredNoExitsWithTwo) {
  // Without a desktop the box takes its default button, No.
  EXPECT_EXIT(RaiseRuntimeError(406, nullptr), testing::ExitedWithCode(2),
              "No return value from function");
}

TEST(StartupDeathTest, HaltMessageShowsTheTextAndHaltExitsWithItsCode) {
  EXPECT_EXIT(
      {
        ShowHaltMessage("Invalid File!");
        Halt(7);
      },
      testing::ExitedWithCode(7), "\\[Halt\\] Invalid File!");
}

TEST(StartupDeathTest, RuntimeErrorAfterShutdownReturns) {
  EXPECT_EXIT(
      {
        RuntimeShutdown();
        RaiseRuntimeError(409, nullptr);
        Halt(42);
      },
      testing::ExitedWithCode(42), "Index out of range");
}
#endif

}  // namespace
}  // namespace kor

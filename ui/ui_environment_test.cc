// Sets the window library up for its tests as a program's table would: the
// runtime lock, the timer window, the thread manager and the globals, and the
// stand-in control kinds in the slots the test windows use.
#include <gtest/gtest.h>

#include <iterator>

#include "runtime/core/module.h"
#include "ui/plain_controls.h"
#include "ui/resource/window_format.h"
#include "ui/ui_init.h"

namespace {

const kor::InitEntry kUiEntries[] = {KOR_UI_INIT_ENTRIES};
constexpr uint8_t kKinds[] = {kor::kRecButton, kor::kRecEntry, kor::kRecCheck,  kor::kRecGroup,
                              kor::kRecPrompt, kor::kRecList,  kor::kRecString, kor::kRecSpin};

class WindowLibraryEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    kor::RunInitProcedures(std::begin(kUiEntries), std::end(kUiEntries));
    kor::RegisterPlainControlKinds(kKinds, sizeof kKinds);
  }
  void TearDown() override { kor::RunExitProcedures(std::begin(kUiEntries), std::end(kUiEntries)); }
};

const testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new WindowLibraryEnvironment);

}  // namespace

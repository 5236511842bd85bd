// The program's initialisation table: the runtime's entries by priority and
// the application's own priority-5 entries, which run last.
#include "app/app_init.h"

#include <cstddef>
#include <iterator>

#include "app/core/app_data.h"
#include "app/deferred_builds.h"
#include "dde/dde.h"
#include "files/driver.h"
#include "runtime/runtime_init.h"
#include "ui/controls/control_library.h"
#include "ui/controls/controls_init.h"
#include "ui/plain_controls.h"
#include "ui/resource/control_kinds.h"
#include "ui/ui_init.h"

namespace mxb {

AppGlobals g_app;

void InitGlobalData(int32_t arg) {
  if (arg != 0) return;
  g_app.global_request = 0;
  g_app.global_response = 0;
  g_app.vcr_request = 0;
  ClearAppData();  // the record buffers and GLO:TargetName
}

namespace {

// The control kinds of each source module's windows, registered with the
// window library's creation table: the control library's class where it has
// one, else the window library's stand-in on the platform's own controls (a
// drawn element, which has none, holds its slot with a named placeholder).
// The report preview's module also registers the constant strings and drawn
// elements of report layouts.
constexpr uint8_t kMainFrameKinds[] = {kor::kRecList,  kor::kRecGroup,       kor::kRecButton,
                                       kor::kRecSpin,  kor::kRecBoundString, kor::kRecPrompt,
                                       kor::kRecEntry, kor::kRecImage};
constexpr uint8_t kProjectFormKinds[] = {kor::kRecPrompt, kor::kRecEntry, kor::kRecButton,
                                         kor::kRecCheck};
constexpr uint8_t kLogBrowseKinds[] = {kor::kRecList, kor::kRecButton};
constexpr uint8_t kLogFormKinds[] = {kor::kRecButton, kor::kRecPrompt, kor::kRecEntry};
constexpr uint8_t kPreviewKinds[] = {kor::kRecButton, kor::kRecPrompt, kor::kRecSpin,
                                     kor::kRecGroup,  kor::kRecString, kor::kRecGraphic};

template <size_t N>
void RegisterKinds(int32_t arg, const uint8_t (&kinds)[N]) {
  if (arg != 0) return;
  kor::RegisterLibraryControlKinds(kinds, N);
  kor::RegisterPlainControlKinds(kinds, N);
  kor::RegisterPlaceholderKinds(kinds, N);
}
void InitMainFrameKinds(int32_t arg) { RegisterKinds(arg, kMainFrameKinds); }
void InitProjectFormKinds(int32_t arg) { RegisterKinds(arg, kProjectFormKinds); }
void InitLogBrowseKinds(int32_t arg) { RegisterKinds(arg, kLogBrowseKinds); }
void InitLogFormKinds(int32_t arg) { RegisterKinds(arg, kLogFormKinds); }
void InitPreviewKinds(int32_t arg) { RegisterKinds(arg, kPreviewKinds); }

// The file layer follows the runtime core at priority 16: at close-down it
// commits and closes the files before the error state and the stacks that
// its statements use go away. The DDE client (15) closes its conversations
// before them too.
const kor::InitEntry kProgramInitTable[] = {
    // clang-format off
    KOR_RUNTIME_CORE_INIT_ENTRIES
    KOR_FILES_INIT_ENTRIES
    KOR_UI_INIT_ENTRIES
    KOR_DDE_INIT_ENTRIES
    KOR_CONTROLS_INIT_ENTRIES
    {5, &InitGlobalData, &InitGlobalData},
    {5, &InitDeferredBuilds, &InitDeferredBuilds},
    {5, &InitMainFrameKinds, &InitMainFrameKinds},
    {5, &InitProjectFormKinds, &InitProjectFormKinds},
    {5, &InitLogBrowseKinds, &InitLogBrowseKinds},
    {5, &InitLogFormKinds, &InitLogFormKinds},
    {5, &InitPreviewKinds, &InitPreviewKinds},
    // clang-format on
};
kor::ModuleDescriptor g_program_module = {.init_begin = std::begin(kProgramInitTable),
                                          .init_end = std::end(kProgramInitTable),
                                          .name = "mxb"};
}  // namespace

kor::ModuleDescriptor* ProgramModule() { return &g_program_module; }

}  // namespace mxb

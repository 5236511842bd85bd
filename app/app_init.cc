// The program's initialisation table: the runtime's entries by priority and
// the application's own priority-5 entries, which run last.
#include "app/app_init.h"

#include <string.h>

#include <iterator>

#include "files/driver.h"
#include "runtime/runtime_init.h"

namespace mxb {

AppGlobals g_app;

void InitGlobalData(int32_t arg) {
  if (arg != 0) return;
  memset(g_app.target_name, ' ', sizeof g_app.target_name);
  g_app.global_request = 0;
  g_app.global_response = 0;
  g_app.vcr_request = 0;
}

namespace {
// The file layer follows the runtime core at priority 16: at close-down it
// commits and closes the files before the error state and the stacks that
// its statements use go away.
const kor::InitEntry kProgramInitTable[] = {
    // clang-format off
    KOR_RUNTIME_CORE_INIT_ENTRIES
    KOR_FILES_INIT_ENTRIES
    {5, &InitGlobalData, &InitGlobalData},
    // clang-format on
};
// clang-format off
kor::ModuleDescriptor g_program_module = {
    nullptr, std::begin(kProgramInitTable), std::end(kProgramInitTable), nullptr,
    nullptr, nullptr, nullptr, nullptr, "mxb"};
// clang-format on
}  // namespace

kor::ModuleDescriptor* ProgramModule() { return &g_program_module; }

}  // namespace mxb

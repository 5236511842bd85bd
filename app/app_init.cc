// The program's initialisation table: the runtime's entries by priority and
// the application's own priority-5 entries, which run last.
#include "app/app_init.h"

#include <string.h>

#include <iterator>

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
const kor::InitEntry kProgramInitTable[] = {
    KOR_RUNTIME_CORE_INIT_ENTRIES{5, &InitGlobalData, &InitGlobalData},
};
kor::ModuleDescriptor g_program_module = {.init_begin = std::begin(kProgramInitTable),
                                          .init_end = std::end(kProgramInitTable),
                                          .name = "mxb"};
}  // namespace

kor::ModuleDescriptor* ProgramModule() { return &g_program_module; }

}  // namespace mxb

// A small program built on the runtime for the black-box tests: it starts as
// a real program does and then does what its arguments ask.
//   rtprobe order                      log the init and close-down order, exit 0
//   rtprobe version V MINOR BUILD      ask for that runtime version
//   rtprobe halt CODE TEXT             HALT(CODE, TEXT)
//   rtprobe raise CODE [TEXT]          RaiseRuntimeError(CODE, TEXT)
//   rtprobe raise-after-shutdown CODE  the same after RuntimeShutdown
//   rtprobe raiser N                   the fixed raiser of runtime error N
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <iterator>

#include "runtime/builtins/halt.h"
#include "runtime/core/module.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"
#include "runtime/values/string_stack.h"

namespace {

void Log(const char* what, int priority, int32_t arg) {
  printf("%s %d %s\n", what, priority, arg == 0 ? "init" : "exit");
  fflush(stdout);
}

#define PROBE_ENTRY(name, prio) \
  void name(int32_t arg) { Log(#name, prio, arg); }
PROBE_ENTRY(P5a, 5)
PROBE_ENTRY(P16a, 16)
PROBE_ENTRY(P255, 255)
PROBE_ENTRY(P5b, 5)
PROBE_ENTRY(P150, 150)
PROBE_ENTRY(P16b, 16)
PROBE_ENTRY(P28, 28)
#undef PROBE_ENTRY

const kor::InitEntry kTable[] = {
    KOR_RUNTIME_CORE_INIT_ENTRIES{5, &P5a, &P5a},
    {16, &P16a, &P16a},
    {255, &P255, &P255},
    {5, &P5b, &P5b},
    {150, &P150, &P150},
    {0, nullptr, nullptr},
    {16, &P16b, &P16b},
    {28, &P28, &P28},
};
kor::ModuleDescriptor g_module = {
    .init_begin = std::begin(kTable), .init_end = std::end(kTable), .name = "rtprobe"};

void RaiserFor(int n) {
  switch (n) {
    case 401: kor::RaiseRuntimeError401(); break;
    case 402: kor::RaiseRuntimeError402(); break;
    case 404: kor::RaiseRuntimeError404(); break;
    case 405: kor::RaiseRuntimeError405(); break;
    case 406: kor::RaiseRuntimeError406(); break;
    case 407: kor::RaiseRuntimeError407(); break;
    case 409: kor::RaiseRuntimeError409(); break;
    default: break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  kor::OsResetFpu();
  const char* cmd = argc > 1 ? argv[1] : "order";
  uint32_t v = 5, minor = 0, build = 0;
  if (strcmp(cmd, "version") == 0 && argc > 4) {
    v = static_cast<uint32_t>(strtoul(argv[2], nullptr, 0));
    minor = static_cast<uint32_t>(strtoul(argv[3], nullptr, 0));
    build = static_cast<uint32_t>(strtoul(argv[4], nullptr, 0));
  }
  kor::RegisterModule(&g_module, nullptr);
  if (!kor::CheckRuntimeVersion(v, minor, build)) kor::Halt(0);
  kor::InstallRuntimeFaultHandler();
  kor::RuntimeStart();
  if (strcmp(cmd, "halt") == 0 && argc > 3) {
    kor::PushCString(argv[3]);
    kor::HALT(static_cast<uint32_t>(atoi(argv[2])), 0);
  } else if (strcmp(cmd, "raise") == 0 && argc > 2) {
    kor::RaiseRuntimeError(atoi(argv[2]), argc > 3 ? argv[3] : nullptr);
  } else if (strcmp(cmd, "raiser") == 0 && argc > 2) {
    RaiserFor(atoi(argv[2]));
  } else if (strcmp(cmd, "raise-after-shutdown") == 0 && argc > 2) {
    kor::RuntimeShutdown();
    kor::RaiseRuntimeError(atoi(argv[2]), nullptr);
    printf("returned\n");
    fflush(stdout);
    kor::Halt(0);
  }
  printf("main done\n");
  fflush(stdout);
  kor::RuntimeShutdown();
  kor::Halt(0);
}

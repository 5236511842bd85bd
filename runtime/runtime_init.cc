// Static objects of the runtime core that have no module of their own.
#include "runtime/runtime_init.h"

#include "runtime/os/os.h"

namespace kor {

namespace {
uint32_t g_startup_tick = 0;
}  // namespace

void InitStartupTick(int32_t arg) {
  if (arg == 0) g_startup_tick = OsTickCount();
}

uint32_t ElapsedHundredths() { return (OsTickCount() - g_startup_tick) / 10; }

}  // namespace kor

// The window library's globals at start-up and close-down.
#include "ui/ui_init.h"

#include "runtime/core/startup.h"
#include "ui/library_state.h"
#include "ui/window_close.h"

namespace kor {

void InitWindowLibrary(int32_t arg) {
  SetShutdownHook(ShutdownStep::kCloseWindows, arg == 0 ? &CloseAllWindows : nullptr);
  // The fault report names the current event and fields through this.
  SetLibraryStateProvider(arg == 0 ? &ProvideLibraryState : nullptr);
}

}  // namespace kor

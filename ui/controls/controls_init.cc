// The control library's start-up and close-down.
#include "ui/controls/controls_init.h"

#include "runtime/core/startup.h"
#include "ui/controls/message_box.h"
#include "ui/controls/standard_actions.h"
#include "ui/controls/tool_bar.h"
#include "ui/window_build.h"
#include "ui/window_proc.h"

namespace kor {

void InitControlLibrary(int32_t arg) {
  SetHaltMessageBox(arg == 0 ? &PlatformStyleMessageBox : nullptr);
  SetToolBarBuilder(arg == 0 ? &BuildToolBar : nullptr);
  SetStandardActionHandler(arg == 0 ? &PerformAction : nullptr);
  SetActionStateHandler(arg == 0 ? &UpdateStandardActions : nullptr);
}

}  // namespace kor

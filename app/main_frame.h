// The main frame procedure: the program's main window and its event loop.
#pragma once

#include "app/core/unattended.h"

namespace mxb {

// Returns when the main window has closed. For an unattended run the window
// is shown minimised or hidden, the operation runs inside its loop, the
// report is written, and the window closes; the run's exit status is left
// in *exit_status.
void MainFrame(const RunOptions& options, int32_t* exit_status);

}  // namespace mxb

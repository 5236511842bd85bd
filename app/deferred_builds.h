// Deferred builds of the data files: the Velocore driver posts its build
// message to the program's current window and the event loop hands the
// FILE back as BUILDevent. The window library and the drivers do not know
// each other, so the program joins them at start-up.
#pragma once

#include <cstdint>

namespace mxb {

// Start-up entry (priority 5): installs the driver's poster and the window
// library's handler of the build message; close-down removes both.
void InitDeferredBuilds(int32_t arg);

}  // namespace mxb

// "Z9EE /quit": closes the stand-in that runs for a service from another
// process, as a person closing its window would (for scripts and tests that
// started it without knowing its process).
#pragma once

#include <string>

namespace sim {

// Posts WM_CLOSE to every main window of the stand-in for `service` and
// waits up to `wait_ms` for them to go. Returns how many were closed, or -1
// when some are still there after the wait.
int QuitRunning(const std::string& service, unsigned wait_ms);

}  // namespace sim

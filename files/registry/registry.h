// The drivers linked into the runtime, found by the name in DRIVER('...').
#pragma once

#include "files/driver.h"

namespace kor {

// The registration record of the driver with that name (compared without
// regard to case), or null when no such driver is linked.
const DriverRegistration* FindDriver(const char* name);

}  // namespace kor

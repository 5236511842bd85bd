// How a Status of the format layers becomes the result of a driver call:
// the file error code, and for an internal check the driver's own error pair
// (the check number as the code text, "Possible data corruption in file" or,
// with no file name known, "Velocore File Driver Error"); for an
// operating-system failure the system's text for the trace.
#pragma once

#include <cstdint>
#include <string>

#include "files/driver.h"
#include "files/velocore/status.h"

namespace kor::vel {

// The call's result (0 or an error code) with `out` filled for the frame.
int32_t DriverResult(const Status& s, const std::string& file_name, DriverOutput* out);

}  // namespace kor::vel

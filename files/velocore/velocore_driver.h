// The VELOCORE driver: the native indexed data files.
#pragma once

#include <cstdint>

#include "files/driver.h"
#include "files/file_decl.h"

namespace kor {

// The driver's entry, which a FILE declaration puts in its first field, and
// its registration record.
intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args);
const DriverRegistration& VelocoreRegistration();

}  // namespace kor

// The driver entries of the drivers linked into the runtime; a FILE
// declaration puts one of them in its first field.
#pragma once

#include <cstdint>

#include "files/file_decl.h"

namespace kor {

intptr_t DosDriverEntry(int32_t op, FileDescriptor* file, const void* args);
intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args);

}  // namespace kor

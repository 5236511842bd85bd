// Portable part of the file services: the translation of system error numbers.
#include "runtime/os/os.h"

namespace kor {

uint32_t OsTranslateError(uint32_t system_error) {
  // A sharing violation is reported as "Access Denied" and a bad path name as
  // "Path Not Found": the file error codes have no numbers of their own for them.
  if (system_error == kOsSharingViolation) return kOsAccessDenied;
  if (system_error == kOsBadPathName) return kOsPathNotFound;
  return system_error;
}

}  // namespace kor

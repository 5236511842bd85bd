// Status values as driver call results (see driver_status.h).
#include "files/velocore/driver_status.h"

#include "runtime/core/error_state.h"

namespace kor::vel {

int32_t DriverResult(const Status& s, const std::string& file_name, DriverOutput* out) {
  if (s.ok()) return kErrNone;
  if (s.is_check()) {
    out->driver_code = CheckCodeText(s.check);
    out->driver_message = CheckMessage(!file_name.empty());
  } else if (s.os_error != 0) {
    out->os_error_text = ErrorText(kErrOsBase + int32_t(s.os_error));
  }
  return s.code;
}

}  // namespace kor::vel

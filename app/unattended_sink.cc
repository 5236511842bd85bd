// The unattended run's warning sink.
#include "app/unattended_sink.h"

#include "app/core/app_data.h"
#include "app/core/batch_run.h"
#include "runtime/core/error_state.h"
#include "runtime/core/startup.h"

namespace mxb {

uint32_t UnattendedSink::Show(const WarningMessage& message) {
  report_.Note(message.text);
  if (Data().temp.fcb != nullptr) {
    kor::SaveErrorState();
    LogEvent("", message.text);
    kor::RestoreErrorState();
  }
  return message.default_button;
}

void UnattendedSink::End(int32_t, const char* halt_text) {
  report_.Note(halt_text);
  report_.SetFatalFileError();
  report_.WriteTo(report_path_);
  kor::RuntimeShutdown();
  kor::Halt(static_cast<uint32_t>(report_.ExitStatus()));
}

}  // namespace mxb

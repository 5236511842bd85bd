// Where the file procedures' warnings go in an unattended run: never to the
// screen. Each message is noted in the report (and written to the activity
// log when it is open) and answered with its default button; a fatal one
// writes the report and ends the program with exit status 4 and no box.
#pragma once

#include <string>

#include "app/core/unattended.h"
#include "app/core/warnings.h"

namespace mxb {

class UnattendedSink : public WarningSink {
 public:
  UnattendedSink(RunReport& report, std::string report_path)
      : report_(report), report_path_(std::move(report_path)) {}
  uint32_t Show(const WarningMessage& message) override;
  [[noreturn]] void End(int32_t exit_code, const char* halt_text) override;

 private:
  RunReport& report_;
  std::string report_path_;
};

}  // namespace mxb

// The application's messages on the screen: the standard warning's sink for
// interactive procedures, and the plain message boxes of the browses and
// forms (text, caption, one of the system's standard icons, OK).
#pragma once

#include <cstdint>
#include <string>

#include "app/core/warnings.h"

namespace mxb {

// The system's standard icons by number: 32513 hand, 32514 question,
// 32515 exclamation, 32516 asterisk.
inline constexpr uint32_t kStandardIconQuestion = 32514;

// Shows an OK box with `icon` (a standard icon number; 0 = none).
void ShowPlainMessage(const std::string& text, const std::string& caption, uint32_t icon);

// Shows each warning in the runtime's message box with its buttons,
// default button and icon; End shows the halt text in the halt box and
// ends the program through the runtime's halt.
class ScreenWarningSink : public WarningSink {
 public:
  uint32_t Show(const WarningMessage& message) override;
  [[noreturn]] void End(int32_t exit_code, const char* halt_text) override;
};

// The sink the interactive procedures share.
ScreenWarningSink& ScreenWarnings();

}  // namespace mxb

// Where the interactive program's messages go: the runtime's message box.
// The file procedures' warnings (ScreenWarningSink) and the batch
// operations' messages (ShowBatchMessage, installed as the batch message
// hook) both end up in ShowFrameMessage.
//
// Icons are the runtime's standard icons by number (32513 .. 32516, the
// platform's own); 0 shows none. Captions may be empty (the box's default).
// Buttons are a set of the box's bits (1 OK, 2 Yes, 4 No, 0x10 Retry,
// 0x40 Cancel); the answer is the bit pressed, 0 when the box was closed
// another way.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/warnings.h"

namespace mxb {

// The standard icon the browses' and forms' plain messages show.
inline constexpr uint32_t kStandardIconQuestion = 32514;

// The image name of a standard icon: the four-byte reference 0xFF, 1
// (a platform icon), identifier + 1 (16 bits, low byte first); "" for 0.
std::string StandardIconName(uint32_t icon);

uint32_t ShowFrameMessage(const std::string& text, const std::string& caption, uint32_t icon,
                          uint32_t buttons = kButtonOk, uint32_t default_button = 0);

// The batch operations' messages, OK alone.
void ShowBatchMessage(const std::string& text, const std::string& caption, uint32_t icon);

class ScreenWarningSink : public WarningSink {
 public:
  uint32_t Show(const WarningMessage& message) override;
  // The runtime's HALT with the halt text in its box and the exit code.
  [[noreturn]] void End(int32_t exit_code, const char* halt_text) override;
};

// The sink the interactive procedures share.
ScreenWarningSink& ScreenWarnings();

}  // namespace mxb

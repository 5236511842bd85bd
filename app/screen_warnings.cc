// The standard warning and plain messages shown in the runtime's message box.
#include "app/screen_warnings.h"

#include <string>

#include "runtime/core/startup.h"
#include "ui/controls/message_box.h"

namespace mxb {

namespace {

// The message box takes a standard icon as the platform's icon class bits
// (0x10 for 32513 .. 0x40 for 32516).
constexpr uint32_t kFirstStandardIcon = 32513;
constexpr uint32_t kStandardIconCount = 4;

uint32_t IconStyle(uint32_t icon) {
  if (icon < kFirstStandardIcon || icon >= kFirstStandardIcon + kStandardIconCount) return 0;
  return (icon - kFirstStandardIcon + 1) << 4;
}

}  // namespace

void ShowPlainMessage(const std::string& text, const std::string& caption, uint32_t icon) {
  kor::MessageBoxArgs args;
  args.text = text;
  args.caption = caption;
  args.buttons = std::to_string(kButtonOk);
  args.default_button = int32_t(kButtonOk);
  args.style = IconStyle(icon);
  kor::ShowMessageBox(args);
}

uint32_t ScreenWarningSink::Show(const WarningMessage& message) {
  kor::MessageBoxArgs args;
  args.text = message.text;
  args.caption = message.caption;
  args.buttons = std::to_string(message.buttons);
  args.default_button = int32_t(message.default_button);
  args.style = IconStyle(message.icon);
  return uint32_t(kor::ShowMessageBox(args));
}

void ScreenWarningSink::End(int32_t exit_code, const char* halt_text) {
  kor::ShowHaltMessage(halt_text);
  kor::RuntimeShutdown();
  kor::Halt(uint32_t(exit_code));
}

ScreenWarningSink& ScreenWarnings() {
  static ScreenWarningSink sink;
  return sink;
}

}  // namespace mxb

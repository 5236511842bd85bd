// The interactive program's message box and warning sink.
#include "app/screen_sink.h"

#include <string>

#include "runtime/builtins/halt.h"
#include "runtime/values/string_stack.h"
#include "ui/controls/message_box.h"
#include "ui/resource/window_format.h"

namespace mxb {

std::string StandardIconName(uint32_t icon) {
  if (icon == 0) return std::string();
  const uint32_t stored = icon + 1;
  return std::string{static_cast<char>(kor::kImageRefMark), static_cast<char>(kor::kRefPlatform),
                     static_cast<char>(stored & 0xFF), static_cast<char>((stored >> 8) & 0xFF)};
}

uint32_t ShowFrameMessage(const std::string& text, const std::string& caption, uint32_t icon,
                          uint32_t buttons, uint32_t default_button) {
  kor::MessageBoxArgs args;
  args.text = text;
  args.caption = caption;
  args.icon = StandardIconName(icon);
  args.buttons = std::to_string(buttons);
  args.default_button = static_cast<int32_t>(default_button);
  return static_cast<uint32_t>(kor::ShowMessageBox(args));
}

void ShowBatchMessage(const std::string& text, const std::string& caption, uint32_t icon) {
  ShowFrameMessage(text, caption, icon);
}

uint32_t ScreenWarningSink::Show(const WarningMessage& message) {
  return ShowFrameMessage(message.text, message.caption, message.icon, message.buttons,
                          message.default_button);
}

void ScreenWarningSink::End(int32_t exit_code, const char* halt_text) {
  kor::PushCString(halt_text);
  kor::HALT(static_cast<uint32_t>(exit_code), 0);
}

ScreenWarningSink& ScreenWarnings() {
  static ScreenWarningSink sink;
  return sink;
}

}  // namespace mxb

// Property targets: the system target and the top window's controls.
#include "ui/properties.h"

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"
#include "ui/system_target.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

namespace {

// The control of a target, or null; posts 536 when no window is open.
Control* TargetControl(int32_t target) {
  Window* w = TopWindow();
  if (w == nullptr || !w->is_open()) {
    PostError(kErrWindowNotOpen);
    return nullptr;
  }
  return w->ControlOf(target);
}

// Fixed-length values come blank-padded.
std::string TrimRight(const std::string& text) {
  size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

}  // namespace

bool ParsePropertyNumber(std::string_view text, uint32_t* out) {
  if (text.empty()) return false;
  bool hex = text.back() == 'h' || text.back() == 'H';
  if (hex) text.remove_suffix(1);
  // At most 32 bits: eight hexadecimal digits, ten decimal ones (checked below).
  if (text.empty() || text.size() > (hex ? 8u : 10u)) return false;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * (hex ? 16 : 10) + digit;
  }
  if (value > 0xFFFFFFFFu) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

void SetPropertyValue(int32_t target, uint32_t property, int32_t index, const std::string& value) {
  ClearError();
  if (target == 0) {
    SetSystemProperty(property, value);
    return;
  }
  if (Control* c = TargetControl(target)) c->SetProperty(property, index, value);
}

std::string GetPropertyValue(int32_t target, uint32_t property, int32_t index) {
  ClearError();
  if (target == 0) return SystemProperty(property);
  std::string value;
  if (Control* c = TargetControl(target)) c->GetProperty(property, index, &value);
  return value;
}

void SetProperty(int32_t target, int32_t index) {
  std::string value = PopToStdString();
  std::string number = TrimRight(PopToStdString());
  number.erase(0, number.find_first_not_of(' '));
  uint32_t property = 0;
  if (!ParsePropertyNumber(number, &property)) return;
  SetPropertyValue(target, property, index, TrimRight(value));
}

}  // namespace kor

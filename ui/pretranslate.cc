// Alert keys, hot keys and Tab, taken before dispatch.
#include "ui/pretranslate.h"

#include <algorithm>

#include "ui/accept.h"
#include "ui/dialog_keys.h"
#include "ui/event_step.h"
#include "ui/key_codes.h"
#include "ui/window.h"

namespace kor {

namespace {

bool Holds(const std::vector<int32_t>& keys, uint16_t key) {
  return std::find(keys.begin(), keys.end(), static_cast<int32_t>(key)) != keys.end();
}

// The field whose alert key `key` is (0 = the window's); -1 when none.
int32_t AlertField(Window* w, Control* c, uint16_t key) {
  if (c != nullptr && Holds(c->alert_keys(), key)) return c->field();
  if (Holds(w->state().record.message.alert_keys, key)) return 0;
  return -1;
}

bool TakeAlertKey(Window* w, Control* c, uint16_t key) {
  int32_t field = AlertField(w, c, key);
  if (field < 0) return false;
  EventRecord pre = MakeEvent(kEventPreAlert, field, nullptr, key);
  pre.character = CharacterOfKey(key);
  if (DeliverNow(w, pre) == Pass::kCycle) return false;
  EventRecord alert = pre;
  alert.code = EventCode(kEventAlertKey);
  w->PostRecord(alert);
  return true;
}

bool TakeHotKey(Window* w, uint16_t key) {
  for (const auto& c : w->state().controls) {
    if (c->hot_key() == key && c->handle() != nullptr && IsWindowEnabled(c->handle())) {
      c->HotKey();
      return true;
    }
  }
  return false;
}

bool TakeTab(Window* w, uint16_t key) {
  if ((key & 0xFF) != VK_TAB || (key & (kKeyCtrl | kKeyAlt)) != 0) return false;
  HWND next = GetNextDlgTabItem(w->handle(), GetFocus(), (key & kKeyShift) != 0);
  if (next != nullptr) SetFocus(next);
  return true;
}

}  // namespace

Control* ControlContaining(Window* w, HWND hwnd) {
  for (HWND h = hwnd; h != nullptr && h != w->handle(); h = GetParent(h)) {
    if (Control* c = w->ControlByHandle(h)) return c;
  }
  return nullptr;
}

bool PreTranslate(Window* w, MSG* msg) {
  HWND self = w->handle();
  if (msg->hwnd != self && !IsChild(self, msg->hwnd)) return false;
  uint16_t key = KeyCodeOf(*msg);
  if (key == 0) return false;
  if (TakeAlertKey(w, ControlContaining(w, msg->hwnd), key)) return true;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  return TakeHotKey(w, key) || TakeTab(w, key) || TakeDialogKey(w, *msg);
}

}  // namespace kor

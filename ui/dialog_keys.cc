// Enter, Escape and mnemonics in windows of controls.
#include "ui/dialog_keys.h"

#include "ui/control.h"
#include "ui/key_codes.h"
#include "ui/window.h"

namespace kor {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool Usable(HWND h) { return h != nullptr && IsWindowEnabled(h) && IsWindowVisible(h); }

bool IsPushButton(HWND h) {
  if (h == nullptr || (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) return false;
  LONG kind = GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK;
  return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

void Press(HWND h) { SendMessageA(h, BM_CLICK, 0, 0); }

// A control that wants every key for now (a dropped drop-down list) keeps
// Enter and Escape.
bool WantsAllKeys(Window* w) {
  HWND focus = GetFocus();
  return focus != nullptr && IsChild(w->handle(), focus) &&
         (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS) != 0;
}

bool TakeEnter(Window* w) {
  if (WantsAllKeys(w)) return false;
  HWND focus = GetFocus();
  if (IsPushButton(focus) && IsChild(w->handle(), focus)) {
    Press(focus);
    return true;
  }
  Control* focused = w->ControlByHandle(focus);
  if (focused != nullptr && focused->type() == kRecList && focused->record().drop == 0)
    return false;
  Control* def = w->state().default_button;
  if (def == nullptr || !Usable(def->handle())) return false;
  Press(def->handle());
  return true;
}

std::string TextWithoutMarks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += Upper(c);
  return out;
}

bool TakeEscape(Window* w) {
  if (WantsAllKeys(w)) return false;
  for (const auto& c : w->state().controls) {
    if (c->type() != kRecButton || !Usable(c->handle())) continue;
    if (TextWithoutMarks(c->record().text) != "CANCEL") continue;
    Press(c->handle());
    return true;
  }
  return false;
}

void Activate(Window* w, Control* c) {
  switch (c->type()) {
    case kRecButton:
    case kRecCheck: Press(c->handle()); break;
    case kRecPrompt:
    case kRecGroup: {
      HWND next = GetNextDlgTabItem(w->handle(), c->handle(), FALSE);
      if (next != nullptr) SetFocus(next);
      break;
    }
    default: SetFocus(c->handle()); break;
  }
}

bool TakeMnemonic(Window* w, char key) {
  for (const auto& c : w->state().controls) {
    if (!Usable(c->handle()) || MnemonicOf(c->record().text) != key) continue;
    Activate(w, c.get());
    return true;
  }
  return false;
}

}  // namespace

char MnemonicOf(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;  // "&&": a plain "&"
      continue;
    }
    return Upper(text[i + 1]);
  }
  return 0;
}

bool TakeDialogKey(Window* w, const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  uint16_t key = KeyCodeOfMessage(msg);
  uint16_t base = key & 0xFF;
  uint16_t mods = key & (kKeyCtrl | kKeyAlt | kKeyShift);
  constexpr LPARAM kAltContext = LPARAM(1) << 29;  // the key came with Alt down
  if (msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltContext) != 0) mods |= kKeyAlt;
  if (base == VK_RETURN && (mods & (kKeyCtrl | kKeyAlt)) == 0) return TakeEnter(w);
  if (base == VK_ESCAPE && mods == 0) return TakeEscape(w);
  bool alnum = (base >= 'A' && base <= 'Z') || (base >= '0' && base <= '9');
  if (alnum && mods == kKeyAlt) return TakeMnemonic(w, char(base));
  return false;
}

}  // namespace kor

// The control object's common part: position, child window, binding and the
// default answers.
#include "ui/control.h"

#include <string.h>

#include "ui/events.h"
#include "ui/window.h"

namespace kor {

Control::Control(Window* window, const ControlRecord& record) : window_(window), record_(record) {
  // The group's children belong to their own objects.
  record_.children.clear();
  needs_accept_ = (record_.attr & kCtlRequired) != 0;
}

Control::~Control() {
  if (handle_ != nullptr && IsWindow(handle_)) DestroyWindow(handle_);
}

SIZE Control::NaturalSize() const {
  SIZE size = {0, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, window_->state().font);
  const std::string& text = record_.text;
  GetTextExtentPoint32A(dc, text.empty() ? " " : text.c_str(),
                        text.empty() ? 1 : static_cast<int>(text.size()), &size);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  size.cy = tm.tmHeight;
  return size;
}

RECT Control::PixelRect() const {
  const UnitScale& s = window_->state().scale;
  Converted x = ToPixelsX(s, record_.position.x);
  Converted y = ToPixelsY(s, record_.position.y);
  Converted w = ToPixelsX(s, record_.position.width);
  Converted h = ToPixelsY(s, record_.position.height);
  if (w.is_default || h.is_default) {
    SIZE natural = NaturalSize();
    if (w.is_default) w.pixels = RoundUpToUnitsX(s, natural.cx);
    if (h.is_default) h.pixels = RoundUpToUnitsY(s, natural.cy);
  }
  // The window does not scroll yet: its origin is 0, 0.
  return RECT{x.pixels, y.pixels, x.pixels + w.pixels, y.pixels + h.pixels};
}

namespace {

// Kinds that never take the focus are no tab stops.
bool TakesFocus(uint8_t type) {
  switch (type) {
    case kRecBoundString:
    case kRecString:
    case kRecImage:
    case kRecGraphic:
    case kRecPrompt:
    case kRecGroup: return false;
    default: return true;
  }
}

}  // namespace

HWND Control::CreateChild(const char* class_name, const char* text, DWORD style, DWORD ex_style) {
  style |= WS_CHILD;
  if ((record_.attr & kCtlNoTab) == 0 && TakesFocus(record_.type)) style |= WS_TABSTOP;
  if ((record_.attr & kCtlHidden) == 0) style |= WS_VISIBLE;
  if (record_.attr & kCtlDisabled) style |= WS_DISABLED;
  RECT r = PixelRect();
  HWND parent = window_->handle();
  HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(record_.field + kControlIdBase));
  handle_ = CreateWindowExA(ex_style, class_name, text, style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, id, GetModuleHandleA(nullptr), nullptr);
  if (handle_ != nullptr && window_->state().font != nullptr)
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(window_->state().font), FALSE);
  return handle_;
}

bool Control::BindVariables() {
  AddressList& list = window_->state().addresses;
  // Record order: the bound variable (21), a second variable, the source.
  if (record_.variable.present() && !BindNextOrStop(list, record_.variable, &variable_))
    return false;
  if (record_.second.present() && !BindNextOrStop(list, record_.second, &second_)) return false;
  if (record_.source.present() && !BindNextOrStop(list, record_.source, &source_)) return false;
  return true;
}

void Control::Post(int32_t number) {
  if (record_.field != 0) window_->Post(number, record_.field);
}

bool Control::AcceptForCompletion() {
  needs_accept_ = false;
  Post(kEventAccepted);
  return true;
}

void Control::Select(int32_t start, int32_t end) {
  if (handle_ == nullptr) return;
  SetFocus(handle_);
  char cls[16] = {};
  GetClassNameA(handle_, cls, sizeof cls);
  if (_stricmp(cls, "Edit") == 0) SendMessageA(handle_, EM_SETSEL, start, end);
}

void Control::Command(int code) {
  if (code == BN_CLICKED) Post(kEventAccepted);
}

LRESULT Control::Notify(NMHDR*) { return 0; }

void Control::HotKey() {
  if (type() == kRecButton || type() == kRecCheck) {
    Post(kEventAccepted);
  } else if (handle_ != nullptr) {
    SetFocus(handle_);
  }
}

bool Control::SetProperty(uint32_t, int32_t, const std::string&) { return false; }
bool Control::GetProperty(uint32_t, int32_t, std::string*) const { return false; }

Window* CreationWindow(const ControlCreation& creation) {
  return static_cast<Window*>(creation.window);
}

Control* CreationGroup(const ControlCreation& creation) {
  return static_cast<Control*>(creation.parent);
}

void Control::AddAlertKey(int32_t key) {
  std::vector<int32_t>& keys = record_.message.alert_keys;
  for (int32_t k : keys) {
    if (k == key) return;
  }
  keys.push_back(key);
}

}  // namespace kor

// Prompts, strings and bound strings.
#include "ui/controls/text_controls.h"

#include <memory>

#include "ui/controls/bound_value.h"
#include "ui/controls/control_class.h"
#include "ui/window.h"

namespace kor {

namespace {

DWORD StaticAlign(int32_t attr) {
  switch (attr & kCtlAlignMask) {
    case kCtlRight: return SS_RIGHT;
    case kCtlCentre: return SS_CENTER;
    default: return SS_LEFT;
  }
}

UINT DrawAlign(int32_t attr) {
  switch (attr & kCtlAlignMask) {
    case kCtlRight: return DT_RIGHT;
    case kCtlCentre: return DT_CENTER;
    default: return DT_LEFT;
  }
}

class Prompt : public ClassControl {
 public:
  using ClassControl::ClassControl;
  HWND Create() { return CreateOfClass(kKorPrompt, record().text.c_str(), StaticAlign(attr()), 0); }
};

class String : public ClassControl {
 public:
  using ClassControl::ClassControl;

  HWND Create() {
    HWND h = CreateOfClass(kKorString, "", 0, 0);
    if (h != nullptr) Refresh();
    return h;
  }

  void Refresh() override {
    std::string text = type() == kRecBoundString ? FormatBound(*this) : record().text;
    SetWindowTextA(handle(), text.c_str());
    InvalidateRect(handle(), nullptr, TRUE);
  }

  SIZE NaturalSize() const override {
    SIZE size = Control::NaturalSize();
    if (type() == kRecBoundString) {
      // Wide enough for the picture's text.
      HDC dc = GetDC(handle());
      HGDIOBJ old = SelectObject(dc, window()->state().font);
      std::string shown = FormatBound(*this);
      SIZE ext = {};
      GetTextExtentPoint32A(dc, shown.c_str(), int(shown.size()), &ext);
      SelectObject(dc, old);
      ReleaseDC(handle(), dc);
      size.cx = std::max(size.cx, ext.cx);
    }
    return size;
  }

  bool Message(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    if (msg == WM_PAINT) {
      Paint();
      *result = 0;
      return true;
    }
    return false;
  }

 private:
  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle(), &ps);
    RECT r;
    GetClientRect(handle(), &r);
    HGDIOBJ old = SelectObject(dc, window()->state().font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    char text[512] = {};
    GetWindowTextA(handle(), text, sizeof text);
    DrawTextA(dc, text, -1, &r,
              DrawAlign(attr()) | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    EndPaint(handle(), &ps);
  }
};

}  // namespace

void* CreatePrompt(const ControlCreation& creation) { return MakeControl<Prompt>(creation); }
void* CreateString(const ControlCreation& creation) { return MakeControl<String>(creation); }

}  // namespace kor

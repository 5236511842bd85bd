// Entry fields and spin boxes.
#include "ui/controls/entry.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>

#include "ui/controls/bound_value.h"
#include "ui/controls/control_class.h"
#include "ui/events.h"

namespace kor {

namespace {

constexpr int kUpDownId = 1;

DWORD EditStyle(int32_t attr) {
  DWORD style = ES_AUTOHSCROLL;
  if (attr & kCtlReadOnly) style |= ES_READONLY;
  if (attr & kCtlPassword) style |= ES_PASSWORD;
  if (attr & kCtlUpper) style |= ES_UPPERCASE;
  if (attr & kCtlRight) style |= ES_RIGHT;
  return style;
}

class Entry : public ClassControl {
 public:
  using ClassControl::ClassControl;

  HWND Create() {
    HWND h = CreateOfClass(kKorEdit, "", EditStyle(attr()), WS_EX_CLIENTEDGE);
    if (h == nullptr) return nullptr;
    if (type() == kRecSpin) AddArrows();
    Refresh();
    return h;
  }

  void Refresh() override {
    if (variable().address == nullptr) return;
    std::string text = FormatBound(*this);
    refreshing_ = true;
    SetWindowTextA(handle(), text.c_str());
    refreshing_ = false;
  }

  void Command(int code) override {
    switch (code) {
      case EN_SETFOCUS:
        SendMessageA(handle(), EM_SETSEL, 0, -1);
        Post(kEventSelected);
        break;
      case EN_CHANGE:
        if (!refreshing_) set_needs_accept(true);
        break;
      case EN_KILLFOCUS:
        if (changed()) Leave();
        break;
      default: break;
    }
  }

  bool AcceptForCompletion() override { return Leave(); }

  bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override {
    if (msg == WM_VSCROLL && type() == kRecSpin && LOWORD(wp) == SB_THUMBPOSITION) {
      *result = 0;
      return true;
    }
    if (msg == WM_NOTIFY && type() == kRecSpin) {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->code == UDN_DELTAPOS) {
        Step(-reinterpret_cast<NMUPDOWN*>(lp)->iDelta);
        *result = 1;  // the up-down keeps no position of its own
        return true;
      }
    }
    if (msg == WM_KEYDOWN && type() == kRecSpin && (wp == VK_UP || wp == VK_DOWN)) {
      Step(wp == VK_UP ? 1 : -1);
      *result = 0;
      return true;
    }
    if (msg == WM_SIZE && arrows_ != nullptr) PlaceArrows();
    return false;
  }

 private:
  // Edited since the variable was shown: the common part's accept mark.
  bool changed() const { return Control::NeedsAccept(); }

  bool Leave() {
    if (!changed()) return true;
    char text[1024] = {};
    GetWindowTextA(handle(), text, sizeof text);
    if (!StoreBound(*this, text)) {
      Post(kEventRejected);
      return false;
    }
    set_needs_accept(false);
    Refresh();
    Post(kEventAccepted);
    return true;
  }

  void Step(int direction) {
    if (attr() & kCtlReadOnly) return;
    if (changed() && !Leave()) return;
    double step = record().step != 0 ? record().step : 1;
    double value = BoundReal(*this) + direction * step;
    if (record().low != 0 || record().high != 0)
      value = std::clamp(value, std::min(record().low, record().high),
                         std::max(record().low, record().high));
    StoreBoundReal(*this, value);
    Refresh();
    Post(kEventNewSelection);
  }

  void AddArrows() {
    arrows_ = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS, 0, 0, 0,
                              0, handle(), reinterpret_cast<HMENU>(kUpDownId),
                              GetModuleHandleA(nullptr), nullptr);
    PlaceArrows();
  }

  void PlaceArrows() {
    RECT r;
    GetClientRect(handle(), &r);
    int w = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), r.right / 2);
    MoveWindow(arrows_, r.right - w, 0, w, r.bottom, TRUE);
    SendMessageA(handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w));
  }

  HWND arrows_ = nullptr;
  bool refreshing_ = false;  // SetWindowText's EN_CHANGE is no edit
};

}  // namespace

void* CreateEntry(const ControlCreation& creation) { return MakeControl<Entry>(creation); }

}  // namespace kor

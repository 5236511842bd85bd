// Buttons, check boxes and group boxes.
#include "ui/controls/buttons.h"

#include <windowsx.h>

#include <memory>

#include "ui/controls/bound_value.h"
#include "ui/controls/control_class.h"
#include "ui/controls/standard_actions.h"
#include "ui/events.h"
#include "ui/images.h"
#include "ui/window.h"
#include "ui/window_proc.h"

namespace kor {

namespace {

constexpr uint8_t kOptionDefault = 0x01;

uint32_t Ms(uint16_t hundredths) { return uint32_t(hundredths) * 10; }

// The module whose resources a control's images come from.
HINSTANCE ImageModule(const Control& control) {
  auto module = static_cast<HINSTANCE>(control.window()->state().module_instance);
  return module != nullptr ? module : GetModuleHandleA(nullptr);
}

class Button : public ClassControl {
 public:
  using ClassControl::ClassControl;
  ~Button() override {
    if (icon_.owned) DestroyIcon(icon_.icon);
  }

  HWND Create() {
    DWORD style = BS_PUSHBUTTON | BS_NOTIFY;
    HWND h = CreateOfClass(kKorButton, record().text.c_str(), style, 0);
    // An editing button leaves the focus in the field it edits, so Tab
    // passes it by.
    if (h != nullptr && IsEditingAction(action()))
      SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~WS_TABSTOP);
    if (h != nullptr && record().image.kind != ImageName::Kind::kNone) {
      icon_ = LoadIconByName(record().image, ImageModule(*this));
      if (icon_.icon != nullptr) SendMessageA(h, BM_SETIMAGE, IMAGE_ICON, LPARAM(icon_.icon));
    }
    return h;
  }

  void Command(int code) override {
    if (code == BN_SETFOCUS) {
      Post(kEventSelected);
    } else if (code == BN_CLICKED) {
      if (mouse_repeat_) {
        mouse_repeat_ = false;  // the press already posted
        return;
      }
      Press();
    }
  }

  void HotKey() override { Press(); }

  bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override {
    if (IsEditingAction(action()) && EditingMouse(msg, wp, lp)) return true;
    if ((attr() & kCtlRepeat) == 0) return false;
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        *result = PassOn(msg, wp, lp);
        StartRepeat();
        return true;
      case WM_TIMER:
        if (wp != kRepeatTimerId) return false;
        Tick();
        return true;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
      case WM_KILLFOCUS:
      case WM_DESTROY:
        held_ = false;
        KillTimer(handle(), kRepeatTimerId);
        return false;
      default: return false;
    }
  }

 private:
  // An editing button is pressed without taking the focus (the field keeps
  // its selection): the platform's button would take it on the click.
  bool EditingMouse(UINT msg, WPARAM wp, LPARAM lp) {
    POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT r;
    GetClientRect(handle(), &r);
    switch (msg) {
      case WM_SETFOCUS: {
        HWND before = reinterpret_cast<HWND>(wp);
        if (before != nullptr && IsWindow(before)) SetFocus(before);
        return true;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        SetCapture(handle());
        pressing_ = true;
        SendMessageA(handle(), BM_SETSTATE, TRUE, 0);
        return true;
      case WM_MOUSEMOVE:
        if (pressing_) SendMessageA(handle(), BM_SETSTATE, PtInRect(&r, p), 0);
        return pressing_;
      case WM_LBUTTONUP:
        if (!pressing_) return true;
        pressing_ = false;
        ReleaseCapture();
        SendMessageA(handle(), BM_SETSTATE, FALSE, 0);
        if (PtInRect(&r, p)) Press();
        return true;
      case WM_CAPTURECHANGED:
        if (pressing_) SendMessageA(handle(), BM_SETSTATE, FALSE, 0);
        pressing_ = false;
        return false;
      default: return false;
    }
  }

  void Press() {
    if (action() == kActionCloseWindow) {
      PostMessageA(window()->handle(), WM_CLOSE, 0, 0);
    } else if (action() != 0) {
      if (IsWindowEnabled(handle())) PerformStandardAction(window(), this, action());
    } else {
      Post(kEventAccepted);
    }
  }

  uint32_t Delay() const {
    if (record().delay != 0) return Ms(record().delay);
    return record().repeat != 0 ? Ms(record().repeat) : kDefaultRepeatDelayMs;
  }
  uint32_t Interval() const {
    if (record().repeat != 0) return Ms(record().repeat);
    return record().delay != 0 ? Ms(record().delay) : kDefaultRepeatIntervalMs;
  }

  void StartRepeat() {
    mouse_repeat_ = true;
    held_ = true;
    first_tick_ = true;
    Post(kEventAccepted);
    SetTimer(handle(), kRepeatTimerId, Delay(), nullptr);
  }

  void Tick() {
    if (!held_) return;  // a tick already queued when it was let go
    Post(kEventAccepted);
    if (first_tick_ && Interval() != Delay())
      SetTimer(handle(), kRepeatTimerId, Interval(), nullptr);
    first_tick_ = false;
  }

  LoadedIcon icon_;
  bool mouse_repeat_ = false;
  bool held_ = false;  // pressed with the mouse and not yet let go
  bool first_tick_ = false;
  bool pressing_ = false;  // an editing button held with the mouse
};

class CheckBox : public ClassControl {
 public:
  using ClassControl::ClassControl;
  ~CheckBox() override {
    if (off_.owned) DestroyIcon(off_.icon);
    if (on_.owned) DestroyIcon(on_.icon);
  }

  HWND Create() {
    // With an icon it is a toggle button showing the icon of its state.
    bool icons = record().image.kind != ImageName::Kind::kNone;
    DWORD style = BS_AUTOCHECKBOX | BS_NOTIFY | (icons ? BS_PUSHLIKE : 0);
    HWND h = CreateOfClass(kKorCheck, record().text.c_str(), style, 0);
    if (h == nullptr) return h;
    if (icons) {
      off_ = LoadIconByName(record().image, ImageModule(*this));
      if (record().image2.kind != ImageName::Kind::kNone)
        on_ = LoadIconByName(record().image2, ImageModule(*this));
    }
    Refresh();
    ShowState();
    return h;
  }
  void Command(int code) override {
    if (code == BN_SETFOCUS) {
      Post(kEventSelected);
    } else if (code == BN_CLICKED) {
      ShowState();
      StoreBoundReal(*this, Choice());
      Post(kEventAccepted);
    }
  }
  void HotKey() override {
    SendMessageA(handle(), BM_CLICK, 0, 0);  // toggles, then the click stores
  }
  void Refresh() override {
    if (variable().address == nullptr) return;
    WPARAM state = BoundReal(*this) != 0 ? BST_CHECKED : BST_UNCHECKED;
    SendMessageA(handle(), BM_SETCHECK, state, 0);
    ShowState();
  }
  int32_t Choice() const override {
    return SendMessageA(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  }

 private:
  void ShowState() {
    HICON icon = Choice() != 0 && on_.icon != nullptr ? on_.icon : off_.icon;
    if (icon != nullptr) SendMessageA(handle(), BM_SETIMAGE, IMAGE_ICON, LPARAM(icon));
  }

  LoadedIcon off_;  // the record's icon: unchecked, and checked without a second
  LoadedIcon on_;   // the second image name: checked
};

class GroupBox : public ClassControl {
 public:
  using ClassControl::ClassControl;
  HWND Create() { return CreateOfClass(kKorGroup, record().text.c_str(), BS_GROUPBOX, 0); }
};

// Marks `button` as the window's default and takes the mark from the one
// before it.
void MarkDefault(Control* before, Control* button) {
  if (before != nullptr && before != button && before->handle() != nullptr)
    SendMessageA(before->handle(), BM_SETSTYLE, BS_PUSHBUTTON | BS_NOTIFY, TRUE);
  SendMessageA(button->handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY, TRUE);
}

}  // namespace

void* CreateButton(const ControlCreation& creation) {
  Window* window = CreationWindow(creation);
  Control* before = window->state().default_button;
  auto* button = static_cast<Control*>(MakeControl<Button>(creation));
  if (button != nullptr && (button->record().options & kOptionDefault) != 0 &&
      button->handle() != nullptr)
    MarkDefault(before, button);
  return button;
}

void* CreateCheck(const ControlCreation& creation) { return MakeControl<CheckBox>(creation); }
void* CreateGroupBox(const ControlCreation& creation) { return MakeControl<GroupBox>(creation); }

}  // namespace kor

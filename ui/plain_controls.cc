// The stand-in control kinds on the platform's own controls.
#include "ui/plain_controls.h"

#include <memory>

#include "ui/control.h"
#include "ui/events.h"
#include "ui/window.h"

namespace kor {

namespace {

struct PlainClass {
  const char* name;
  DWORD style;
};

DWORD AlignStyle(int32_t attr) {
  switch (attr & kCtlAlignMask) {
    case kCtlRight: return SS_RIGHT;
    case kCtlCentre: return SS_CENTER;
    default: return SS_LEFT;
  }
}

DWORD EditStyle(int32_t attr) {
  DWORD style = WS_BORDER | ES_AUTOHSCROLL;
  if (attr & kCtlReadOnly) style |= ES_READONLY;
  if (attr & kCtlPassword) style |= ES_PASSWORD;
  if (attr & kCtlUpper) style |= ES_UPPERCASE;
  return style;
}

PlainClass ClassOf(const ControlRecord& r) {
  switch (r.type) {
    case kRecButton:
      return {"Button",
              static_cast<DWORD>(((r.options & 1) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY)};
    case kRecCheck: return {"Button", BS_AUTOCHECKBOX | BS_NOTIFY};
    case kRecGroup: return {"Button", BS_GROUPBOX};
    case kRecPrompt:
    case kRecString:
    case kRecBoundString: return {"Static", AlignStyle(r.attr)};
    case kRecImage: return {"Static", SS_LEFT};
    case kRecEntry:
    case kRecSpin: return {"Edit", EditStyle(r.attr)};
    case kRecList:
      if (r.drop != 0) return {"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL};
      return {"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL};
    default: return {nullptr, 0};
  }
}

class PlainControl : public Control {
 public:
  using Control::Control;

  void Command(int code) override {
    if (IsFocusCode(code)) {
      Post(kEventSelected);
    } else {
      Notification(code);
    }
  }

  int32_t Choice() const override {
    if (type() == kRecList) {
      UINT get = record().drop != 0 ? CB_GETCURSEL : LB_GETCURSEL;
      LRESULT row = SendMessageA(handle(), get, 0, 0);
      return row < 0 ? 0 : static_cast<int32_t>(row) + 1;
    }
    if (type() == kRecCheck) return SendMessageA(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return 0;
  }

  HWND Create() {
    PlainClass cls = ClassOf(record());
    if (cls.name == nullptr) return nullptr;
    bool has_text = type() != kRecBoundString && type() != kRecImage;
    return CreateChild(cls.name, has_text ? record().text.c_str() : "", cls.style, 0);
  }

 private:
  // The notification codes that mean "took the focus" for the class.
  bool IsFocusCode(int code) const {
    switch (type()) {
      case kRecButton:
      case kRecCheck: return code == BN_SETFOCUS;
      case kRecEntry:
      case kRecSpin: return code == EN_SETFOCUS;
      case kRecList: return code == (record().drop != 0 ? CBN_SETFOCUS : LBN_SETFOCUS);
      default: return false;
    }
  }

  void Notification(int code) {
    switch (type()) {
      case kRecButton:
      case kRecCheck:
        if (code == BN_CLICKED) Post(kEventAccepted);
        break;
      case kRecEntry:
      case kRecSpin: EditNotification(code); break;
      case kRecList: ListNotification(code); break;
      default: break;
    }
  }

  void EditNotification(int code) {
    if (code == EN_CHANGE && GetFocus() == handle()) set_needs_accept(true);
    if (code == EN_KILLFOCUS && NeedsAccept()) {
      set_needs_accept(false);
      Post(kEventAccepted);
    }
  }

  void ListNotification(int code) {
    bool drop = record().drop != 0;
    if (code == (drop ? CBN_SELCHANGE : LBN_SELCHANGE)) Post(kEventNewSelection);
    if (!drop && code == LBN_DBLCLK) Post(kEventAccepted);
    if (drop && code == CBN_DROPDOWN) Post(kEventDroppingDown);
  }
};

void* CreatePlain(const ControlCreation& creation) {
  Window* window = CreationWindow(creation);
  auto control = std::make_unique<PlainControl>(window, *creation.record);
  control->set_group(CreationGroup(creation));
  if (!control->BindVariables()) return nullptr;
  control->Create();
  return window->AddControl(std::move(control));
}

// clang-format off
constexpr uint8_t kPlainTypes[] = {kRecBoundString, kRecString, kRecImage, kRecEntry, kRecButton,
                                   kRecPrompt, kRecCheck, kRecGroup, kRecList, kRecSpin};
// clang-format on

const ControlKind* KindFor(uint8_t type) {
  static ControlKind kinds[sizeof kPlainTypes];
  for (size_t i = 0; i < sizeof kPlainTypes; ++i) {
    if (kPlainTypes[i] != type) continue;
    kinds[i] = {PlaceholderControlKind(type)->name, &CreatePlain};
    return &kinds[i];
  }
  return nullptr;
}

}  // namespace

const ControlKind* PlainControlKind(uint8_t type) { return KindFor(type); }

int RegisterPlainControlKinds(const uint8_t* types, size_t count) {
  int filled = 0;
  for (size_t i = 0; i < count; ++i) {
    const ControlKind* now = ControlKindOf(types[i]);
    const ControlKind* plain = PlainControlKind(types[i]);
    if (plain == nullptr || (now != nullptr && now != PlaceholderControlKind(types[i]))) continue;
    RegisterControlKind(types[i], plain);
    ++filled;
  }
  return filled;
}

}  // namespace kor

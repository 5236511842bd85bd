// Registration of the runtime's control classes and the control procedure.
#include "ui/controls/control_class.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "ui/controls/tooltips.h"

namespace kor {

namespace {

struct RegisteredClass {
  ATOM atom;
  WNDPROC base_proc;  // null: DefWindowProc
  int word;           // byte offset of the object's word
};

std::vector<RegisteredClass>& Registered() {
  static std::vector<RegisteredClass> classes;
  return classes;
}

const RegisteredClass* FindByAtom(ATOM atom) {
  for (const RegisteredClass& c : Registered())
    if (c.atom == atom) return &c;
  return nullptr;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const RegisteredClass* cls = FindByAtom(static_cast<ATOM>(GetClassWord(hwnd, GCW_ATOM)));
  if (cls == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
  auto* control = reinterpret_cast<ClassControl*>(GetWindowLongPtrA(hwnd, cls->word));
  LRESULT result = 0;
  if (control != nullptr && control->Message(msg, wp, lp, &result)) return result;
  if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, cls->word, 0);
  if (cls->base_proc != nullptr) return CallWindowProcA(cls->base_proc, hwnd, msg, wp, lp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS;
  done = InitCommonControlsEx(&icc) != FALSE;
}

bool EnsureControlClass(const ControlClassSpec& spec) {
  EnsureCommonControls();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, spec.name, &wc) && wc.lpfnWndProc == &ControlProc) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  if (spec.base != nullptr) {
    if (!GetClassInfoExA(nullptr, spec.base, &wc)) {
      RaiseRuntimeError(kErrInternal03, nullptr);
      return false;
    }
  } else {
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  }
  RegisteredClass reg = {0, spec.base != nullptr ? wc.lpfnWndProc : nullptr, wc.cbWndExtra};
  wc.cbSize = sizeof wc;
  wc.style |= spec.extra_style;
  wc.style &= ~CS_GLOBALCLASS;
  wc.lpfnWndProc = &ControlProc;
  wc.cbWndExtra += sizeof(void*);
  wc.hInstance = instance;
  wc.lpszClassName = spec.name;
  reg.atom = RegisterClassExA(&wc);
  if (reg.atom == 0) {
    RaiseRuntimeError(kErrInternal03, nullptr);
    return false;
  }
  Registered().push_back(reg);
  return true;
}

ClassControl::~ClassControl() {
  RemoveTooltip(*this);
  if (handle() != nullptr && word_ >= 0 && IsWindow(handle()))
    SetWindowLongPtrA(handle(), word_, 0);
}

bool ClassControl::Message(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT ClassControl::PassOn(UINT msg, WPARAM wp, LPARAM lp) {
  if (base_proc_ != nullptr) return CallWindowProcA(base_proc_, handle(), msg, wp, lp);
  return DefWindowProcA(handle(), msg, wp, lp);
}

HWND ClassControl::CreateOfClass(const ControlClassSpec& spec, const char* text, DWORD style,
                                 DWORD ex_style) {
  if (!EnsureControlClass(spec)) return nullptr;
  HWND child = CreateChild(spec.name, text, style, ex_style);
  if (child == nullptr) return nullptr;
  const RegisteredClass* cls = FindByAtom(static_cast<ATOM>(GetClassWord(child, GCW_ATOM)));
  if (cls == nullptr) return child;
  base_proc_ = cls->base_proc;
  word_ = cls->word;
  SetWindowLongPtrA(child, word_, reinterpret_cast<LONG_PTR>(this));
  AddTooltip(*this);
  return child;
}

}  // namespace kor

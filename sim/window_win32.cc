// The shared window procedure of the stand-in's windows (see window.h).
#include "sim/window.h"

namespace sim {
namespace {
constexpr char kClassName[] = "Z9EEStandIn";
}  // namespace

Window::~Window() {
  if (hwnd_ == nullptr) return;
  // The derived part is gone: the last messages go to DefWindowProcA.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

const char* Window::ClassName() { return kClassName; }

bool Window::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Thunk;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::CreateWindowFor(const char* title, DWORD style, HWND parent, int width, int height) {
  HWND hwnd = CreateWindowExA(0, kClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                              height, parent, nullptr, GetModuleHandleA(nullptr), this);
  return hwnd != nullptr;
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wparam, lparam);
  LRESULT result = self->HandleMessage(msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace sim

// Base of the stand-in's windows: one shared window procedure finds the
// object through the window's user data (set at WM_NCCREATE, cleared at
// WM_NCDESTROY) and hands every message to its HandleMessage.
#pragma once

#include <windows.h>

namespace sim {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // The class every window of the stand-in has.
  static const char* ClassName();
  // Registers the class every window of the stand-in uses (once).
  static bool RegisterWindowClass(HINSTANCE instance);

 protected:
  // Creates the platform window; parent HWND_MESSAGE makes a message-only
  // window, which a broadcast does not reach.
  bool CreateWindowFor(const char* title, DWORD style, HWND parent, int width, int height);

  virtual LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd_, msg, wparam, lparam);
  }

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

}  // namespace sim

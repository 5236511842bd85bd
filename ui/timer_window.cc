// The hidden window that carries the runtime objects' timers.
#include "ui/timer_window.h"

#include <map>
#include <utility>

namespace kor {

namespace {

HWND g_window = nullptr;
bool g_registered = false;
UINT_PTR g_next_id = 1;
std::map<UINT_PTR, std::pair<ObjectTimerProc, void*>> g_timers;

LRESULT CALLBACK TimerWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER) {
    auto it = g_timers.find(wparam);
    if (it != g_timers.end()) it->second.first(it->second.second);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

HWND EnsureWindow() {
  if (g_window == nullptr && g_registered) {
    g_window = CreateWindowExA(0, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  }
  return g_window;
}

}  // namespace

UINT_PTR StartObjectTimer(uint32_t ms, ObjectTimerProc proc, void* object) {
  HWND window = EnsureWindow();
  if (window == nullptr || proc == nullptr) return 0;
  UINT_PTR id = g_next_id++;
  if (SetTimer(window, id, ms, nullptr) == 0) return 0;
  g_timers[id] = {proc, object};
  return id;
}

void StopObjectTimer(UINT_PTR id) {
  if (g_timers.erase(id) != 0 && g_window != nullptr) KillTimer(g_window, id);
}

HWND TimerWindow() { return g_window; }

void InitTimerWindow(int32_t arg) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (arg == 0) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TimerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTimerWindowClass;
    g_registered = RegisterClassExA(&wc) != 0;
    return;
  }
  if (g_window != nullptr) DestroyWindow(g_window);
  g_window = nullptr;
  g_timers.clear();
  if (g_registered) UnregisterClassA(kTimerWindowClass, instance);
  g_registered = false;
}

}  // namespace kor

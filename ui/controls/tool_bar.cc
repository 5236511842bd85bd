// Tool bars.
#include "ui/controls/tool_bar.h"

#include "ui/control.h"
#include "ui/resource/control_kinds.h"
#include "ui/resource/units.h"
#include "ui/window.h"

namespace kor {

namespace {

constexpr char kToolBarClass[] = "KorToolBar";

LRESULT CALLBACK ToolBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: return SendMessageA(GetParent(hwnd), msg, wp, lp);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      DrawEdge(dc, &r, BDR_RAISEDINNER, BF_BOTTOM);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

bool RegisterToolBarClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, kToolBarClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ToolBarProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kToolBarClass;
  return RegisterClassExA(&wc) != 0;
}

RECT ToolBarRect(const Window* window, const Position& p) {
  const UnitScale& s = window->state().scale;
  RECT client;
  GetClientRect(window->handle(), &client);
  Converted x = ToPixelsX(s, p.x);
  Converted y = ToPixelsY(s, p.y);
  Converted w = ToPixelsX(s, p.width);
  Converted h = ToPixelsY(s, p.height);
  int width = w.is_default ? client.right - x.pixels : w.pixels;
  int height = h.is_default ? ToPixelsY(s, kToolBarDefaultHeight).pixels : h.pixels;
  return {x.pixels, y.pixels, x.pixels + width, y.pixels + height};
}

}  // namespace

void BuildToolBar(Window* window, const ResourceBuffer& buffer, const ToolBarRecord& record) {
  if (!RegisterToolBarClass()) return;
  RECT r = ToolBarRect(window, record.position);
  HWND bar = CreateWindowExA(WS_EX_CONTROLPARENT, kToolBarClass, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, window->handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (bar == nullptr) return;
  size_t before = window->state().controls.size();
  CreateControls(buffer, record.controls, window, nullptr);
  const auto& controls = window->state().controls;
  for (size_t i = before; i < controls.size(); ++i) {
    HWND child = controls[i]->handle();
    if (child == nullptr) continue;
    // Same numbers, now counted from the tool bar's corner.
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window->handle(), reinterpret_cast<POINT*>(&place), 2);
    SetParent(child, bar);
    SetWindowPos(child, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

HWND ToolBarOf(HWND window) { return FindWindowExA(window, nullptr, kToolBarClass, nullptr); }

}  // namespace kor

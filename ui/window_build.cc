// The platform side of a window, built from its record.
#include "ui/window_build.h"

#include <stdio.h>

#include <algorithm>
#include <atomic>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "ui/images.h"
#include "ui/resource/control_kinds.h"
#include "ui/resource/window_lookup.h"
#include "ui/system_target.h"
#include "ui/window.h"
#include "ui/window_proc.h"

namespace kor {

namespace {

std::atomic<uint32_t> g_class_number{0};

HFONT MakeFont(const FontBlock& block) {
  HDC dc = GetDC(nullptr);
  int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  int height = -MulDiv(block.size > 0 ? block.size : 8, ppi, 72);
  int weight = block.weight > 0 ? block.weight : FW_NORMAL;
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, block.face.c_str());
}

// The numerators of the dialog unit come from the window's font: the average
// width of the 52 letters and the character height.
UnitMetrics MetricsOf(HFONT font) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SIZE extent = {0, 0};
  GetTextExtentPoint32A(dc, kLetters, 52, &extent);
  UnitMetrics m;
  m.average_char_width = (extent.cx / 26 + 1) / 2;
  m.char_height = tm.tmHeight;
  m.pixels_per_inch_x = GetDeviceCaps(dc, LOGPIXELSX);
  m.pixels_per_inch_y = GetDeviceCaps(dc, LOGPIXELSY);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return m;
}

void LoadImages(WindowState& s) {
  HINSTANCE module = static_cast<HINSTANCE>(s.module_instance);
  LoadedIcon icon = LoadIconByName(s.record.icon, module);
  if (icon.icon == nullptr) {
    // Every window without an icon of its own shows the runtime's.
    std::string file = SystemProperty(kPropIcon);
    if (!file.empty()) {
      ImageName fallback;
      fallback.kind = ImageName::Kind::kFile;
      fallback.file = file;
      icon = LoadIconByName(fallback, module);
    }
  }
  s.icon = icon.icon;
  s.owns_icon = icon.owned;
  LoadedCursor cursor = LoadCursorByName(s.record.cursor, module);
  s.cursor = cursor.cursor != nullptr ? cursor.cursor : LoadCursorA(nullptr, IDC_ARROW);
  s.owns_cursor = cursor.owned;
}

// Registers the window's own class; a refusal stops the runtime with 503.
bool RegisterClassFor(WindowState& s) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  s.class_number = ++g_class_number;
  char name[64];
  snprintf(name, sizeof name, "KorWin%uClass%lu",
           static_cast<unsigned>(reinterpret_cast<uintptr_t>(instance)),
           static_cast<unsigned long>(s.class_number));
  s.class_name = name;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &SharedWindowProc;
  wc.cbWndExtra = sizeof(void*);  // the window object's address
  wc.hInstance = instance;
  wc.hIcon = s.icon;
  wc.hCursor = s.cursor;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (RegisterClassExA(&wc) != 0) return true;
  s.class_name.clear();
  RaiseRuntimeError(kErrInternal03, nullptr);
  return false;
}

void AppendMenuItems(HMENU menu, const std::vector<MenuRecord>& items, WindowState& s) {
  for (const MenuRecord& item : items) {
    if (!item.items.empty()) {
      HMENU sub = CreatePopupMenu();
      AppendMenuItems(sub, item.items, s);
      AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
    } else if (item.options & kItemSeparator) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      UINT flags = MF_STRING | ((item.options & kItemChecked) ? MF_CHECKED : 0);
      AppendMenuA(menu, flags, item.field + kControlIdBase, item.text.c_str());
    }
    if (item.field != 0) s.menu_fields.push_back(item.field);
  }
}

HMENU BuildMenuBar(const WindowTree& tree, WindowState& s) {
  s.menu_fields.clear();
  if (!tree.menu_bar.has_value()) return nullptr;
  HMENU bar = CreateMenu();
  AppendMenuItems(bar, tree.menu_bar->menus, s);
  return bar;
}

// The outer rectangle (x, y, cx, cy; CW_USEDEFAULT where omitted).
RECT OuterPlace(const WindowState& s, DWORD style, DWORD ex_style, HWND owner) {
  Converted x = ToPixelsX(s.scale, s.record.position.x);
  Converted y = ToPixelsY(s.scale, s.record.position.y);
  Converted w = ToPixelsX(s.scale, s.record.position.width);
  Converted h = ToPixelsY(s.scale, s.record.position.height);
  RECT frame = {0, 0, w.pixels, h.pixels};
  AdjustWindowRectEx(&frame, style, s.menu != nullptr, ex_style);
  RECT out;
  out.right = w.is_default ? CW_USEDEFAULT : frame.right - frame.left;
  out.bottom = h.is_default ? CW_USEDEFAULT : frame.bottom - frame.top;
  out.left = x.is_default ? CW_USEDEFAULT : x.pixels;
  out.top = y.is_default ? CW_USEDEFAULT : y.pixels;
  if ((s.record.attr2 & kWinCentred) && out.right != CW_USEDEFAULT && out.bottom != CW_USEDEFAULT) {
    RECT around;
    if (owner == nullptr || !GetWindowRect(owner, &around))
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    out.left = around.left + (around.right - around.left - out.right) / 2;
    out.top = around.top + (around.bottom - around.top - out.bottom) / 2;
  }
  return out;
}

// The window below on the same thread owns the new one, so it stays above it.
HWND OwnerOf(const WindowState& s) {
  if (s.below == nullptr || s.below->state().thread != s.thread) return nullptr;
  return s.below->handle();
}

}  // namespace

DWORD WindowStyleOf(const WindowRecord& record, bool own_icon) {
  DWORD style = 0;
  switch (record.attr2 & kFrameMask) {
    case kFrameResizable: style |= WS_THICKFRAME; break;
    case kFrameDouble: style |= WS_DLGFRAME; break;
    case kFrameNone: style |= WS_POPUP; break;
    default: style |= WS_BORDER; break;
  }
  if (!record.title.empty()) style |= WS_CAPTION;
  if (record.attr2 & kWinMaxBox) style |= WS_MAXIMIZEBOX | WS_SYSMENU;
  if (record.attr2 & kWinSysMenu) style |= WS_SYSMENU;
  if (own_icon) style |= WS_MINIMIZEBOX | WS_SYSMENU;
  return style;
}

DWORD WindowExStyleOf(const WindowRecord& record) {
  DWORD ex = WS_EX_CONTROLPARENT;
  if ((record.attr2 & kFrameMask) == kFrameDouble) ex |= WS_EX_DLGMODALFRAME;
  return ex;
}

int ShowCommandOf(const WindowRecord& record) {
  if (record.attr2 & kWinMaximised) return SW_SHOWMAXIMIZED;
  if (record.attr2 & kWinMinimised) return SW_SHOWMINIMIZED;
  return SW_SHOWNORMAL;
}

HFONT FontOf(Window* window, const FontBlock& block) {
  WindowState& s = window->state();
  if (!block.present() || block.face.empty()) return s.font;
  for (const auto& [offset, font] : s.fonts)
    if (offset == block.offset) return font;
  HFONT font = MakeFont(block);
  if (font == nullptr) return s.font;
  s.fonts.emplace_back(block.offset, font);
  return font;
}

bool BuildPlatformWindow(Window* window, const WindowTree& tree) {
  WindowState& s = window->state();
  s.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  s.font = FontOf(window, s.record.font);
  s.scale = MakeUnitScale(s.record.attr, MetricsOf(s.font), false);
  LoadImages(s);
  if (!RegisterClassFor(s)) return false;
  s.menu = BuildMenuBar(tree, s);
  bool own_icon = s.record.icon.kind != ImageName::Kind::kNone;
  DWORD style = WindowStyleOf(s.record, own_icon);
  DWORD ex_style = WindowExStyleOf(s.record);
  HWND owner = OwnerOf(s);
  RECT place = OuterPlace(s, style, ex_style, owner);
  HWND hwnd = CreateWindowExA(ex_style, s.class_name.c_str(), s.record.title.c_str(), style,
                              place.left, place.top, place.right, place.bottom, owner, s.menu,
                              GetModuleHandleA(nullptr), window);
  if (hwnd == nullptr) return false;
  GetWindowRect(hwnd, &s.last_rect);
  s.placed = true;
  return true;
}

namespace {
ToolBarBuilder g_tool_bar_builder = nullptr;
}  // namespace

void SetToolBarBuilder(ToolBarBuilder builder) { g_tool_bar_builder = builder; }

void BuildControls(Window* window, const WindowTree& tree) {
  if (tree.tool_bar && g_tool_bar_builder != nullptr)
    g_tool_bar_builder(window, CurrentWindowResource(), *tree.tool_bar);
  CreateControls(CurrentWindowResource(), tree.controls, window, nullptr);
}

void StartWindowTimer(Window* window) {
  int32_t period = window->state().record.timer;
  if (period <= 0) return;
  // Hundredths of a second, kept as milliseconds.
  UINT ms = period > 0x7FFFFFFF / 10 ? 0x7FFFFFFF : static_cast<UINT>(period) * 10;
  SetTimer(window->handle(), kWindowTimerId, ms, nullptr);
}

void ReleasePlatformObjects(Window* window) {
  WindowState& s = window->state();
  if (!s.class_name.empty()) UnregisterClassA(s.class_name.c_str(), GetModuleHandleA(nullptr));
  s.class_name.clear();
  for (const auto& entry : s.fonts) DeleteObject(entry.second);
  s.fonts.clear();
  s.font = nullptr;
  if (s.owns_icon && s.icon != nullptr) DestroyIcon(s.icon);
  if (s.owns_cursor && s.cursor != nullptr) DestroyCursor(s.cursor);
  s.icon = nullptr;
  s.cursor = nullptr;
  s.owns_icon = s.owns_cursor = false;
  if (s.menu != nullptr) DestroyMenu(s.menu);
  s.menu = nullptr;
  s.menu_fields.clear();
}

bool IsMenuField(const Window* window, int32_t field) {
  const auto& fields = window->state().menu_fields;
  return field != 0 && std::find(fields.begin(), fields.end(), field) != fields.end();
}

}  // namespace kor

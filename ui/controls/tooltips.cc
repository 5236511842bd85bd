// The per-thread tooltip window and its tools.
#include "ui/controls/tooltips.h"

// after windows.h
#include <commctrl.h>

#include "ui/control.h"
#include "ui/controls/control_class.h"

namespace kor {

namespace {

thread_local HWND t_tooltip = nullptr;

HWND TooltipWindow() {
  if (t_tooltip != nullptr && IsWindow(t_tooltip)) return t_tooltip;
  EnsureCommonControls();
  t_tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  return t_tooltip;
}

TOOLINFOA ToolOf(const Control& control) {
  TOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(control.handle());
  ti.uId = reinterpret_cast<UINT_PTR>(control.handle());
  return ti;
}

}  // namespace

std::string TooltipText(const std::string& tooltip, const std::string& message) {
  if (!tooltip.empty() && tooltip[0] == '~' && !message.empty()) return message;
  return tooltip;
}

void AddTooltip(const Control& control) {
  const MessageBlock& m = control.record().message;
  std::string text = TooltipText(m.tooltip, m.message);
  if (text.empty() || control.handle() == nullptr) return;
  HWND tip = TooltipWindow();
  if (tip == nullptr) return;
  TOOLINFOA ti = ToolOf(control);
  ti.lpszText = text.data();  // copied by the tooltip
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void RemoveTooltip(const Control& control) {
  if (t_tooltip == nullptr || control.handle() == nullptr) return;
  TOOLINFOA ti = ToolOf(control);
  SendMessageA(t_tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

HWND ThreadTooltipWindow() { return t_tooltip; }

}  // namespace kor

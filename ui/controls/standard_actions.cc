// Standard actions: arranging the program's windows, editing the current
// field, and their enabling.
#include "ui/controls/standard_actions.h"

#include <windows.h>

#include <vector>

#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

namespace {

bool IsArranging(int32_t code) {
  return code == kActionCascade || code == kActionTile || code == kActionArrangeIcons ||
         code == kActionTileHorizontal || code == kActionTileVertical;
}

// The platform windows of every open runtime window, this thread's first.
std::vector<HWND> ProgramWindows() {
  std::vector<HWND> out;
  for (Window* w : CurrentThread()->stack)
    if (w->handle() != nullptr) out.push_back(w->handle());
  for (Window* w : WindowsOfOtherThreads())
    if (w->handle() != nullptr) out.push_back(w->handle());
  return out;
}

// The window's current control when it is an entry field or spin box.
Control* EditTarget(Window* window) {
  Control* c = window->ControlOf(window->state().focus);
  if (c == nullptr || c->handle() == nullptr) return nullptr;
  return c->type() == kRecEntry || c->type() == kRecSpin ? c : nullptr;
}

UINT EditMessage(int32_t code) {
  switch (code) {
    case kActionCut: return WM_CUT;
    case kActionCopy: return WM_COPY;
    case kActionPaste: return WM_PASTE;
    case kActionClear: return WM_CLEAR;
    default: return WM_UNDO;
  }
}

void Arrange(int32_t code) {
  std::vector<HWND> windows = ProgramWindows();
  UINT count = UINT(windows.size());
  switch (code) {
    case kActionCascade: CascadeWindows(nullptr, 0, nullptr, count, windows.data()); break;
    case kActionTile:
    case kActionTileVertical:
      TileWindows(nullptr, MDITILE_VERTICAL, nullptr, count, windows.data());
      break;
    case kActionTileHorizontal:
      TileWindows(nullptr, MDITILE_HORIZONTAL, nullptr, count, windows.data());
      break;
    default: ArrangeIconicWindows(GetDesktopWindow()); break;
  }
}

}  // namespace

bool IsEditingAction(int32_t code) { return code >= kActionCut && code <= kActionUndo; }

bool StandardActionEnabled(Window* window, int32_t code) {
  if (IsArranging(code)) return ProgramWindows().size() >= 2;
  if (!IsEditingAction(code)) return true;
  Control* target = EditTarget(window);
  if (target == nullptr) return false;
  return code == kActionCopy || (target->attr() & kCtlReadOnly) == 0;
}

void UpdateStandardActions(Window* window) {
  for (const auto& c : window->state().controls) {
    if (c->action() == 0 || c->handle() == nullptr) continue;
    EnableWindow(c->handle(), StandardActionEnabled(window, c->action()));
  }
}

bool PerformAction(Window* window, Control*, int32_t code) {
  if (IsArranging(code)) {
    if (StandardActionEnabled(window, code)) Arrange(code);
    return true;
  }
  if (!IsEditingAction(code)) return false;
  Control* target = EditTarget(window);
  if (target == nullptr || !StandardActionEnabled(window, code)) return true;
  // The field's own change notice marks it for accepting, as typing does.
  SendMessageA(target->handle(), EditMessage(code), 0, 0);
  return true;
}

}  // namespace kor

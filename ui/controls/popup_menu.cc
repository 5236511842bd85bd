// The pop-up menu.
#include "ui/controls/popup_menu.h"

#include <string>

#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

constexpr char kPopupClass[] = "KorPopup";
thread_local HWND t_owner = nullptr;

LRESULT CALLBACK PopupOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND Owner() {
  if (t_owner != nullptr && IsWindow(t_owner)) return t_owner;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, kPopupClass, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &PopupOwnerProc;
    wc.hInstance = instance;
    wc.lpszClassName = kPopupClass;
    if (RegisterClassExA(&wc) == 0) return nullptr;
  }
  t_owner = CreateWindowExA(WS_EX_TOOLWINDOW, kPopupClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
  return t_owner;
}

}  // namespace

std::vector<PopupItem> ParsePopupMenu(std::string_view text) {
  std::vector<PopupItem> items;
  text = TrimTrailingBlanks(text);
  if (text.empty()) return items;
  int32_t number = 0;
  size_t start = 0;
  while (true) {
    size_t bar = text.find('|', start);
    std::string_view entry = text.substr(start, bar == text.npos ? bar : bar - start);
    PopupItem item;
    if (entry == "-") {
      item.separator = true;
    } else {
      if (!entry.empty() && entry[0] == '~') {
        item.enabled = false;
        entry.remove_prefix(1);
      }
      item.label.assign(entry);
      item.number = ++number;
    }
    items.push_back(std::move(item));
    if (bar == text.npos) break;
    start = bar + 1;
  }
  return items;
}

int32_t ShowPopupMenu(std::string_view text, const POINT* at) {
  std::vector<PopupItem> items = ParsePopupMenu(text);
  HMENU menu = CreatePopupMenu();
  int32_t entries = 0;
  for (const PopupItem& item : items) {
    if (item.separator) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuA(menu, flags, UINT_PTR(item.number), item.label.c_str());
    ++entries;
  }
  HWND owner = Owner();
  int32_t choice = 0;
  if (entries > 0 && owner != nullptr) {
    POINT p;
    if (at != nullptr) {
      p = *at;
    } else {
      GetCursorPos(&p);
    }
    HWND focus = GetFocus();
    // The owner must be the foreground window for the menu to close when the
    // user clicks elsewhere.
    SetForegroundWindow(owner);
    // While the menu is up its owner's text is the menu text: another
    // process cannot always read a menu's entries, but it can read a text.
    SetWindowTextA(owner, std::string(text).c_str());
    choice =
        int32_t(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                               p.x, p.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    SetWindowTextA(owner, "");
    if (focus != nullptr && IsWindow(focus)) {
      SetForegroundWindow(GetAncestor(focus, GA_ROOT));
      SetFocus(focus);
    }
  }
  DestroyMenu(menu);
  return choice;
}

int32_t POPUP() { return ShowPopupMenu(PopToStdString()); }

HWND PopupOwnerWindow() { return t_owner; }

}  // namespace kor

// The robot's pop-up menu command: finds a menu window of the process,
// prints its entries and their states, and chooses one by the keyboard.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "robot_windows.h"

namespace {

// A visible pop-up menu window (class "#32768") of the process; menus are
// top-level windows of the thread that tracks them.
HWND WaitMenu(DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : TopLevel("", g_pid))
      if (ClassOf(w) == "#32768") return w;
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(kPollMs);
  }
}

// The menu's entries, read through the handle the menu window gives.
// Returns the number printed, -1 when the menu cannot be read.
int PrintMenu(HWND window) {
  constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenu, 0, 0));
  int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
  int shown = 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &info)) return -1;
    if (info.fType & MFT_SEPARATOR) continue;
    char out[512];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    printf("item %d %s %s\n", ++shown, (info.fState & MFS_GRAYED) ? "grayed" : "enabled",
           n > 0 ? out : "");
  }
  return count < 0 ? -1 : shown;
}

// The entries from the menu text its owner shows while the menu is up
// ("&Insert|~Chan&ge|-|&Select": "|" between entries, "-" a separator, "~"
// a disabled entry), for a system where another process's menu handle
// cannot be read.
int PrintOwnerText(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  std::string text = owner != nullptr ? WindowText(owner) : std::string();
  if (text.empty()) return -1;
  int shown = 0;
  size_t start = 0;
  for (;;) {
    size_t bar = text.find('|', start);
    std::string entry = text.substr(start, bar == std::string::npos ? bar : bar - start);
    if (entry != "-") {
      bool grayed = !entry.empty() && entry[0] == '~';
      printf("item %d %s %s\n", ++shown, grayed ? "grayed" : "enabled",
             entry.c_str() + (grayed ? 1 : 0));
    }
    if (bar == std::string::npos) return shown;
    start = bar + 1;
  }
}

// Keys go to the menu window's thread, whose menu loop reads them: Down
// highlights the next entry (the first from none), skipping separators.
void ChooseFromMenu(HWND window, long choice) {
  auto press = [&](WPARAM vk) {
    PostMessageA(window, WM_KEYDOWN, vk, 1);
    PostMessageA(window, WM_KEYUP, vk, 0xC0000001);
  };
  if (choice <= 0) {
    press(VK_ESCAPE);
    return;
  }
  for (long k = 0; k < choice; ++k) press(VK_DOWN);
  press(VK_RETURN);
}

}  // namespace

int MenuCommand(int argc, char** argv) {
  HWND menu = WaitMenu(TimeoutArg(argc, argv, 2, 10000));
  if (menu == nullptr) return 3;
  int shown = PrintMenu(menu);
  if (shown < 0) shown = PrintOwnerText(menu);
  fflush(stdout);
  if (argc > 3) ChooseFromMenu(menu, atol(argv[3]));
  return shown < 0 ? 4 : 0;
}

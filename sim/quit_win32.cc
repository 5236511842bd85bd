// Closes the running stand-in for a service (see quit.h).
#include "sim/quit.h"

#include <vector>

#include "sim/server.h"
#include "sim/window.h"

namespace sim {
namespace {

struct Search {
  std::string title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMainWindow(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  char cls[64], title[256];
  if (GetClassNameA(hwnd, cls, sizeof cls) == 0 || lstrcmpA(cls, Window::ClassName()) != 0)
    return TRUE;
  int n = GetWindowTextA(hwnd, title, sizeof title);
  if (Server::SameService(std::string(title, n > 0 ? n : 0), search->title))
    search->found.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> MainWindows(const std::string& service) {
  Search search{Server::TitleFor(service), {}};
  EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int QuitRunning(const std::string& service, unsigned wait_ms) {
  std::vector<HWND> windows = MainWindows(service);
  for (HWND w : windows) PostMessageA(w, WM_CLOSE, 0, 0);
  DWORD start = GetTickCount();
  while (!MainWindows(service).empty()) {
    if (GetTickCount() - start >= wait_ms) return -1;
    Sleep(20);
  }
  return static_cast<int>(windows.size());
}

}  // namespace sim

// The test robot: drives another process's windows for the black-box tests.
//
//   robot run [--timeout MS] [--press CAPTION=BUTTON]... [--close TITLE]...
//             [--nostd] -- PROGRAM [ARGS...]
//       starts PROGRAM, reports each new visible top-level window it opens
//       ("window <class> <title>", and "text <text>" for a dialog box; one
//       first seen without a title is reported at the next look, as a box
//       may show before it has its caption and text, or be seen once while
//       it goes), presses BUTTON in a box whose caption is CAPTION, closes
//       a window with that TITLE as its close button does ("closed
//       <title>", once per window), and ends with "exit <code>". Its first
//       line is "pid <id>", the program's Windows process id, for --pid in
//       commands run meanwhile. --nostd starts it without standard handles,
//       as the desktop starts a GUI program.
//   robot [--pid PID] COMMAND ...    the commands below look only at the
//                                    windows of process PID (a Windows id)
//   robot wait TITLE [MS]            a top-level window with that title appears
//   robot gone TITLE [MS]            no top-level window with that title is left
//   robot list TITLE                 "<class> <id> <text>" per child control
//   robot pids TITLE                 "pid <id>" per window with that title (the
//                                    Windows process ids --pid takes)
//   robot click TITLE TEXT           clicks the child control with that text
//   robot clickid TITLE ID           clicks the child control with that id
//   robot text TITLE ID              "text <text>" of the child with that id
//   robot key TITLE ID VK [COUNT]    posts key VK (down, then up) COUNT times
//                                    (default 1) to the child with that id
//   robot rect TITLE                 "rect <left> <top> <right> <bottom>": the
//                                    window's place on the screen
//   robot close TITLE                what the window's close button does: the
//                                    system command "close" (a close request)
//   robot post TITLE MESSAGE [WPARAM [LPARAM]]
//                                    posts that message (numbers, 0x for hex)
//   robot settext TITLE ID TEXT      sets the text of child control ID (its
//                                    window text, as typing would leave it)
//                                    and tells its owner the focus left it
//   robot rows TITLE ID              a list box's "count N", "selected S"
//                                    (0-based, -1 none) and "current TEXT"
//                                    (the selected row, columns joined by tabs)
//   robot key TITLE ID VK            posts the key VK (down, up) to child ID
//   robot vscroll TITLE ID CODE [POS]
//                                    posts WM_VSCROLL (code, thumb place) to ID
//   robot filedialog TITLE NAME [MS] waits for the file dialog TITLE, types
//                                    NAME into its name field and presses OK
//   robot rbutton TITLE ID [ROW]     posts a right-button press (down, up) to
//                                    list ID on row ROW (0-based, a row shown),
//                                    or above its rows
//   robot menu [MS] [CHOICE]         waits for a pop-up menu (class "#32768"),
//                                    prints "item <n> <enabled|grayed> <text>"
//                                    per entry (separators skipped), then with
//                                    CHOICE n >= 1 highlights entry n by the
//                                    Down key and presses Enter; 0 Escape
//   robot kill PID                   ends process PID (a Windows id) at once,
//                                    exit code 255: a test's clean-up
//   robot msgbox CAPTION [BUTTON] [MS]
//                                    waits for a message box ("" any caption),
//                                    prints "caption" and "text" lines,
//                                    presses BUTTON if given
//
// Texts are printed with \r and \n escaped, one item per line. Exit status: 0
// done, 1 bad arguments, 3 timed out, 4 not found.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "robot_windows.h"

DWORD g_pid = 0;

namespace {

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

}  // namespace

std::string WindowText(HWND hwnd) {
  wchar_t buf[4096];
  LRESULT n = SendMessageW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
  if (n <= 0) return std::string();
  char out[8192];
  int m =
      WideCharToMultiByte(CP_ACP, 0, buf, static_cast<int>(n), out, sizeof out, nullptr, nullptr);
  return std::string(out, m > 0 ? m : 0);
}

std::string ClassOf(HWND hwnd) {
  char buf[256];
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

namespace {

// Label without accelerator marks, lower case.
std::string Label(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return out;
}

struct FindArg {
  std::string title;
  DWORD pid;  // 0 = any process
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* arg = reinterpret_cast<FindArg*>(lp);
  if (!IsWindowVisible(hwnd)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (arg->pid != 0 && pid != arg->pid) return TRUE;
  if (!arg->title.empty() && WindowText(hwnd) != arg->title) return TRUE;
  arg->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevel(const std::string& title, DWORD pid) {
  FindArg arg{title, pid, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&arg));
  return arg.found;
}

namespace {

HWND WaitWindow(const std::string& title, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    auto found = TopLevel(title, g_pid);
    if (!found.empty()) return found.front();
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(kPollMs);
  }
}

// A dialog box (class "#32770") with that caption; "" waits for one with
// any caption, a box with no caption included.
HWND WaitBox(const std::string& caption, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : TopLevel(caption, g_pid))
      if (ClassOf(w) == "#32770") return w;
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(kPollMs);
  }
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND ChildByText(HWND parent, const std::string& text) {
  for (HWND c : Children(parent))
    if (Label(WindowText(c)) == Label(text)) return c;
  return nullptr;
}

// The first control with that id at any depth (a group's controls may be
// its children).
HWND ChildById(HWND parent, int id) {
  for (HWND c : Children(parent))
    if (GetDlgCtrlID(c) == id) return c;
  return nullptr;
}

std::string BoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::string();
}

// The close button of a caption sends the system command SC_CLOSE, which the
// window's default handling turns into a close request (WM_CLOSE).
void CloseAsTheButtonDoes(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool Press(HWND box, const std::string& button) {
  HWND b = ChildByText(box, button);
  if (b == nullptr) return false;
  PostMessageA(b, BM_CLICK, 0, 0);
  return true;
}

// Quotes one argument for a Windows command line.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled and the quote escaped.
      if (c == '"') out.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    out += c;
  }
  out.append(backslashes, '\\');  // doubled before the closing quote
  return out + "\"";
}

int Run(int argc, char** argv) {
  DWORD timeout = 30000;
  std::vector<std::pair<std::string, std::string>> presses;
  std::set<std::string> to_close;
  bool no_std = false;
  int i = 2;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--timeout" && i + 1 < argc) {
      timeout = static_cast<DWORD>(atol(argv[++i]));
    } else if (a == "--press" && i + 1 < argc) {
      std::string rule = argv[++i];
      size_t eq = rule.find('=');
      if (eq == std::string::npos) return 1;
      presses.emplace_back(rule.substr(0, eq), rule.substr(eq + 1));
    } else if (a == "--close" && i + 1 < argc) {
      to_close.insert(argv[++i]);
    } else if (a == "--nostd") {
      no_std = true;
    } else {
      return 1;
    }
  }
  if (i >= argc) return 1;
  std::string cmdline;
  for (int k = i; k < argc; ++k) cmdline += (k > i ? " " : "") + Quote(argv[k]);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (no_std) si.dwFlags = STARTF_USESTDHANDLES;  // all three null
  PROCESS_INFORMATION pi{};
  std::vector<char> buf(cmdline.begin(), cmdline.end());
  buf.push_back('\0');
  // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while its
  // server is busy starting other processes; the same start then succeeds.
  // Any other failure, or the third of these, is reported.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    started =
        CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  if (!started) {
    printf("error cannot start %s (%lu)\n", argv[i], GetLastError());
    return 4;
  }
  printf("pid %lu\n", static_cast<unsigned long>(pi.dwProcessId));
  fflush(stdout);
  std::set<HWND> seen;
  std::set<HWND> untitled;  // seen once without a title, not yet reported
  std::set<HWND> pressed;
  std::set<HWND> closed;
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : TopLevel(std::string(), pi.dwProcessId)) {
      std::string cls = ClassOf(w);
      std::string title = WindowText(w);
      bool report = !seen.count(w) && (!title.empty() || !untitled.insert(w).second);
      if (report) {
        seen.insert(w);
        printf("window %s %s\n", cls.c_str(), Escape(title).c_str());
        if (cls == "#32770") printf("text %s\n", Escape(BoxText(w)).c_str());
        fflush(stdout);
      }
      if (to_close.count(title) && closed.insert(w).second) {
        CloseAsTheButtonDoes(w);
        printf("closed %s\n", Escape(title).c_str());
        fflush(stdout);
      }
      if (cls == "#32770" && !pressed.count(w)) {
        for (auto& rule : presses) {
          if (rule.first == title && Press(w, rule.second)) {
            printf("pressed %s\n", rule.second.c_str());
            fflush(stdout);
            pressed.insert(w);
            break;
          }
        }
      }
    }
    DWORD wait = WaitForSingleObject(pi.hProcess, kPollMs);
    if (wait == WAIT_OBJECT_0) break;
    if (GetTickCount() - start >= timeout) {
      printf("timeout\n");
      TerminateProcess(pi.hProcess, 255);
      return 3;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  printf("exit %lu\n", code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

}  // namespace

DWORD TimeoutArg(int argc, char** argv, int index, DWORD def) {
  return argc > index ? static_cast<DWORD>(atol(argv[index])) : def;
}

namespace {

HWND ChildById(HWND parent, long id) {
  for (HWND c : Children(parent))
    if (GetDlgCtrlID(c) == id) return c;
  return nullptr;
}

// The commands on one child control: settext, rows, key, rbutton, vscroll.
int ChildCommand(const std::string& cmd, const std::string& title, int argc, char** argv) {
  if (argc < 4) return 1;
  HWND w = WaitWindow(title, 10000);
  if (w == nullptr) return 4;
  HWND c = ChildById(w, strtol(argv[3], nullptr, 0));
  if (c == nullptr) return 4;
  auto number = [&](int i) { return argc > i ? strtoul(argv[i], nullptr, 0) : 0ul; };
  if (cmd == "settext") {
    if (argc < 5) return 1;
    SendMessageA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    // Then as if the user left the field: its owner hears the focus go.
    SendMessageA(GetParent(c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(c));
    return 0;
  }
  if (cmd == "key") {
    WPARAM vk = number(4);
    PostMessageA(c, WM_KEYDOWN, vk, 1);
    PostMessageA(c, WM_KEYUP, vk, 0xC0000001);
    return 0;
  }
  if (cmd == "rbutton") {
    RECT row = {0, 0, 0, 4};  // no row: a point above the rows
    if (argc > 4 && SendMessageA(c, LB_GETITEMRECT, WPARAM(atoi(argv[4])), LPARAM(&row)) <= 0)
      return 4;
    LPARAM at = MAKELPARAM(4, (row.top + row.bottom) / 2);
    PostMessageA(c, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(c, WM_RBUTTONUP, 0, at);
    return 0;
  }
  if (cmd == "vscroll") {
    PostMessageA(c, WM_VSCROLL, MAKEWPARAM(WORD(number(4)), WORD(number(5))), 0);
    return 0;
  }
  LRESULT count = SendMessageA(c, LB_GETCOUNT, 0, 0);
  printf("count %ld\nselected %ld\n", long(count), long(SendMessageA(c, LB_GETCURSEL, 0, 0)));
  printf("current %s\n", Escape(WindowText(c)).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 3 && strcmp(argv[1], "--pid") == 0) {
    g_pid = static_cast<DWORD>(strtoul(argv[2], nullptr, 10));
    argv[2] = argv[0];
    argc -= 2;
    argv += 2;
  }
  if (argc < 2) return 1;
  std::string cmd = argv[1];
  if (cmd == "run") return Run(argc, argv);
  if (cmd == "menu") return MenuCommand(argc, argv);
  if (argc < 3) return 1;
  std::string title = argv[2];
  if (cmd == "kill") {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, strtoul(argv[2], nullptr, 10));
    if (process == nullptr) return 4;
    BOOL ended = TerminateProcess(process, 255);
    CloseHandle(process);
    return ended ? 0 : 4;
  }
  if (cmd == "wait") return WaitWindow(title, TimeoutArg(argc, argv, 3, 10000)) ? 0 : 3;
  if (cmd == "gone") {
    DWORD timeout = TimeoutArg(argc, argv, 3, 10000);
    DWORD start = GetTickCount();
    while (!TopLevel(title, g_pid).empty()) {
      if (GetTickCount() - start >= timeout) return 3;
      Sleep(kPollMs);
    }
    return 0;
  }
  if (cmd == "pids") {
    for (HWND w : TopLevel(title, g_pid)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      printf("pid %lu\n", static_cast<unsigned long>(pid));
    }
    return 0;
  }
  if (cmd == "list") {
    HWND w = WaitWindow(title, 10000);
    if (w == nullptr) return 4;
    for (HWND c : Children(w))
      printf("%s %ld %s\n", ClassOf(c).c_str(), static_cast<long>(GetDlgCtrlID(c)),
             Escape(WindowText(c)).c_str());
    return 0;
  }
  if (cmd == "click" && argc > 3) {
    HWND w = WaitWindow(title, 10000);
    if (w == nullptr) return 4;
    HWND c = ChildByText(w, argv[3]);
    if (c == nullptr) return 4;
    PostMessageA(c, BM_CLICK, 0, 0);
    return 0;
  }
  if ((cmd == "clickid" || cmd == "text" || cmd == "key") && argc > 3) {
    HWND w = WaitWindow(title, 10000);
    HWND c = w != nullptr ? ChildById(w, atoi(argv[3])) : nullptr;
    if (c == nullptr) return 4;
    if (cmd == "clickid") return PostMessageA(c, BM_CLICK, 0, 0) ? 0 : 4;
    if (cmd == "text") {
      printf("text %s\n", Escape(WindowText(c)).c_str());
      return 0;
    }
    if (argc < 5) return 1;
    const WPARAM vk = static_cast<WPARAM>(strtoul(argv[4], nullptr, 0));
    for (long n = argc > 5 ? atol(argv[5]) : 1; n > 0; --n) {
      PostMessageA(c, WM_KEYDOWN, vk, 1);
      PostMessageA(c, WM_KEYUP, vk, 0xC0000001);
    }
    return 0;
  }
  if (cmd == "rect") {
    HWND w = WaitWindow(title, 10000);
    RECT r;
    if (w == nullptr || !GetWindowRect(w, &r)) return 4;
    printf("rect %ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
           static_cast<long>(r.right), static_cast<long>(r.bottom));
    return 0;
  }
  if (cmd == "close") {
    HWND w = WaitWindow(title, 10000);
    if (w == nullptr) return 4;
    CloseAsTheButtonDoes(w);
    return 0;
  }
  if (cmd == "post" && argc > 3) {
    HWND w = WaitWindow(title, 10000);
    if (w == nullptr) return 4;
    auto number = [&](int i) { return argc > i ? strtoull(argv[i], nullptr, 0) : 0; };
    UINT message = static_cast<UINT>(number(3));
    return PostMessageA(w, message, static_cast<WPARAM>(number(4)), static_cast<LPARAM>(number(5)))
               ? 0
               : 4;
  }
  if (cmd == "settext" || cmd == "rows" || cmd == "key" || cmd == "vscroll" || cmd == "rbutton") {
    return ChildCommand(cmd, title, argc, argv);
  }
  if (cmd == "filedialog" && argc > 3) {
    HWND w = WaitWindow(title, TimeoutArg(argc, argv, 4, 10000));
    if (w == nullptr) return 3;
    HWND edit = nullptr;
    for (HWND c : Children(w)) {
      if (ClassOf(c) == "Edit" && IsWindowVisible(c)) {
        edit = c;
        break;
      }
    }
    if (edit == nullptr) return 4;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  if (cmd == "msgbox") {
    HWND w = WaitBox(title, TimeoutArg(argc, argv, 4, 10000));
    if (w == nullptr) return 3;
    printf("caption %s\n", Escape(WindowText(w)).c_str());
    printf("text %s\n", Escape(BoxText(w)).c_str());
    fflush(stdout);
    if (argc > 3 && argv[3][0] != '\0' && !Press(w, argv[3])) return 4;
    return 0;
  }
  return 1;
}

// ddeprobe: a DDE client written straight on the Win32 DDE messages, for the
// black-box tests of the stand-in development environment. It runs its steps
// in order and prints one line per result.
//
//   ddeprobe [--timeout MS] STEP...
//     connect SERVICE TOPIC      broadcast WM_DDE_INITIATE ("" = empty name);
//                                "answer service=S topic=T" per answer, then
//                                "answers N"; the first answer is kept, the
//                                others get WM_DDE_TERMINATE
//     connect-retry SERVICE TOPIC MS
//                                the same, repeated until answered or MS
//                                pass; first "unanswered K" (attempts that
//                                found nobody)
//     exec TEXT                  WM_DDE_EXECUTE of TEXT: "ack XXXX" (status
//                                word in hex) or "timeout"
//     exec255 TEXT               the same with TEXT padded with blanks to 255
//     request ITEM               one-shot CF_TEXT request: "data TEXT" and
//                                "flags ackreq=A release=R response=S", or
//                                "nack" or "timeout"
//     advise ITEM                WM_DDE_ADVISE: "ack XXXX" or "timeout"
//     wait-terminate MS          "terminated by server" or "no terminate"
//     close                      WM_DDE_TERMINATE: "closed" when answered,
//                                else "close timeout"
//     closeserver                posts WM_CLOSE to the visible top-level
//                                windows of the server's process
//     absent PATH                "absent" or "present", at once
//     waitfile PATH MS           "file after N ms" (counted from the last
//                                acknowledgement) or "no file"
// Exit status: 0 when every step ran, 1 for bad arguments, 2 when a step
// needs a conversation and there is none.
#include <windows.h>

#include <dde.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

struct Probe {
  HWND window = nullptr;
  HWND server = nullptr;
  bool connecting = false;
  std::vector<HWND> answers;
  DWORD timeout = 5000;
  DWORD last_ack = 0;
};
Probe g_probe;

void Say(const std::string& line) {
  printf("%s\n", line.c_str());
  fflush(stdout);
}

std::string AtomText(ATOM atom) {
  char buf[256];
  UINT n = atom ? GlobalGetAtomNameA(atom, buf, sizeof buf) : 0;
  return std::string(buf, n);
}

std::string Hex4(UINT_PTR v) {
  char buf[8];
  snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v & 0xFFFF));
  return buf;
}

// Answers to the initiate arrive as sent WM_DDE_ACK messages during the
// broadcast; the first is kept, every later one is ended at once.
LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg != WM_DDE_ACK || !g_probe.connecting) return DefWindowProcA(hwnd, msg, wparam, lparam);
  auto from = reinterpret_cast<HWND>(wparam);
  ATOM service = LOWORD(lparam), topic = HIWORD(lparam);
  Say("answer service=" + AtomText(service) + " topic=" + AtomText(topic));
  GlobalDeleteAtom(service);
  if (topic) GlobalDeleteAtom(topic);
  g_probe.answers.push_back(from);
  if (g_probe.answers.size() > 1) PostMessageA(from, WM_DDE_TERMINATE, (WPARAM)hwnd, 0);
  return 0;
}

ATOM MakeAtom(const std::string& name) { return name.empty() ? 0 : GlobalAddAtomA(name.c_str()); }

int Connect(const std::string& service, const std::string& topic) {
  ATOM s = MakeAtom(service), t = MakeAtom(topic);
  g_probe.answers.clear();
  g_probe.connecting = true;
  SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)g_probe.window, MAKELPARAM(s, t));
  g_probe.connecting = false;
  if (s) GlobalDeleteAtom(s);
  if (t) GlobalDeleteAtom(t);
  if (!g_probe.answers.empty()) g_probe.server = g_probe.answers.front();
  return static_cast<int>(g_probe.answers.size());
}

// Waits for a posted message of one of the kinds from the server; true and
// the message when one came in time.
bool WaitFor(UINT first, UINT last, DWORD timeout, MSG* out) {
  DWORD start = GetTickCount();
  for (;;) {
    if (PeekMessageA(out, g_probe.window, first, last, PM_REMOVE)) return true;
    DWORD spent = GetTickCount() - start;
    if (spent >= timeout) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout - spent < 20 ? timeout - spent : 20,
                              QS_ALLINPUT);
  }
}

void Exec(std::string text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  char* bytes = static_cast<char*>(GlobalLock(block));
  memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!PostMessageA(g_probe.server, WM_DDE_EXECUTE, (WPARAM)g_probe.window, (LPARAM)block)) {
    GlobalFree(block);
    Say("post failed");
    return;
  }
  MSG m;
  if (!WaitFor(WM_DDE_ACK, WM_DDE_ACK, g_probe.timeout, &m)) {
    Say("timeout");
    return;  // the server may still hold the block: it is not freed
  }
  UINT_PTR status = 0, handle = 0;
  UnpackDDElParam(WM_DDE_ACK, m.lParam, &status, &handle);
  FreeDDElParam(WM_DDE_ACK, m.lParam);
  g_probe.last_ack = GetTickCount();
  Say("ack " + Hex4(status) + (handle == (UINT_PTR)block ? "" : " (other handle)"));
  GlobalFree(block);
}

void ShowData(const MSG& m) {
  UINT_PTR data = 0, item = 0;
  UnpackDDElParam(WM_DDE_DATA, m.lParam, &data, &item);
  FreeDDElParam(WM_DDE_DATA, m.lParam);
  auto block = reinterpret_cast<HGLOBAL>(data);
  const auto* bytes = static_cast<const unsigned char*>(GlobalLock(block));
  WORD flags = bytes ? *reinterpret_cast<const WORD*>(bytes) : 0;
  WORD format = bytes ? *reinterpret_cast<const WORD*>(bytes + 2) : 0;
  std::string text = bytes ? reinterpret_cast<const char*>(bytes + 4) : "";
  GlobalUnlock(block);
  Say("data " + text + (format == CF_TEXT ? "" : " (format " + std::to_string(format) + ")"));
  bool ack_req = flags & 0x8000, release = flags & 0x2000, response = flags & 0x1000;
  Say(std::string("flags ackreq=") + (ack_req ? "1" : "0") + " release=" + (release ? "1" : "0") +
      " response=" + (response ? "1" : "0"));
  if (ack_req) {
    PostMessageA(g_probe.server, WM_DDE_ACK, (WPARAM)g_probe.window,
                 PackDDElParam(WM_DDE_ACK, 0x8000, item));
  } else {
    GlobalDeleteAtom(static_cast<ATOM>(item));
  }
  if (release) GlobalFree(block);
}

// Posts a message that carries an item atom and waits for DATA or ACK.
void PostItem(UINT msg, UINT_PTR low, const std::string& item) {
  ATOM atom = MakeAtom(item);
  LPARAM lparam = PackDDElParam(msg, low, atom);
  if (!PostMessageA(g_probe.server, msg, (WPARAM)g_probe.window, lparam)) {
    FreeDDElParam(msg, lparam);
    GlobalDeleteAtom(atom);
    Say("post failed");
    return;
  }
  MSG m;
  UINT last = msg == WM_DDE_REQUEST ? WM_DDE_DATA : WM_DDE_ACK;
  if (!WaitFor(WM_DDE_ACK, last, g_probe.timeout, &m)) {
    Say("timeout");
    return;
  }
  if (m.message == WM_DDE_DATA) return ShowData(m);
  UINT_PTR status = 0, back = 0;
  UnpackDDElParam(WM_DDE_ACK, m.lParam, &status, &back);
  FreeDDElParam(WM_DDE_ACK, m.lParam);
  GlobalDeleteAtom(static_cast<ATOM>(back));
  if (msg == WM_DDE_ADVISE && !(status & 0x8000)) GlobalFree(reinterpret_cast<HGLOBAL>(low));
  Say(msg == WM_DDE_REQUEST && !(status & 0x8000) ? "nack" : "ack " + Hex4(status));
}

void Advise(const std::string& item) {
  HGLOBAL options = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 4);
  WORD* words = static_cast<WORD*>(GlobalLock(options));
  words[1] = CF_TEXT;
  GlobalUnlock(options);
  PostItem(WM_DDE_ADVISE, reinterpret_cast<UINT_PTR>(options), item);
}

void WaitTerminate(DWORD ms) {
  MSG m;
  if (!WaitFor(WM_DDE_TERMINATE, WM_DDE_TERMINATE, ms, &m)) return Say("no terminate");
  PostMessageA(g_probe.server, WM_DDE_TERMINATE, (WPARAM)g_probe.window, 0);
  g_probe.server = nullptr;
  Say("terminated by server");
}

void Close() {
  PostMessageA(g_probe.server, WM_DDE_TERMINATE, (WPARAM)g_probe.window, 0);
  MSG m;
  Say(WaitFor(WM_DDE_TERMINATE, WM_DDE_TERMINATE, g_probe.timeout, &m) ? "closed"
                                                                       : "close timeout");
  g_probe.server = nullptr;
}

BOOL CALLBACK CloseIfVisible(HWND hwnd, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == static_cast<DWORD>(pid) && IsWindowVisible(hwnd)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void CloseServer() {
  DWORD pid = 0;
  GetWindowThreadProcessId(g_probe.server, &pid);
  EnumWindows(CloseIfVisible, static_cast<LPARAM>(pid));
  Say("close posted");
}

bool FileThere(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WaitFile(const std::string& path, DWORD ms) {
  DWORD start = GetTickCount();
  while (!FileThere(path)) {
    if (GetTickCount() - start >= ms) return Say("no file");
    Sleep(20);
  }
  Say("file after " + std::to_string(GetTickCount() - g_probe.last_ack) + " ms");
}

void ConnectRetry(const std::string& service, const std::string& topic, DWORD ms) {
  DWORD start = GetTickCount();
  int misses = 0;
  while (Connect(service, topic) == 0 && GetTickCount() - start < ms) {
    ++misses;
    Sleep(100);
  }
  Say("unanswered " + std::to_string(misses));
  Say("answers " + std::to_string(g_probe.answers.size()));
}

HWND MakeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DdeProbe";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "DdeProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
}

// Runs the step at args[i]; returns how many arguments it took, 0 for a
// bad step and -1 when it needs a conversation and has none.
int Step(const std::vector<std::string>& a, size_t i) {
  const std::string& s = a[i];
  size_t left = a.size() - i - 1;
  auto ms = [&](size_t k) { return static_cast<DWORD>(atol(a[i + k].c_str())); };
  if (s == "connect" && left >= 2) {
    Say("answers " + std::to_string(Connect(a[i + 1], a[i + 2])));
    return 3;
  }
  if (s == "connect-retry" && left >= 3) return ConnectRetry(a[i + 1], a[i + 2], ms(3)), 4;
  if (s == "absent" && left >= 1) return Say(FileThere(a[i + 1]) ? "present" : "absent"), 2;
  if (s == "waitfile" && left >= 2) return WaitFile(a[i + 1], ms(2)), 3;
  bool needs = s == "exec" || s == "exec255" || s == "request" || s == "advise" ||
               s == "wait-terminate" || s == "close" || s == "closeserver";
  if (needs && g_probe.server == nullptr) return -1;
  if (s == "exec" && left >= 1) return Exec(a[i + 1]), 2;
  if (s == "exec255" && left >= 1) {
    std::string padded = a[i + 1];
    if (padded.size() < 255) padded.resize(255, ' ');
    return Exec(padded), 2;
  }
  if (s == "request" && left >= 1) return PostItem(WM_DDE_REQUEST, CF_TEXT, a[i + 1]), 2;
  if (s == "advise" && left >= 1) return Advise(a[i + 1]), 2;
  if (s == "wait-terminate" && left >= 1) return WaitTerminate(ms(1)), 2;
  if (s == "close") return Close(), 1;
  if (s == "closeserver") return CloseServer(), 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  if (args.size() >= 2 && args[0] == "--timeout") {
    g_probe.timeout = static_cast<DWORD>(atol(args[1].c_str()));
    i = 2;
  }
  g_probe.window = MakeWindow();
  if (g_probe.window == nullptr) return 1;
  while (i < args.size()) {
    int took = Step(args, i);
    if (took == 0) {
      Say("bad step " + args[i]);
      return 1;
    }
    if (took < 0) {
      Say("no conversation for " + args[i]);
      return 2;
    }
    i += static_cast<size_t>(took);
  }
  return 0;
}

// Cost of the window library against the platform's own means, same machine
// and run, under Wine:
//   OpenMainWindow     opening and closing the main window from its compiled
//                      resource (MXB001) against the dialog manager creating
//                      the same controls (classes, styles, texts, places,
//                      font) from an in-memory dialog template with
//                      CreateDialogIndirectParam and destroying it; both stay
//                      hidden, as the window is until its loop starts.
//   Events             100,000 events posted by the loop body and delivered
//                      through ACCEPT, each pass posting the next, against a
//                      raw loop in which each message's window procedure
//                      posts the next with PostMessage and GetMessage and
//                      DispatchMessage deliver it.
//   EventsFromMessages the same, but each event comes from a platform message
//                      (a command with identifier 0, EVENT:AlertKey) that the
//                      pump gets, the shared window procedure turns into an
//                      event and ACCEPT delivers.
// Each side checks its result: the same number of controls, every event
// delivered.
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/app_init.h"
#include "bench/harness_win.h"
#include "runtime/core/module.h"
#include "runtime/core/queue.h"
#include "runtime/core/startup.h"
#include "ui/accept.h"
#include "ui/events.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace {

constexpr int kOpens = 40;
constexpr long kEvents = 100000;
constexpr UINT kPeerMessage = WM_APP + 1;
constexpr const char kPeerClass[] = "UiBenchPeerClass";

// The main window and the variables its controls show, as the main frame
// declares them.
struct MainWindow {
  kor::Queue rows{679};
  uint8_t connected = 0;
  uint8_t timeout_minutes = 15;
  char last_action[30];
  void* addresses[5] = {&rows, &connected, &timeout_minutes, last_action, nullptr};
  kor::Window window;
  MainWindow() {
    memset(last_action, ' ', sizeof last_action);
    window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
  }
};

int DirectChildren(HWND parent) {
  int n = 0;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) ++n;
  return n;
}

// An in-memory dialog template (DLGTEMPLATE with DS_SETFONT, then one
// DLGITEMTEMPLATE per control, each on a DWORD boundary; texts UTF-16).
class DialogTemplate {
 public:
  void Header(DWORD style, DWORD ex_style, WORD items, const RECT& dlu, const std::string& title,
              WORD points, const std::string& face) {
    Dword(style | DS_SETFONT);
    Dword(ex_style);
    words_.push_back(items);
    Place(dlu);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the dialog class
    Text(title);
    words_.push_back(points);
    Text(face);
  }
  void Item(DWORD style, DWORD ex_style, const RECT& dlu, WORD id, const std::string& cls,
            const std::string& text) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    Dword(style);
    Dword(ex_style);
    Place(dlu);
    words_.push_back(id);
    Text(cls);
    Text(text);
    words_.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void Place(const RECT& r) {
    for (LONG v : {r.left, r.top, r.right - r.left, r.bottom - r.top})
      words_.push_back(static_cast<WORD>(static_cast<short>(v)));
  }
  void Text(const std::string& s) {
    for (unsigned char c : s) words_.push_back(c);
    words_.push_back(0);
  }
  std::vector<WORD> words_;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string TextOf(HWND h) {
  char buf[512];
  int n = GetWindowTextA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::string ClassOf(HWND h) {
  char buf[256];
  int n = GetClassNameA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

// Pixels per 400 horizontal and 800 vertical dialog units for that font.
RECT DialogUnitScale(WORD points, const std::string& face) {
  DialogTemplate probe;
  probe.Header(WS_POPUP, 0, 0, RECT{0, 0, 10, 10}, "", points, face);
  HWND h = CreateDialogIndirectParamA(nullptr, probe.get(), nullptr, PlainDialogProc, 0);
  RECT r = {0, 0, 400, 800};
  if (h != nullptr) {
    MapDialogRect(h, &r);
    DestroyWindow(h);
  }
  return r;
}

RECT ToDialogUnits(const RECT& px, const RECT& scale) {
  return RECT{px.left * 400 / scale.right, px.top * 800 / scale.bottom,
              px.right * 400 / scale.right, px.bottom * 800 / scale.bottom};
}

// The dialog template of the open main window: its frame, its font and
// each direct child as the window library created it.
DialogTemplate TemplateOf(HWND main) {
  LOGFONTA font = {};
  HFONT hfont = reinterpret_cast<HFONT>(SendMessageA(GetWindow(main, GW_CHILD), WM_GETFONT, 0, 0));
  GetObjectA(hfont != nullptr ? hfont : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  HDC dc = GetDC(nullptr);
  WORD points = static_cast<WORD>(MulDiv(abs(font.lfHeight), 72, GetDeviceCaps(dc, LOGPIXELSY)));
  ReleaseDC(nullptr, dc);
  RECT scale = DialogUnitScale(points, font.lfFaceName);
  RECT client;
  GetClientRect(main, &client);
  DWORD style = static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & ~WS_VISIBLE;
  DWORD ex_style = static_cast<DWORD>(GetWindowLongA(main, GWL_EXSTYLE));
  DialogTemplate t;
  t.Header(style, ex_style, static_cast<WORD>(DirectChildren(main)), ToDialogUnits(client, scale),
           TextOf(main), points, font.lfFaceName);
  for (HWND c = GetWindow(main, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    t.Item(static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)),
           static_cast<DWORD>(GetWindowLongA(c, GWL_EXSTYLE)), ToDialogUnits(r, scale),
           static_cast<WORD>(GetDlgCtrlID(c)), ClassOf(c), TextOf(c));
  }
  return t;
}

kor::bench::Run OpenMainWindowKor(MainWindow& m, int expected_children) {
  kor::bench::Run run;
  double start = kor::bench::Now();
  for (int i = 0; i < kOpens; ++i) {
    if (!m.window.Open()) return {0, "the main window did not open"};
    if (DirectChildren(m.window.handle()) != expected_children) run.error = "controls differ";
    m.window.Close();
    if (m.window.is_open()) return {0, "the main window did not close"};
  }
  run.seconds = kor::bench::Now() - start;
  return run;
}

kor::bench::Run OpenMainWindowDialog(const DialogTemplate& t, int expected_children) {
  kor::bench::Run run;
  double start = kor::bench::Now();
  for (int i = 0; i < kOpens; ++i) {
    HWND h = CreateDialogIndirectParamA(nullptr, t.get(), nullptr, PlainDialogProc, 0);
    if (h == nullptr) return {0, "the dialog did not open"};
    if (DirectChildren(h) != expected_children) run.error = "controls differ";
    DestroyWindow(h);
  }
  run.seconds = kor::bench::Now() - start;
  return run;
}

// Events through ACCEPT. `from_messages`: each event is a platform message
// that the window turns into EVENT:AlertKey; else the body posts EVENT:Notify.
kor::bench::Run EventsKor(MainWindow& m, bool from_messages) {
  if (!m.window.Open()) return {0, "the main window did not open"};
  HWND hwnd = m.window.handle();
  int32_t event = from_messages ? kor::kEventAlertKey : kor::kEventNotify;
  auto post_next = [&] {
    if (from_messages) {
      PostMessageA(hwnd, WM_COMMAND, 0, 0);
    } else {
      kor::PostEvent(event);
    }
  };
  long delivered = 0;
  double start = 0, end = 0;
  kor::ACCEPT(kor::LoopBody([&] {
    if (kor::EVENT() == kor::kEventOpenWindow) {
      start = kor::bench::Now();
      post_next();
    } else if (kor::EVENT() == event) {
      if (++delivered == kEvents) {
        end = kor::bench::Now();
        return kor::Pass::kBreak;
      }
      post_next();
    }
    return kor::Pass::kContinue;
  }));
  m.window.Close();
  if (delivered != kEvents) return {0, "events were lost"};
  return {end - start, ""};
}

long g_peer_delivered = 0;

LRESULT CALLBACK PeerProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
  if (message != kPeerMessage) return DefWindowProcA(hwnd, message, wp, lp);
  if (++g_peer_delivered < kEvents) PostMessageA(hwnd, kPeerMessage, 0, 0);
  return 0;
}

kor::bench::Run EventsPostMessage() {
  HWND hwnd = CreateWindowExA(0, kPeerClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  if (hwnd == nullptr) return {0, "the peer window did not open"};
  g_peer_delivered = 0;
  double start = kor::bench::Now();
  PostMessageA(hwnd, kPeerMessage, 0, 0);
  MSG msg;
  while (g_peer_delivered < kEvents && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  double seconds = kor::bench::Now() - start;
  DestroyWindow(hwnd);
  if (g_peer_delivered != kEvents) return {0, "messages were lost"};
  return {seconds, ""};
}

void RegisterPeerClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PeerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kPeerClass;
  RegisterClassA(&wc);
}

}  // namespace

int main(int argc, char** argv) {
  kor::bench::Harness harness(argc, argv);
  kor::RegisterModule(mxb::ProgramModule(), nullptr);
  kor::RuntimeStart();
  RegisterPeerClass();
  MainWindow m;
  if (!m.window.Open()) return 1;
  int children = DirectChildren(m.window.handle());
  DialogTemplate t = TemplateOf(m.window.handle());
  m.window.Close();

  harness.Compare(
      "OpenMainWindow", "dialog", kOpens, [&] { return OpenMainWindowKor(m, children); },
      [&] { return OpenMainWindowDialog(t, children); });
  harness.Compare(
      "Events", "postmessage", kEvents, [&] { return EventsKor(m, false); },
      [] { return EventsPostMessage(); });
  harness.Compare(
      "EventsFromMessages", "postmessage", kEvents, [&] { return EventsKor(m, true); },
      [] { return EventsPostMessage(); });
  int status = harness.Finish();
  kor::RuntimeShutdown();
  kor::Halt(status);
}

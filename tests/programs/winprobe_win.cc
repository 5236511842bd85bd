// A program on the window library for the black-box tests: it opens windows
// from the test window descriptions (tests/windows/UITEST.wnd) and runs
// scripted ACCEPT loops, writing what each loop sees to a log, so that the
// event rules can be driven from outside by the robot.
//
//   winprobe LOG WINDOW [RULE...]   opens WINDOW (a label of UITEST.wnd) and
//                                   runs its loop until the window closes
//   winprobe LOG shutdown           opens T$MAIN and T$CHILD above it, leaves
//                                   both open and starts the process timer,
//                                   then runs the runtime's shutdown
//
// Rules:
//   refuse-close=N    the first N EVENT:CloseWindow are refused (the body cycles)
//   child=F:LABEL     EVENT:Accepted for field F opens window LABEL, and runs
//                     its loop, with the same rules, inside the pass
//   post=E:F          on EVENT:OpenWindow, posts event E for field F
//
// Log lines (one per line, flushed at once; LABEL is the window's label):
//   pid N                         the probe's process id, first
//   LABEL open TITLE              the window opened
//   LABEL EVENT:Name FIELD        one pass of the loop body (an event without
//                                 a name shows its message code, "0x1658")
//   LABEL refused EVENT:Name      the pass cycled on it
//   LABEL loop ended              ACCEPT returned
//   LABEL closed                  the window is closed afterwards
//   shutdown: open N timer TICKS  what the shutdown left (N windows open,
//                                 process-timer ticks seen after it)
// The exit code is 0, or 2 after a bad argument or a window that did not open.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <iterator>
#include <string>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"
#include "ui/accept.h"
#include "ui/events.h"
#include "ui/plain_controls.h"
#include "ui/resource/control_kinds.h"
#include "ui/resource/window_format.h"
#include "ui/state_functions.h"
#include "ui/thread_state.h"
#include "ui/ui_init.h"
#include "ui/window.h"

namespace {

constexpr const char kModule[] = "test$UITEST";
constexpr int kBadUse = 2;
constexpr uint32_t kShutdownTimerMs = 10;
constexpr DWORD kTickWaitMs = 2000;  // for the first tick before the shutdown
constexpr DWORD kQuietWaitMs = 300;  // during which no tick may come after it

// The control kinds of the test windows, as the window library's tests use them.
constexpr uint8_t kKinds[] = {kor::kRecButton, kor::kRecEntry,  kor::kRecCheck,
                              kor::kRecGroup,  kor::kRecPrompt, kor::kRecList};

void InitProbeKinds(int32_t arg) {
  if (arg != 0) return;
  kor::RegisterPlainControlKinds(kKinds, sizeof kKinds);
  kor::RegisterPlaceholderKinds(kKinds, sizeof kKinds);
}

const kor::InitEntry kTable[] = {
    // clang-format off
    KOR_RUNTIME_CORE_INIT_ENTRIES
    KOR_UI_INIT_ENTRIES
    {5, &InitProbeKinds, &InitProbeKinds},
    // clang-format on
};
kor::ModuleDescriptor g_module = {
    .init_begin = std::begin(kTable), .init_end = std::end(kTable), .name = "winprobe"};

FILE* g_log = nullptr;

void Log(const std::string& line) {
  fprintf(g_log, "%s\n", line.c_str());
  fflush(g_log);
}

struct Script {
  int refuse_close = 0;
  int child_field = 0;
  std::string child_label;
  int post_event = 0;
  int post_field = 0;
};

// "E:F" into two numbers; false when it is not that.
bool ParsePair(const char* text, int* first, std::string* second) {
  const char* colon = strchr(text, ':');
  if (colon == nullptr || colon == text || colon[1] == '\0') return false;
  char* end = nullptr;
  *first = static_cast<int>(strtol(text, &end, 10));
  if (end != colon) return false;
  *second = colon + 1;
  return true;
}

bool ParseRule(const char* rule, Script* s) {
  std::string second;
  if (strncmp(rule, "refuse-close=", 13) == 0) {
    s->refuse_close = atoi(rule + 13);
    return true;
  }
  if (strncmp(rule, "child=", 6) == 0) return ParsePair(rule + 6, &s->child_field, &s->child_label);
  if (strncmp(rule, "post=", 5) == 0 && ParsePair(rule + 5, &s->post_event, &second)) {
    s->post_field = atoi(second.c_str());
    return true;
  }
  return false;
}

// The variables of a window's controls, in record order: a probe window has
// a few, none longer than a slot.
struct Variables {
  char slots[8][64] = {};
  void* addresses[9] = {slots[0], slots[1], slots[2], slots[3], slots[4],
                        slots[5], slots[6], slots[7], nullptr};
};

int RunWindow(const std::string& label, Script& script);

// "EVENT:Accepted"; an event without a name as its message code ("0x1658").
std::string NameOf(int32_t event) { return kor::MessageName(kor::EventCode(event)); }

// One pass of the loop body of window `label`.
kor::Pass OnePass(const std::string& label, Script& script) {
  int32_t event = kor::EVENT();
  Log(label + " " + NameOf(event) + " " + std::to_string(kor::FIELD()));
  if (event == kor::kEventOpenWindow && script.post_event != 0)
    kor::PostEvent(script.post_event, script.post_field);
  if (event == kor::kEventCloseWindow && script.refuse_close > 0) {
    --script.refuse_close;
    Log(label + " refused " + NameOf(event));
    return kor::Pass::kCycle;
  }
  if (kor::ACCEPTED() != 0 && kor::ACCEPTED() == script.child_field) {
    Script inner = script;
    inner.child_field = 0;  // one level of children
    RunWindow(script.child_label, inner);
  }
  return kor::Pass::kContinue;
}

int RunWindow(const std::string& label, Script& script) {
  Variables variables;
  kor::Window window;
  window.Declare(kModule, label, variables.addresses);
  if (!window.Open()) {
    Log(label + " did not open");
    return kBadUse;
  }
  Log(label + " open " + window.title());
  kor::ACCEPT(kor::LoopBody([&] { return OnePass(label, script); }));
  Log(label + " loop ended");
  window.Close();
  if (!window.is_open()) Log(label + " closed");
  return 0;
}

// Process-timer messages (timer messages without a window) that arrive
// within `ms`; with `first_only` it returns at the first one.
int TicksWithin(DWORD ms, bool first_only) {
  int ticks = 0;
  DWORD start = GetTickCount();
  for (DWORD spent = 0; spent < ms; spent = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_TIMER);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
      if (msg.hwnd == nullptr) ++ticks;
    if (ticks > 0 && first_only) break;
  }
  return ticks;
}

// Windows left open and a running process timer: the shutdown steps close
// the windows and stop the timer.
int LeaveToShutdown() {
  static Variables variables;
  static kor::Window main_window, child;
  main_window.Declare(kModule, "T$MAIN", variables.addresses);
  child.Declare(kModule, "T$CHILD", variables.addresses);
  if (!main_window.Open() || !child.Open()) return kBadUse;
  Log("T$MAIN open " + main_window.title());
  Log("T$CHILD open " + child.title());
  kor::StartProcessTimer(kShutdownTimerMs, nullptr);
  int before = TicksWithin(kTickWaitMs, true);
  kor::RuntimeShutdown();
  int open = (main_window.is_open() ? 1 : 0) + (child.is_open() ? 1 : 0);
  int after = TicksWithin(kQuietWaitMs, false);
  Log("shutdown: open " + std::to_string(open) + " timer " + std::to_string(after) +
      (before > 0 ? "" : " (no tick before)"));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: winprobe LOG WINDOW [RULE...] | winprobe LOG shutdown\n");
    return kBadUse;
  }
  g_log = fopen(argv[1], "a");
  if (g_log == nullptr) return kBadUse;
  Log("pid " + std::to_string(GetCurrentProcessId()));
  Script script;
  for (int i = 3; i < argc; ++i) {
    if (!ParseRule(argv[i], &script)) {
      Log(std::string("bad rule ") + argv[i]);
      return kBadUse;
    }
  }
  kor::OsResetFpu();
  kor::RegisterModule(&g_module, nullptr);
  if (!kor::CheckRuntimeVersion(5, 0, 0)) kor::Halt(kBadUse);
  kor::InstallRuntimeFaultHandler();
  kor::RuntimeStart();
  int status = strcmp(argv[2], "shutdown") == 0 ? LeaveToShutdown() : RunWindow(argv[2], script);
  if (status == 0 && strcmp(argv[2], "shutdown") != 0) kor::RuntimeShutdown();
  Log("exit " + std::to_string(status));
  kor::Halt(status);
}

// batchprobe: runs the batch operations' steps (app/core/batch_steps.h)
// through the real DDE client (DdeBatchScreen) against a real environment
// process, for the black-box tests. One line per result.
//
//   batchprobe SERVICE START_COMMAND STEP...
//     connect ATTEMPTS PAUSE_MS   the bounded connection loop, starting
//                                 START_COMMAND while nobody answers:
//                                 "connect channel" or "connect none"
//     timeout HUNDREDTHS          the DDE time-out
//     send OP STEM                the operation's 255-character command for
//                                 STEM, then the DDE error check:
//                                 "check CODE TEXT"; each message shown as
//                                 "message TEXT"
//     output OP DIR BASE MS       polls the completion check for up to MS:
//                                 "output present" or "output absent"
//     pause MS                    handles window and DDE messages for MS
//     close                       DDEclose
//     window                      opens the main window (MXB001) hidden
//     tick                        waits in the inner loop for the window's
//                                 next timer tick: "tick after N s" (whole
//                                 seconds), or "no tick" when the loop ended
//     closewindow                 asks the window to close, then waits for
//                                 a tick: "no tick" when the wait ended
// Exit status: 0 when every step ran, 1 for bad arguments.
#include <stdio.h>
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/app_init.h"
#include "app/batch_screen.h"
#include "app/core/batch_steps.h"
#include "dde/dde.h"
#include "runtime/core/error_state.h"
#include "runtime/core/module.h"
#include "runtime/core/queue.h"
#include "runtime/core/startup.h"
#include "runtime/os/os.h"
#include "runtime/runtime_init.h"
#include "ui/ui_init.h"
#include "ui/window.h"

namespace {

void Say(const std::string& line) {
  printf("%s\n", line.c_str());
  fflush(stdout);
}

// The main window's variables, as the main frame declares them.
struct MainWindow {
  kor::Queue rows{679};
  uint8_t connected = 0, timeout = 15;
  char last_action[30] = {};
  kor::Window window;
  bool Open() {
    void* addresses[] = {&rows, &connected, &timeout, last_action, nullptr};
    window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
    if (!window.Open()) return false;
    ShowWindow(window.handle(), SW_HIDE);
    return true;
  }
};

void SayTick(mxb::DdeBatchScreen& screen) {
  const uint32_t start = screen.NowMs();
  if (!screen.WaitForTick()) {
    Say("no tick");
    return;
  }
  Say("tick after " + std::to_string((screen.NowMs() - start + 500) / 1000) + " s");
}

int Run(const std::vector<std::string>& a) {
  if (a.size() < 2) return 1;
  mxb::DdeBatchScreen screen(a[0], a[1]);
  int32_t channel = 0;
  size_t shown = 0;
  MainWindow main_window;
  auto say_messages = [&] {
    for (; shown < screen.messages().size(); ++shown) Say("message " + screen.messages()[shown]);
  };
  for (size_t i = 2; i < a.size();) {
    const std::string& s = a[i];
    auto has = [&](size_t n) { return i + n < a.size(); };
    if (s == "connect" && has(2)) {
      channel = mxb::ConnectToEnvironment(screen, std::stoi(a[i + 1]),
                                          static_cast<uint32_t>(std::stoul(a[i + 2])));
      Say(channel != 0 ? "connect channel" : "connect none");
      i += 3;
    } else if (s == "timeout" && has(1)) {
      screen.SetDdeTimeout(static_cast<uint32_t>(std::stoul(a[i + 1])));
      i += 2;
    } else if (s == "send" && has(2)) {
      const mxb::BatchOpSpec* op = mxb::FindOpBySwitch(a[i + 1]);
      if (op == nullptr) return 1;
      kor::ClearError();
      screen.DdeExecute(channel, mxb::BuildCommand(*op, a[i + 2]));
      mxb::DdeCheckResult r = mxb::CheckDdeError(screen, channel);
      Say("check " + std::to_string(r.code) + (r.text.empty() ? "" : " " + r.text));
      say_messages();
      i += 3;
    } else if (s == "output" && has(4)) {
      const mxb::BatchOpSpec* op = mxb::FindOpBySwitch(a[i + 1]);
      if (op == nullptr) return 1;
      const uint32_t start = kor::OsTickCount(), limit = std::stoul(a[i + 4]);
      bool present = false;
      while (!(present = mxb::OutputPresent(*op, a[i + 2], a[i + 3])) &&
             kor::OsTickCount() - start < limit) {
        screen.Pause(50);
      }
      Say(present ? "output present" : "output absent");
      i += 5;
    } else if (s == "pause" && has(1)) {
      screen.Pause(static_cast<uint32_t>(std::stoul(a[i + 1])));
      i += 2;
    } else if (s == "window") {
      Say(main_window.Open() ? "window open" : "window failed");
      i += 1;
    } else if (s == "tick") {
      SayTick(screen);
      i += 1;
    } else if (s == "closewindow") {
      PostMessageA(main_window.window.handle(), WM_CLOSE, 0, 0);
      SayTick(screen);
      i += 1;
    } else if (s == "close") {
      screen.DdeClose(channel);
      i += 1;
    } else {
      Say("bad step: " + s);
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kor::RegisterModule(mxb::ProgramModule(), nullptr);  // the program's own table
  kor::RuntimeStart();
  int status = Run(std::vector<std::string>(argv + 1, argv + argc));
  kor::RuntimeShutdown();
  kor::Halt(status);
}

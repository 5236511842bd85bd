// The main frame procedure: the program's main window and its event loop,
// the program's main loop. The window comes from the resource "MXB001_RSC",
// label "P1$WINDOW"; the loop runs until the window is closed. An unattended
// run opens the same window (minimised or hidden), runs its operation from
// the loop's first pass, so that the completion wait's inner loops nest in
// it, and then closes the window.
#include "app/main_frame.h"

#include <string.h>
#include <windows.h>

#include <cstdint>

#include "app/batch_screen.h"
#include "app/core/app_data.h"
#include "app/core/batch_run.h"
#include "app/core/standard_open.h"
#include "app/project_browse.h"
#include "app/unattended_sink.h"
#include "files/statements.h"
#include "runtime/core/queue.h"
#include "ui/accept.h"
#include "ui/controls/list_queue.h"
#include "ui/events.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace mxb {

namespace {

// One row of the project list as the list shows it.
constexpr uint32_t kListRowSize = 679;
constexpr uint8_t kInitialTimeoutMinutes = 15;

// The unattended run, inside the main window's loop.
// `fields` shows "Last Action" and the connection flag in the window.
void RunUnattended(const RunOptions& options, kor::Window& window,
                   const DdeBatchScreen::FieldsChanged& fields, int32_t* exit_status) {
  if (options.show != ShowMode::kNormal) {
    ShowWindow(window.handle(), options.show == ShowMode::kHidden ? SW_HIDE : SW_MINIMIZE);
  }
  RunReport report(*options.op);
  UnattendedSink sink(report, options.report_path);
  AppData& d = Data();
  if (d.apps_uses++ == 0) StandardOpen(&d.apps, sink);
  DdeBatchScreen screen;
  screen.SetUnattended(&report);
  screen.SetFieldsChanged(fields);
  RunBatch(*options.op, screen, sink, {options.timeout_minutes, &report});
  if (--d.apps_uses == 0) kor::CLOSE(&d.apps);
  if (!report.WriteTo(options.report_path) && report.ExitStatus() == kExitAllFinished) {
    *exit_status = kExitProjectFailed;  // a run without its report is no success
    return;
  }
  *exit_status = report.ExitStatus();
}

}  // namespace

void MainFrame(const RunOptions& options, int32_t* exit_status) {
  // The variables the window's controls show, in the order of its records:
  // the list's rows, the connection flag, the DDE time-out and the last action.
  kor::Queue rows(kListRowSize);
  // The list reads its rows through a binding of the queue and its record
  // layout; the layout's fields are named with the project list's rows.
  kor::QueueBinding list_rows = ProjectListBinding(&rows);
  uint8_t connected = 0;
  uint8_t timeout_minutes = options.unattended() ? options.timeout_minutes : kInitialTimeoutMinutes;
  char last_action[30];
  memset(last_action, ' ', sizeof last_action);
  void* addresses[] = {&list_rows, &connected, &timeout_minutes, last_action, nullptr};

  *exit_status = kExitAllFinished;
  kor::Window window;
  window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
  if (!window.Open()) return;
  if (options.unattended()) {
    auto fields = [&](const std::string& text, bool is_connected) {
      StoreField(last_action, sizeof last_action, text);
      connected = is_connected ? 1 : 0;
      kor::RefreshDisplay();
    };
    RunUnattended(options, window, fields, exit_status);
    window.Close();
    return;
  }
  // ---- project list browse (project_browse.h): first fill, refresh on
  // EVENT:GainFocus, the list's events and buttons 14..18 ----
  ProjectBrowse browse(&rows);
  auto browse_event = [&browse] {
    if (kor::EVENT() == kor::kEventOpenWindow) browse.FirstFill();
    if (kor::EVENT() == kor::kEventGainFocus) browse.Refresh();
    return browse.TakeEvent();
  };
  // ---- end of the project list browse ----
  // The loop ends when the window is closed (its close box or its "Close"
  // button): EVENT:CloseWindow, which the frame does not refuse.
  kor::ACCEPT([&] {
    if (browse_event()) return kor::Pass::kContinue;
    return kor::Pass::kContinue;
  });
  window.Close();
}

}  // namespace mxb

// The main frame procedure: the program's main window and its event loop,
// the program's main loop. The window comes from the resource "MXB001_RSC",
// label "P1$WINDOW"; the loop runs until the window is closed. An unattended
// run opens the same window (minimised or hidden), runs its operation from
// the loop's first pass, so that the completion wait's inner loops nest in
// it, and then closes the window.
//
// Interactive, per pass of the loop:
//   first pass    the opening steps: the caller's request taken, a use of
//                 `Apps`, "Last Action" blank, the first connection attempt
//                 (no start of the environment), the display refreshed;
//   OpenWindow    no conversation: the "Warning" box, then the focus to the
//                 connection group (10);
//   Rejected      beep, the control shows its variable again and is selected;
//   Accepted      the batch buttons run their operation here, inside this
//                 loop (the completion wait nests its own loop in it);
//                 Connect (12) and Disconnect (13) work on the frame's own
//                 conversation (app/core/frame_steps.h).
// Closing gives back the conversation and the use of `Apps`, and leaves the
// response in ResponseCode (2: none).
#include "app/main_frame.h"

#include <string.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/app_init.h"
#include "app/batch_screen.h"
#include "app/core/app_data.h"
#include "app/core/batch_run.h"
#include "app/core/frame_steps.h"
#include "app/core/standard_open.h"
#include "app/project_browse.h"
#include "app/screen_sink.h"
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
constexpr int32_t kNoResponse = 2;

// The variables the window's controls show, in the order of its records:
// the list's rows, the connection flag, the DDE time-out and the last action.
struct FrameFields {
  kor::Queue rows{kListRowSize};
  // The list reads its rows through a binding of the queue and its record
  // layout; the layout's fields are named with the project list's rows.
  kor::QueueBinding list_rows = ProjectListBinding(&rows);
  uint8_t connected = 0;
  uint8_t timeout_minutes = kInitialTimeoutMinutes;
  char last_action[kLastActionSize];

  FrameFields() { memset(last_action, ' ', sizeof last_action); }
  // Shows a new "Last Action" and connection flag at once.
  void Show(const std::string& text, bool is_connected) {
    StoreField(last_action, sizeof last_action, text);
    connected = is_connected ? 1 : 0;
    kor::RefreshDisplay();
  }
  DdeBatchScreen::FieldsChanged Changed() {
    return [this](const std::string& text, bool is_connected) { Show(text, is_connected); };
  }
};

// The unattended run, inside the main window's loop.
void RunUnattended(const RunOptions& options, kor::Window& window, FrameFields& fields,
                   int32_t* exit_status) {
  if (options.show != ShowMode::kNormal) {
    ShowWindow(window.handle(), options.show == ShowMode::kHidden ? SW_HIDE : SW_MINIMIZE);
  }
  RunReport report(*options.op);
  UnattendedSink sink(report, options.report_path);
  AppData& d = Data();
  if (d.apps_uses++ == 0) StandardOpen(&d.apps, sink);
  DdeBatchScreen screen;
  screen.SetUnattended(&report);
  screen.SetFieldsChanged(fields.Changed());
  RunBatch(*options.op, screen, sink, {options.timeout_minutes, &report});
  if (--d.apps_uses == 0) kor::CLOSE(&d.apps);
  if (!report.WriteTo(options.report_path) && report.ExitStatus() == kExitAllFinished) {
    *exit_status = kExitProjectFailed;  // a run without its report is no success
    return;
  }
  *exit_status = report.ExitStatus();
}

// The interactive procedure: its state and its event handlers.
class Frame {
 public:
  explicit Frame(FrameFields& fields) : fields_(fields), browse_(&fields.rows) {
    link_screen_.SetFieldsChanged(Changed());
  }

  kor::Pass OnePass() {
    if (!opened_) Opening();
    const int32_t field = kor::FIELD();
    // The project list (field 1) and its buttons 14 to 18 (Tag, Insert,
    // Change, Delete, Log) are the list's browse.
    if (browse_.TakeEvent()) return kor::Pass::kContinue;
    switch (kor::EVENT()) {
      case kor::kEventOpenWindow: OnOpenWindow(); break;
      case kor::kEventGainFocus: browse_.Refresh(); break;
      case kor::kEventRejected: OnRejected(field); break;
      case kor::kEventAccepted: OnAccepted(field); break;
      default: break;
    }
    return kor::Pass::kContinue;
  }

  void Closing() {
    Release(link_screen_, &link_);
    AppData& d = Data();
    if (apps_taken_ && --d.apps_uses == 0) kor::CLOSE(&d.apps);
    apps_taken_ = false;
    g_app.global_response = response_ != 0 ? response_ : kNoResponse;
  }

 private:
  DdeBatchScreen::FieldsChanged Changed() { return fields_.Changed(); }

  void Opening() {
    opened_ = true;
    request_ = g_app.global_request;
    g_app.global_request = 0;
    g_app.global_response = 0;
    AppData& d = Data();
    if (d.apps_uses++ == 0) StandardOpen(&d.apps, files_);
    apps_taken_ = true;
    fields_.Show(std::string(), false);
    FirstConnection(link_screen_, &link_);
    kor::RefreshDisplay();
  }

  void OnOpenWindow() {
    if (link_.channel == 0) {
      ShowFrameMessage(kNotRunningText, kNotRunningCaption, kIconError);
      kor::SelectField(kFieldConnectionGroup);
    }
    browse_.FirstFill();
    kor::SelectField(kFieldList);
  }

  void OnRejected(int32_t field) {
    MessageBeep(0);
    kor::RefreshDisplay(field, field);
    kor::SelectField(field);
  }

  void OnAccepted(int32_t field) {
    if (std::optional<BatchOp> op = BatchOpOfField(field)) {
      RunOperation(*op);
    } else if (field == kFieldConnect) {
      Connect(link_screen_, &link_);
      browse_.Refresh();
    } else if (field == kFieldDisconnect) {
      Disconnect(link_screen_, &link_);
      browse_.Refresh();
    }
  }

  // One batch operation, with the time-out the spin shows at the press.
  void RunOperation(BatchOp op) {
    if (NeedsConfirmation(op) &&
        ShowFrameMessage(kConfirmImportText, kConfirmImportCaption, kIconConfirm,
                         kButtonYes | kButtonNo, kButtonNo) != kButtonYes) {
      return;
    }
    DdeBatchScreen screen;
    screen.SetFieldsChanged(Changed());
    RunBatch(OpSpec(op), screen, files_, {OperationTimeoutMinutes(fields_.timeout_minutes)});
    // The operation closed its own conversation; the frame's may still be
    // held, and the flag says so.
    fields_.Show(screen.last_action(), link_.connected);
    browse_.Refresh();
  }

  FrameFields& fields_;
  DdeBatchScreen link_screen_;
  FrameLink link_;
  ProjectBrowse browse_;
  ScreenWarningSink& files_ = ScreenWarnings();
  bool opened_ = false;
  bool apps_taken_ = false;
  int32_t request_ = 0;
  int32_t response_ = 0;
};

}  // namespace

void MainFrame(const RunOptions& options, int32_t* exit_status) {
  FrameFields fields;
  if (options.unattended()) fields.timeout_minutes = options.timeout_minutes;
  void* addresses[] = {&fields.list_rows, &fields.connected, &fields.timeout_minutes,
                       fields.last_action, nullptr};

  *exit_status = kExitAllFinished;
  kor::Window window;
  window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
  if (!window.Open()) return;
  if (options.unattended()) {
    RunUnattended(options, window, fields, exit_status);
    window.Close();
    return;
  }
  SetBatchMessageHook(&ShowBatchMessage);
  Frame frame(fields);
  // The loop ends when the window is closed (its close box or its "Close"
  // button): EVENT:CloseWindow, which the frame does not refuse. Closing
  // during a completion wait ends the wait; the operation still runs its end
  // steps before this loop sees the window gone.
  kor::ACCEPT([&frame] { return frame.OnePass(); });
  frame.Closing();
  window.Close();
}

}  // namespace mxb

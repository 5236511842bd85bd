// The main frame procedure: the program's main window and its event loop,
// the program's main loop. The window comes from the resource "MXB001_RSC",
// label "P1$WINDOW"; the loop runs until the window is closed.
#include "app/main_frame.h"

#include <string.h>

#include <cstdint>

#include "runtime/core/queue.h"
#include "ui/accept.h"
#include "ui/controls/list_queue.h"
#include "ui/window.h"

namespace mxb {

namespace {

// One row of the project list as the list shows it.
constexpr uint32_t kListRowSize = 679;
constexpr uint8_t kInitialTimeoutMinutes = 15;

}  // namespace

void MainFrame() {
  // The variables the window's controls show, in the order of its records:
  // the list's rows, the connection flag, the DDE time-out and the last action.
  kor::Queue rows(kListRowSize);
  // The list reads its rows through a binding of the queue and its record
  // layout; the layout's fields are named with the project list's rows.
  kor::QueueBinding list_rows = {&rows, nullptr, 0};
  uint8_t connected = 0;
  uint8_t timeout_minutes = kInitialTimeoutMinutes;
  char last_action[30];
  memset(last_action, ' ', sizeof last_action);
  void* addresses[] = {&list_rows, &connected, &timeout_minutes, last_action, nullptr};

  kor::Window window;
  window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
  if (!window.Open()) return;
  // The loop ends when the window is closed (its close box or its "Close"
  // button): EVENT:CloseWindow, which the frame does not refuse.
  kor::ACCEPT([] { return kor::Pass::kContinue; });
  window.Close();
}

}  // namespace mxb

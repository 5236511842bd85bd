// The window object: one per window a procedure declares. Declaring names the
// compiled window resource and hands over the addresses of the variables the
// controls show; opening builds the platform window and its controls from the
// resource; the procedure's ACCEPT loop (accept.h) then receives one event
// per pass until the window closes.
//
// Life: declared -> open (close state 0) -> closing (2; 1 while it waits for
// its child windows) -> closed (no platform handle); the object can be opened
// again. The procedure owns the object; destroying an open one closes it.
//
// Opening:
//   - a window that is open: error 535 ("Window is already open");
//   - no module holds the resource: the runtime stops with 502; a resource
//     that does not decode stops it with 502 and the decoder's reason;
//   - the platform refuses the window class: the runtime stops with 503;
//   - the platform refuses the window: error 529 ("Unable to open WINDOW"),
//     and the window stays closed.
// An open window sits on its thread's window stack (the last opened is the
// thread's top window), remembers the window below it and its parent (the
// window below, or for the first window of a started thread the window that
// was on top of the starting thread), and is in its parent's child list.
// Its first event is EVENT:OpenWindow, queued at the platform's first
// creation message. Its class "KorWin%uClass%lu" (instance handle, running
// number) is registered for it alone and unregistered when it closes. A
// timer period other than 0 starts platform timer 1 at period x 10 ms; each
// tick queues EVENT:Timer.
//
// Closing (Close): a window that is not open is left alone. Otherwise the
// windows of its thread are closed from the top down to it (those opened
// later close first). A window inside a loop of its own, or on another
// thread, is only marked: its loop ends and its ACCEPT closes it (another
// thread is sent QUERY_CONTINUETHREAD so it does so). Closing hides the
// window, removes its menu, activates the window below it (the next visible
// window on the stack, else the parent), destroys the platform window and the
// controls, unregisters the class, and then dispatches the paint messages
// pending, so that uncovered windows repaint before the program goes on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/os/os.h"
#include "ui/control.h"
#include "ui/event_queue.h"
#include "ui/resource/address_list.h"
#include "ui/resource/units.h"
#include "ui/resource/window_records.h"

namespace kor {

struct ThreadRecord;

// How one pass of the loop body ends: normally, by cycling (the program
// refuses the event: a close request is not carried out, an alert key acts
// as an ordinary key, a move does not happen), or by breaking out of the
// loop (ACCEPT returns).
enum class Pass { kContinue, kCycle, kBreak };
using LoopBody = std::function<Pass()>;

enum class CloseState : int32_t { kOpen = 0, kWaiting = 1, kClosing = 2 };

// Called with the window when its runtime wait timer (identifier 2) fires.
using WaitTimerProc = void (*)(class Window* window, void* arg);

// Everything the window library's modules keep of an open window. Fields
// marked "locked" are read and written by other runtime threads too: hold
// the runtime lock (runtime_lock.h) around them.
struct WindowState {
  // As declared.
  std::string module;
  std::string label;
  std::vector<void*> declared;  // the address list, null-ended
  AddressList addresses;        // this opening's copy and cursor

  // The platform side.
  HWND hwnd = nullptr;
  std::string class_name;
  uint32_t class_number = 0;
  HFONT font = nullptr;                          // the window's font
  std::vector<std::pair<int32_t, HFONT>> fonts;  // made fonts by font block offset
  HICON icon = nullptr;
  bool owns_icon = false;
  HCURSOR cursor = nullptr;
  bool owns_cursor = false;
  HMENU menu = nullptr;
  std::vector<int32_t> menu_fields;  // field numbers of the menu bar's items
  WindowRecord record;
  UnitScale scale;
  OsInstance module_instance = nullptr;  // whose images the window uses
  uint32_t show_state = SIZE_RESTORED;   // last WM_SIZE kind
  RECT last_rect = {0, 0, 0, 0};         // screen rectangle last seen
  bool placed = false;                   // created: moves and sizes are events from now

  // The thread and the windows around it.
  ThreadRecord* thread = nullptr;
  class Window* below = nullptr;        // locked
  class Window* parent = nullptr;       // locked
  std::vector<class Window*> children;  // locked

  // Events.
  EventQueue queue;            // locked
  EventRecord current;         // the event the program is handling (code 0: none)
  int32_t passes_running = 0;  // loop-body passes under way (nested deliveries count)
  int32_t focus = 0;           // field number of the current control
  bool completion = false;
  int32_t completion_cursor = 0;               // completion mode visits fields above this
  CloseState close_state = CloseState::kOpen;  // locked
  bool close_pending = false;                  // locked
  bool break_requested = false;

  // The ACCEPT loops running on the window, innermost last.
  std::vector<const LoopBody*> loops;

  // Controls, in creation (record) order.
  std::vector<std::unique_ptr<Control>> controls;
  Control* default_button = nullptr;

  WaitTimerProc wait_proc = nullptr;
  void* wait_arg = nullptr;
};

class Window {
 public:
  Window();
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Stores the module-qualified resource name ("mxb$MXB001"), the window
  // label ("P1$WINDOW") and a copy of the address list up to its null entry
  // (null = no addresses).
  void Declare(std::string_view module, std::string_view label, void* const* addresses);
  // Opens the window (see above). Clears the error state first; true when
  // the window is open.
  bool Open();
  // Closes the window and every window opened above it on its thread.
  void Close();

  bool is_open() const { return state_.hwnd != nullptr; }
  HWND handle() const { return state_.hwnd; }
  const std::string& title() const { return state_.record.title; }

  // Controls. AddControl takes ownership; the first button marked default
  // (option bit 0) becomes the default button, a later one takes the mark.
  Control* AddControl(std::unique_ptr<Control> control);
  Control* ControlOf(int32_t field) const;  // null for 0 or a field it lacks
  Control* ControlByHandle(HWND handle) const;
  int32_t FirstField() const;  // lowest field number of a control, 0 when none
  int32_t LastField() const;

  // Appends event `number` for control `field` (0: a window event), cloned
  // from the event the program is handling on the calling thread's top window
  // while a pass of its loop body runs; else a fresh event with the thread's
  // key code (the key that caused it). A field event for field 0 or for a
  // field the window does not have is dropped. Safe from any runtime thread;
  // the window's thread is woken.
  void Post(int32_t number, int32_t field);
  void PostRecord(const EventRecord& event);

  // The window's runtime wait timer (platform timer 2): after `ms` the pump
  // calls `proc` once. 0 ms stops it.
  void SetWaitTimer(uint32_t ms, WaitTimerProc proc, void* arg);

  WindowState& state() { return state_; }
  const WindowState& state() const { return state_; }

 private:
  WindowState state_;
};

// A window object for a procedure that has none of its own; the caller owns it.
std::unique_ptr<Window> DeclareWindow(std::string_view module, std::string_view label,
                                      void* const* addresses);

}  // namespace kor

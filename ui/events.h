// The event numbers of the window library, the runtime's queries between
// windows and controls, and the message-name table that names them (and the
// platform's own window messages) for the fault report.
//
// An event travels on the platform queue as a message code: 0x1400 plus the
// event number. Numbers 1 to 30 and 257 are field events (they carry the
// control that caused them); 513 and up are window events (no control).
// Numbers from 4097 (codes from 0x2401) are the runtime's queries between
// windows and controls; they never reach the program.
//
//   NUMBERS    KIND            EXAMPLES
//   1..30      field events    1 "EVENT:Accepted", 19 "EVENT:Drop"
//   257        field event     "EVENT:Selected" (the control gained the focus)
//   513..578   window events   513 "EVENT:CloseWindow", 523 "EVENT:Timer"
//   4097..     queries         "QUERY_SELECTED", "QUERY_NOTIFY" ...
//
// The message-name table holds 250 (code, name) pairs: the 9 DDE messages,
// the 61 events, the 16 queries and 164 of the platform's window messages
// ("WM_NULL" ... "WM_VBXEVENT"). A code that is not in it prints "%#.4x".
#pragma once

#include <cstdint>
#include <string>

namespace kor {

inline constexpr int32_t kEventBase = 0x1400;  // message code = base + event number

enum EventNumber : int32_t {
  kEventAccepted = 1,
  kEventNewSelection = 2,
  kEventScrollUp = 3,
  kEventScrollDown = 4,
  kEventPageUp = 5,
  kEventPageDown = 6,
  kEventScrollTop = 7,
  kEventScrollBottom = 8,
  kEventLocate = 9,
  kEventMouseUp = 10,
  kEventMouseIn = 11,
  kEventMouseOut = 12,
  kEventMouseMove = 13,
  kEventVbxEvent = 14,
  kEventAlertKey = 15,
  kEventPreAlert = 16,
  kEventDragging = 17,
  kEventDrag = 18,
  kEventDrop = 19,
  kEventScrollDrag = 20,
  kEventTabChanging = 21,
  kEventExpanding = 22,
  kEventContracting = 23,
  kEventExpanded = 24,
  kEventContracted = 25,
  kEventRejected = 26,
  kEventDroppingDown = 27,
  kEventDroppedDown = 28,
  kEventScrollTrack = 29,
  kEventColumnResize = 30,
  kEventSelected = 257,
  kEventCloseWindow = 513,
  kEventCloseDown = 514,
  kEventOpenWindow = 515,
  kEventOpenFailed = 516,
  kEventLoseFocus = 517,
  kEventGainFocus = 518,
  kEventSuspend = 520,
  kEventResume = 521,
  kEventNotify = 522,
  kEventTimer = 523,
  kEventDdeRequest = 524,
  kEventDdeAdvise = 525,
  kEventDdeData = 526,
  kEventDdeExecute = 527,
  kEventDdePoke = 528,
  kEventDdeClosed = 529,
  kEventMove = 544,
  kEventSize = 545,
  kEventRestore = 546,
  kEventMaximize = 547,
  kEventIconize = 548,
  kEventCompleted = 549,
  kEventMoved = 560,
  kEventSized = 561,
  kEventRestored = 562,
  kEventMaximized = 563,
  kEventIconized = 564,
  kEventBuildFile = 576,
  kEventBuildKey = 577,
  kEventBuildDone = 578,
};

// The runtime's queries, as event numbers (message code = kEventBase + n).
enum QueryNumber : int32_t {
  kQuerySetUse = 4097,
  kQuerySelected = 4098,  // a control gained the focus: EVENT:Selected for it
  kQueryCommand = 4099,
  kQueryHotChange = 4100,
  kQueryHelp = 4101,
  kQueryQuit = 4102,
  kQueryReply = 4103,
  kQueryLoseFocus = 4104,
  kQueryPScreen = 4105,
  kQueryPField = 4106,
  kQueryColor = 4108,
  kQueryHScroll = 4110,
  kQueryNotify = 4112,  // a child's notification, handed to its control
  kQueryLocate = 4114,
  kQueryContinueThread = 4124,  // a window closed from another thread closes itself
  kQueryEditDone = 4125,
};

// The message code of an event or query number, and back.
constexpr int32_t EventCode(int32_t number) { return kEventBase + number; }
constexpr int32_t EventNumberOf(int32_t code) { return code - kEventBase; }

// Field events carry a control: 1 to 30 and 257.
constexpr bool IsFieldEvent(int32_t number) {
  return (number >= 1 && number <= 30) || number == kEventSelected;
}
// Window events: 513 and up (below the queries).
constexpr bool IsWindowEvent(int32_t number) { return number >= 513 && number < 4097; }

// One entry of the message-name table.
struct MessageNameEntry {
  int32_t code;
  const char* name;
};
inline constexpr int kMessageNameCount = 250;
// The whole table, in its order: DDE messages, events and queries, window
// messages.
const MessageNameEntry* MessageNameTable();

// The name of a message code, or null when the table has none.
const char* FindMessageName(int32_t code);
// The name of a message code, or the code as "%#.4x" ("0x1234"; 0 prints "0000").
std::string MessageName(int32_t code);
// The name of an event number ("EVENT:Accepted"), or null when it has none.
const char* EventName(int32_t number);

}  // namespace kor

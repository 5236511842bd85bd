// Event records and the pending-event queue of a window.
//
// An event record is what the program's loop body sees as the current event:
// the message code (0x1400 + the event number), the field number of the
// control it belongs to (0 for window events), the 11-bit key code and the
// typed character of the key that caused it, and a payload for the runtime's
// own events (the DDE client's events carry the conversation and its service
// and topic atoms there). Posting clones the current event when there is one,
// so a posted event keeps the key that was being handled.
//
// The queue is oldest first. A window's queue is reached from other runtime
// threads (posting to a thread, close-down of a child): callers hold the
// runtime lock (ui/runtime_lock.h) around every operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "ui/events.h"

namespace kor {

struct EventRecord {
  int32_t code = 0;       // kEventBase + number; 0 = no event
  int32_t field = 0;      // the control's field number; 0 = none
  uint16_t key = 0;       // 11-bit key code
  char character = 0;     // the key's own character, 0 = none
  intptr_t data[3] = {};  // payload of runtime events
  int32_t number() const { return code == 0 ? 0 : code - kEventBase; }
};

// A record for event `number` of control `field`: a clone of `base` (the
// current event) when there is one, else a fresh record with key code `key`.
EventRecord MakeEvent(int32_t number, int32_t field, const EventRecord* base, uint16_t key);

class EventQueue {
 public:
  void Append(const EventRecord& event) { events_.push_back(event); }
  // Puts an event before every pending one.
  void PushFront(const EventRecord& event) { events_.push_front(event); }
  // Takes the oldest event; false when none is pending.
  bool Take(EventRecord* out);
  bool empty() const { return events_.empty(); }
  size_t size() const { return events_.size(); }
  void Clear() { events_.clear(); }
  // Whether an event with that number (and field, unless field < 0) waits.
  bool Holds(int32_t number, int32_t field) const;

 private:
  std::deque<EventRecord> events_;
};

}  // namespace kor

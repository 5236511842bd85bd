// Making event records and taking them from the queue.
#include "ui/event_queue.h"

namespace kor {

EventRecord MakeEvent(int32_t number, int32_t field, const EventRecord* base, uint16_t key) {
  EventRecord event;
  if (base != nullptr && base->code != 0) {
    event = *base;
  } else {
    event.key = key;
  }
  event.code = EventCode(number);
  event.field = field;
  return event;
}

bool EventQueue::Take(EventRecord* out) {
  if (events_.empty()) return false;
  *out = events_.front();
  events_.pop_front();
  return true;
}

bool EventQueue::Holds(int32_t number, int32_t field) const {
  for (const EventRecord& e : events_)
    if (e.number() == number && (field < 0 || e.field == field)) return true;
  return false;
}

}  // namespace kor

// The program-message table and the post to the current window.
#include "ui/program_messages.h"

#include <windows.h>

#include <array>

#include "ui/events.h"
#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

static_assert(kFirstProgramMessage > uint32_t(kEventBase + kQueryEditDone),
              "program messages must not overlap the library's event messages");

namespace {

struct Entry {
  uint32_t message = 0;
  ProgramMessageHandler handler = nullptr;
};
std::array<Entry, 8> g_handlers;

}  // namespace

bool SetProgramMessageHandler(uint32_t message, ProgramMessageHandler handler) {
  if (message < kFirstProgramMessage || message > kLastProgramMessage) return false;
  RuntimeLockGuard lock;
  Entry* free_entry = nullptr;
  for (Entry& e : g_handlers) {
    if (e.message == message) {
      e.handler = handler;
      if (handler == nullptr) e.message = 0;
      return true;
    }
    if (e.message == 0 && free_entry == nullptr) free_entry = &e;
  }
  if (handler == nullptr) return true;
  if (free_entry == nullptr) return false;
  *free_entry = {message, handler};
  return true;
}

bool PostToCurrentWindow(uint32_t message, uintptr_t param) {
  Window* w = TopWindow();
  if (w == nullptr || w->handle() == nullptr) return false;
  return PostMessageA(w->handle(), message, 0, static_cast<LPARAM>(param)) != 0;
}

bool RunProgramMessage(uint32_t message, uintptr_t param) {
  if (message < kFirstProgramMessage || message > kLastProgramMessage) return false;
  ProgramMessageHandler handler = nullptr;
  {
    RuntimeLockGuard lock;
    for (const Entry& e : g_handlers) {
      if (e.message == message) handler = e.handler;
    }
  }
  if (handler == nullptr) return false;
  handler(param);
  return true;
}

}  // namespace kor

// Shared by the window library's tests (not part of the library): the test
// windows of tests/windows/UITEST.wnd, a loop runner with a watchdog, and a
// recorder of the events a loop body sees. Every wait is bounded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/accept.h"
#include "ui/state_functions.h"
#include "ui/window.h"

namespace kor::testing {

inline constexpr const char kTestModule[] = "test$UITEST";
inline constexpr uint32_t kWatchdogMs = 15000;

// One delivered event as the body saw it.
struct Seen {
  int32_t event;
  int32_t field;
  int32_t accepted;
  bool operator==(const Seen&) const = default;
};

inline void PrintTo(const Seen& s, std::ostream* os) {
  *os << "{" << s.event << ", " << s.field << ", " << s.accepted << "}";
}

inline void Watchdog(Window* window, void* fired) {
  *static_cast<bool*>(fired) = true;
  window->state().break_requested = true;
}

// Runs ACCEPT on the thread's top window (which must be `window`) with a
// watchdog; false when the watchdog had to end the loop.
inline bool RunLoop(Window& window, const LoopBody& body, uint32_t ms = kWatchdogMs) {
  bool fired = false;
  window.SetWaitTimer(ms, &Watchdog, &fired);
  ACCEPT(body);
  if (window.is_open()) window.SetWaitTimer(0, nullptr, nullptr);
  return !fired;
}

// The events a loop saw, in order, and a body that records them before it
// asks `react` what to do (continue when there is none). The events that
// focus changes bring along (IsAlong) are recorded but go to `react` only
// when `along` is set.
class Recorder {
 public:
  explicit Recorder(std::function<Pass()> react = nullptr, bool along = false)
      : react_(std::move(react)), along_(along) {}
  LoopBody Body() {
    return [this] {
      seen_.push_back({EVENT(), FIELD(), ACCEPTED()});
      if (!react_ || (!along_ && IsAlong(EVENT()))) return Pass::kContinue;
      return react_();
    };
  }
  // Everything the body saw.
  const std::vector<Seen>& all() const { return seen_; }
  // What it saw without the events that focus changes bring along whenever
  // the platform moves the focus (EVENT:Selected, EVENT:LoseFocus,
  // EVENT:GainFocus) or another thread ran (EVENT:Suspend, EVENT:Resume).
  std::vector<Seen> seen() const {
    std::vector<Seen> out;
    for (const Seen& s : seen_)
      if (!IsAlong(s.event)) out.push_back(s);
    return out;
  }
  std::vector<int32_t> Events() const {
    std::vector<int32_t> out;
    for (const Seen& s : seen()) out.push_back(s.event);
    return out;
  }
  static bool IsAlong(int32_t event) {
    return event == 257 || event == 517 || event == 518 || event == 520 || event == 521;
  }

 private:
  std::function<Pass()> react_;
  bool along_;
  std::vector<Seen> seen_;
};

// Whether a window class of that name is registered with the program.
inline bool ClassRegistered(const std::string& name) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  return GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &wc) != 0;
}

}  // namespace kor::testing

// ddeclient: drives the runtime's DDE client (dde/) from its command line,
// for the black-box tests against real partners (the stand-in Z9EE.exe,
// Wine's own "Progman" service). It runs its steps in order and prints one
// line per result; the error state after each operation is printed as
// "error N".
//
//   ddeclient [--owner] STEP...
//     --owner               open a runtime window first (the activity-log
//                           form of mxb$MXB004, not shown) so that the
//                           conversations have an owner and queue events
//     open SERVICE TOPIC    "open channel" or "open none", then the error
//     exec TEXT             DDEexecute of TEXT as given
//     exec255 TEXT          the same with TEXT padded with blanks to 255
//     request ITEM          one-shot into a CSTRING(300) holding "(unset)":
//                           "value TEXT"
//     requestnum ITEM       one-shot into a USHORT holding 65535: "value N"
//     advise ITEM           hot link into a CSTRING(300)
//     unadvise ITEM         ends that hot link
//     events N MS           takes DDE events from the owner window's queue
//                           until N came or MS passed (the messages queued
//                           already are handled first): one line per event
//                           ("event EVENT:DDEdata channel=same service=S
//                           topic=T value=V"), then "events K"
//     close                 DDEclose of the channel
//     closeowner            closes the owner window
//     property HUNDREDTHS   sets the time-out property 7CC1h: "property P"
//                           (read back) "ms M"
//     channel N             uses channel N from now on (a made-up number)
//     closetitled TEXT MS   posts WM_CLOSE to the top-level windows whose
//                           title contains TEXT, waiting up to MS for one:
//                           "closed titled" or "none titled"
//     partner SERVICE       starts a partner on a thread of this process
//                           (dde/test_partner.h), serving hot links
//     push VALUE            the partner sends its advised item's new value
//     partnerend            the partner ends the conversation
// Exit status: 0 when every step ran, 1 for bad arguments.
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dde/dde.h"
#include "dde/test_partner.h"
#include "runtime/core/error_state.h"
#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/runtime_init.h"
#include "runtime/values/data_types.h"
#include "runtime/values/value_ref.h"
#include "ui/events.h"
#include "ui/plain_controls.h"
#include "ui/runtime_lock.h"
#include "ui/system_target.h"
#include "ui/ui_init.h"
#include "ui/window.h"

namespace {

const kor::InitEntry kTable[] = {
    KOR_RUNTIME_CORE_INIT_ENTRIES KOR_UI_INIT_ENTRIES KOR_DDE_INIT_ENTRIES};
kor::ModuleDescriptor g_module = {
    .init_begin = std::begin(kTable), .init_end = std::end(kTable), .name = "ddeclient"};

constexpr uint8_t kFormKinds[] = {kor::kRecButton, kor::kRecPrompt, kor::kRecEntry};

struct Driver {
  std::unique_ptr<kor::Window> owner;
  // The form's variables, in record order.
  char app[40], event[80];
  int32_t date = 0, time = 0;
  int32_t channel = 0;
  char text[301] = "(unset)";  // CSTRING(300)
  char link_text[301] = "";
  uint16_t number = 65535;
  kor::ValueRef* text_ref = nullptr;
  kor::ValueRef* link_ref = nullptr;
  kor::ValueRef* number_ref = nullptr;
  std::unique_ptr<kor::testing::TestPartner> partner;
};
Driver g;

void Say(const std::string& line) {
  printf("%s\n", line.c_str());
  fflush(stdout);
}

void SayError() { Say("error " + std::to_string(kor::ERRORCODE())); }

std::string AtomText(intptr_t atom) {
  char buf[256];
  UINT n = atom != 0 ? GlobalGetAtomNameA(static_cast<ATOM>(atom), buf, sizeof buf) : 0;
  return std::string(buf, n);
}

bool OpenOwner() {
  kor::RegisterPlainControlKinds(kFormKinds, std::size(kFormKinds));
  memset(g.app, ' ', sizeof g.app);
  memset(g.event, ' ', sizeof g.event);
  void* addresses[] = {g.app, &g.date, &g.time, g.event, nullptr};
  g.owner = kor::DeclareWindow("mxb$MXB004", "P1$FORMWINDOW", addresses);
  return g.owner->Open();
}

// Takes the owner's next DDE event; the other events are dropped.
bool TakeDdeEvent(kor::EventRecord* out) {
  kor::RuntimeLockGuard lock;
  kor::EventRecord e;
  while (g.owner->state().queue.Take(&e)) {
    if (e.number() == kor::kEventDdeData || e.number() == kor::kEventDdeClosed) {
      *out = e;
      return true;
    }
  }
  return false;
}

void SayEvent(const kor::EventRecord& e) {
  std::string line = std::string("event ") + kor::EventName(e.number()) +
                     " channel=" + (e.data[0] == g.channel ? "same" : std::to_string(e.data[0])) +
                     " service=" + AtomText(e.data[1]) + " topic=" + AtomText(e.data[2]);
  if (e.number() == kor::kEventDdeData) line += std::string(" value=") + g.link_text;
  Say(line);
}

// Messages already queued are always dispatched first, so "events 1 0"
// sees what the partner has posted so far without waiting for more.
void Events(int wanted, DWORD ms) {
  int got = 0;
  DWORD start = GetTickCount();
  while (g.owner != nullptr && got < wanted) {
    kor::EventRecord e;
    MSG msg;
    if (TakeDdeEvent(&e)) {
      SayEvent(e);
      ++got;
    } else if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    } else {
      DWORD spent = GetTickCount() - start;
      if (spent >= ms) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
  }
  Say("events " + std::to_string(got));
}

struct TitleSearch {
  const char* text;
  int found;
};

BOOL CALLBACK CloseTitled(HWND hwnd, LPARAM arg) {
  auto* search = reinterpret_cast<TitleSearch*>(arg);
  char title[256];
  if (GetWindowTextA(hwnd, title, sizeof title) > 0 && strstr(title, search->text) != nullptr) {
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    ++search->found;
  }
  return TRUE;
}

void CloseTitledWindows(const char* text, DWORD ms) {
  DWORD start = GetTickCount();
  TitleSearch search = {text, 0};
  for (;;) {
    EnumWindows(CloseTitled, reinterpret_cast<LPARAM>(&search));
    if (search.found > 0 || GetTickCount() - start >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  Say(search.found > 0 ? "closed titled" : "none titled");
}

// Runs the step at args[i]; returns the number of arguments it used, 0 for
// a bad step.
size_t Step(const std::vector<std::string>& a, size_t i) {
  const std::string& s = a[i];
  auto has = [&](size_t n) { return i + n < a.size(); };
  if (s == "open" && has(2)) {
    g.channel = kor::DDEopen(a[i + 1], a[i + 2]);
    Say(g.channel != 0 ? "open channel" : "open none");
    SayError();
    return 3;
  }
  if ((s == "exec" || s == "exec255") && has(1)) {
    std::string command = a[i + 1];
    if (s == "exec255") command.resize(255, ' ');
    kor::DDEexecute(g.channel, command);
    SayError();
    return 2;
  }
  if ((s == "request" || s == "requestnum") && has(1)) {
    bool text = s == "request";
    kor::DDErequest(g.channel, kor::kDdeOneShot, a[i + 1], text ? g.text_ref : g.number_ref);
    SayError();
    Say(text ? std::string("value ") + g.text : "value " + std::to_string(g.number));
    return 2;
  }
  if ((s == "advise" || s == "unadvise") && has(1)) {
    int32_t mode = s == "advise" ? kor::kDdeHotLink : kor::kDdeEndLink;
    kor::DDErequest(g.channel, mode, a[i + 1], g.link_ref);
    SayError();
    return 2;
  }
  if (s == "events" && has(2)) {
    Events(atoi(a[i + 1].c_str()), static_cast<DWORD>(atol(a[i + 2].c_str())));
    return 3;
  }
  if (s == "close") {
    kor::DDEclose(g.channel);
    SayError();
    return 1;
  }
  if (s == "closeowner") {
    if (g.owner != nullptr) g.owner->Close();
    Say("owner closed");
    return 1;
  }
  if (s == "property" && has(1)) {
    kor::SetSystemProperty(kor::kPropDdeTimeout, a[i + 1]);
    Say("property " + kor::SystemProperty(kor::kPropDdeTimeout) + " ms " +
        std::to_string(kor::DdeTimeoutMs()));
    return 2;
  }
  if (s == "channel" && has(1)) {
    g.channel = atoi(a[i + 1].c_str());
    return 2;
  }
  if (s == "closetitled" && has(2)) {
    CloseTitledWindows(a[i + 1].c_str(), static_cast<DWORD>(atol(a[i + 2].c_str())));
    return 3;
  }
  if (s == "partner" && has(1)) {
    g.partner = std::make_unique<kor::testing::TestPartner>(a[i + 1], 1);
    Say("partner started");
    return 2;
  }
  if (s == "push" && has(1) && g.partner != nullptr) {
    g.partner->Push(a[i + 1]);
    return 2;
  }
  if (s == "partnerend" && g.partner != nullptr) {
    g.partner->EndConversation();
    return 1;
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  size_t i = 0;
  if (!args.empty() && args[0] == "--owner") {
    if (!OpenOwner()) {
      Say("owner did not open");
      return 1;
    }
    i = 1;
  }
  g.text_ref = kor::MakeValueRef(g.text, kor::kTypeCString, sizeof g.text, 0);
  g.link_ref = kor::MakeValueRef(g.link_text, kor::kTypeCString, sizeof g.link_text, 0);
  g.number_ref = kor::MakeValueRef(&g.number, kor::kTypeUShort, sizeof g.number, 0);
  while (i < args.size()) {
    size_t used = Step(args, i);
    if (used == 0) {
      Say("bad step: " + args[i]);
      return 1;
    }
    i += used;
  }
  if (g.owner != nullptr) g.owner->Close();
  g.partner.reset();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kor::RegisterModule(&g_module, nullptr);
  kor::RuntimeStart();
  int status = Run(std::vector<std::string>(argv + 1, argv + argc));
  kor::RuntimeShutdown();
  kor::Halt(status);
}

// The batch operations over the real DDE client, the window's timer and the
// platform's clock.
#include "app/batch_screen.h"

#include <windows.h>

#include <string>

#include "dde/dde.h"
#include "runtime/builtins/os_statements.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"
#include "runtime/values/data_types.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"
#include "ui/accept.h"
#include "ui/state_functions.h"
#include "ui/thread_state.h"

namespace mxb {

namespace {

BatchMessageHook g_message_hook = nullptr;

// CSTRING(300) and USHORT targets of the error requests.
constexpr int32_t kErrorTextSize = 301;

}  // namespace

void SetBatchMessageHook(BatchMessageHook hook) { g_message_hook = hook; }

DdeBatchScreen::DdeBatchScreen(std::string service, std::string start_command)
    : service_(std::move(service)), start_command_(std::move(start_command)) {}

int32_t DdeBatchScreen::DdeOpen() { return kor::DDEopen(service_, ""); }

void DdeBatchScreen::StartEnvironment() {
  // Starting is a fire-and-forget; a failed start shows as no answer, and
  // its error must not stand for the operation's.
  kor::SaveErrorState();
  kor::PushCString(start_command_.c_str());
  kor::RunProgram(0);
  kor::RestoreErrorState();
}

void DdeBatchScreen::Pause(uint32_t ms) {
  const uint32_t start = kor::OsTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const uint32_t spent = kor::OsTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

void DdeBatchScreen::DdeExecute(int32_t channel, const std::string& command) {
  kor::DDEexecute(channel, command);
}

void DdeBatchScreen::DdeRequestError(int32_t channel, int32_t* number, std::string* text) {
  uint16_t num = 0;
  char buffer[kErrorTextSize] = "";
  kor::ValueRef* num_ref = kor::MakeValueRef(&num, kor::kTypeUShort, sizeof num, 0);
  kor::ValueRef* text_ref = kor::MakeValueRef(buffer, kor::kTypeCString, sizeof buffer, 0);
  kor::DDErequest(channel, kor::kDdeOneShot, "GetErrorNum", num_ref);
  kor::DDErequest(channel, kor::kDdeOneShot, "GetErrorMsg", text_ref);
  num_ref->Destroy();
  text_ref->Destroy();
  buffer[kErrorTextSize - 1] = '\0';
  *number = num;
  *text = buffer;
}

void DdeBatchScreen::Message(const std::string& text, const std::string& caption, uint32_t icon) {
  messages_.push_back(text);
  if (report_ == nullptr && g_message_hook != nullptr) {
    g_message_hook(text, caption, icon);
    return;
  }
  if (report_ != nullptr) report_->Note(text);
}

bool DdeBatchScreen::ShowsMessages() { return report_ == nullptr && g_message_hook != nullptr; }

void DdeBatchScreen::SetConnected(bool connected) {
  connected_ = connected;
  if (changed_ != nullptr) changed_(last_action_, connected_);
}

void DdeBatchScreen::SetLastAction(const std::string& text) {
  last_action_ = Cut(text, kLastActionSize);
  if (changed_ != nullptr) changed_(last_action_, connected_);
}

void DdeBatchScreen::Beep() { MessageBeep(0); }

void DdeBatchScreen::SetDdeTimeout(uint32_t hundredths) { kor::SetDdeTimeoutMs(hundredths * 10); }

void DdeBatchScreen::DdeClose(int32_t channel) { kor::DDEclose(channel); }

bool DdeBatchScreen::WaitForTick() {
  if (kor::TopWindow() == nullptr) return false;
  bool ticked = false;
  kor::ACCEPT([&ticked] {
    if (kor::EVENT() != kor::kEventTimer) return kor::Pass::kContinue;
    ticked = true;
    return kor::Pass::kBreak;
  });
  return ticked;
}

uint32_t DdeBatchScreen::NowMs() { return kor::OsTickCount(); }

}  // namespace mxb

// The "Runtime error" box and the fixed raisers.
#include "runtime/core/runtime_error.h"

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/core/startup.h"
#include "runtime/memory/runtime_log.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

bool g_runtime_errors_halt = true;  // from load until RuntimeShutdown

void RaiseDiagnostic(int /*number*/, const char* text) { RaiseRuntimeError(0, text); }

}  // namespace

std::string RuntimeErrorBoxText(int32_t code, const char* text) {
  std::string box;
  if (code != 0) {
    PostError(code);
    // Read from the state, not through ERROR(): this box also reports a full
    // string stack.
    ErrorStateRecord state;
    CopyErrorStateOut(&state);
    box.assign(TrimTrailingBlanks(std::string_view(state.text, sizeof state.text)));
    if (box.size() > 255) box.resize(255);
    if (text != nullptr) box += " : ";
  }
  if (text != nullptr) box += text;
  box += "\nDo you want to GPF?";
  return box;
}

void RaiseRuntimeError(int32_t code, const char* text) {
  std::string box = RuntimeErrorBoxText(code, text);
  int answer = HaltMessageBox()(box.c_str(), "Runtime error",
                                kMbYesNo | kMbIconStop | kMbDefButton2);  // 0x114
  if (answer == kIdYes) OsCauseAccessViolation();
  NoteStopMessageShown();
  if (g_runtime_errors_halt) Halt(2);
}

void RaiseRuntimeError401() { RaiseRuntimeError(kErrStackOverflow, nullptr); }
void RaiseRuntimeError402() { RaiseRuntimeError(kErrNullPointer, nullptr); }
void RaiseRuntimeError404() { RaiseRuntimeError(kErrArithmeticOverflow, nullptr); }
void RaiseRuntimeError405() { RaiseRuntimeError(kErrOutOfRange, nullptr); }
void RaiseRuntimeError406() { RaiseRuntimeError(kErrNoReturnValue, nullptr); }
void RaiseRuntimeError407() { RaiseRuntimeError(kErrNoCaseLabel, nullptr); }
void RaiseRuntimeError409() { RaiseRuntimeError(kErrIndexOutOfRange, nullptr); }

bool RuntimeErrorsHalt() { return g_runtime_errors_halt; }
void StopRuntimeErrorsHalting() { g_runtime_errors_halt = false; }

void InstallDiagnosticRaiser() { SetDiagnosticHook(&RaiseDiagnostic); }

}  // namespace kor

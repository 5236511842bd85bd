// Status texts, internal checks and the recovery point.
#include "files/velocore/status.h"

#include "runtime/core/error_state.h"
#include "runtime/core/runtime_error.h"

namespace kor::vel {

namespace {
RecoveryPoint* g_armed = nullptr;
}  // namespace

std::string Status::Describe() const {
  if (ok()) return "ok";
  if (is_check()) return "internal check " + std::to_string(check) + ": " + kCorruptionText;
  std::string text = ErrorText(code);
  if (os_error != 0) text += " (system error " + std::to_string(os_error) + ")";
  return text;
}

Status Check(int32_t number) {
  if (g_armed == nullptr) {
    std::string text = std::string(kCorruptionText) + " (" + std::to_string(number) + ")";
    RaiseRuntimeError(0, text.c_str());
  } else if (g_armed->check_ == 0) {
    g_armed->check_ = number;
  }
  return {kErrFileSystemError, number, 0};
}

RecoveryPoint::RecoveryPoint() : outer_(g_armed) { g_armed = this; }
RecoveryPoint::~RecoveryPoint() { g_armed = outer_; }
RecoveryPoint* RecoveryPoint::Armed() { return g_armed; }

std::string CheckCodeText(int32_t number) { return std::to_string(number); }
const char* CheckMessage(bool have_file_name) {
  return have_file_name ? kCorruptionText : kNoFileText;
}

}  // namespace kor::vel

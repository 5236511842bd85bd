// The deciding steps of a batch operation.
#include "app/core/batch_steps.h"

#include <string>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/os.h"

namespace mxb {

namespace {

// Failures after which the environment is started (0-based).
bool StartsAfter(int failure) { return failure % 10 == 0; }

std::string ErrorTextNow() {
  const kor::ErrorStateRecord& s = kor::CurrentErrorState();
  size_t n = 0;
  while (n < sizeof s.text && s.text[n] != '\0') ++n;
  return Clip(std::string_view(s.text, n));
}

// The listing's filter: entries with any of these attributes are left out.
constexpr uint8_t kHiddenSystemDir = 0x02 | 0x04 | 0x10;

// Calls fn(long name, short name) for each listed entry until it says stop.
template <typename Fn>
bool AnyListed(const std::string& pattern, Fn fn) {
  kor::OsFindData data;
  uint32_t error = 0;
  kor::OsFind find = kor::OsFindFirst(pattern.c_str(), &data, &error);
  if (find == nullptr) return false;
  bool found = false;
  do {
    if ((data.attributes & kHiddenSystemDir) == 0 && fn(data)) found = true;
  } while (!found && kor::OsFindNext(find, &data));
  kor::OsFindClose(find);
  return found;
}

}  // namespace

int32_t ConnectToEnvironment(BatchPort& port, int attempts, uint32_t pause_ms) {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    int32_t channel = port.DdeOpen();
    if (channel != 0) return channel;
    if (attempt + 1 == attempts) break;
    if (StartsAfter(attempt)) port.StartEnvironment();
    port.Pause(pause_ms);
  }
  return 0;
}

std::string DdeErrorMessage(int32_t code, int32_t env_number, std::string_view env_text) {
  if (code == kor::kErrDdeExecuteRefused) {
    return "Error " + std::to_string(env_number) + " : " + Clip(env_text);
  }
  if (code == kor::kErrDdeTimeout) return kDdeTimeoutText;
  if (code > 600) return "Unexpected Error: " + std::to_string(code);
  return std::string();
}

DdeCheckResult CheckDdeError(BatchPort& port, int32_t channel) {
  DdeCheckResult r;
  r.code = kor::ERRORCODE();
  r.text = ErrorTextNow();
  if (r.code <= 600) return r;
  int32_t number = 0;
  std::string text;
  if (r.code == kor::kErrDdeExecuteRefused) port.DdeRequestError(channel, &number, &text);
  port.Message(DdeErrorMessage(r.code, number, text), std::string(), 0);
  return r;
}

TickVerdict JudgeTick(uint32_t elapsed_ms, int32_t error_code, uint32_t cap_ms) {
  if (elapsed_ms > kGraceMs && error_code != 0) return TickVerdict::kAbandonOnError;
  if (elapsed_ms >= cap_ms) return TickVerdict::kAbandonOnCap;
  return TickVerdict::kLook;
}

bool SourceExists(const std::string& pattern) {
  return AnyListed(pattern, [](const kor::OsFindData&) { return true; });
}

bool OutputPresent(const BatchOpSpec& spec, std::string_view drive_path, std::string_view base) {
  return AnyListed(WaitPattern(spec, drive_path), [&](const kor::OsFindData& d) {
    // The listing queue holds the 8.3 name where there is one, cut to 13.
    std::string listed = d.short_name[0] != '\0' ? d.short_name : d.name;
    return IsExpectedOutput(spec, base, Cut(listed, kListedNameSize), d.name);
  });
}

}  // namespace mxb

// The DDE time-out, its system property 7CC1h and the client's start-up and
// close-down.
#include <string>

#include "dde/conversation.h"
#include "dde/dde.h"
#include "ui/system_target.h"

namespace kor {

namespace {

uint32_t g_timeout_ms = kDdeDefaultTimeoutMs;

// The property is in hundredths of a second; the store in milliseconds.
constexpr uint32_t kMsPerHundredth = 10;
constexpr uint32_t kMaxHundredths = 0xFFFFFFFEu / kMsPerHundredth;

// Reads a whole number of hundredths (blanks around it allowed). False for
// anything else: a sign, a fraction, no digits, more than fits.
bool ParseHundredths(const std::string& text, uint32_t* out) {
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return false;
  uint64_t value = 0;
  for (size_t i = first; i <= last; ++i) {
    char ch = text[i];
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + static_cast<uint64_t>(ch - '0');
    if (value > kMaxHundredths) return false;
  }
  *out = static_cast<uint32_t>(value);
  return true;
}

// A value that is not a whole number of hundredths leaves the time-out as
// it was.
void SetTimeoutProperty(const std::string& value) {
  uint32_t hundredths = 0;
  if (ParseHundredths(value, &hundredths)) g_timeout_ms = hundredths * kMsPerHundredth;
}

std::string TimeoutProperty() { return std::to_string(g_timeout_ms / kMsPerHundredth); }

}  // namespace

uint32_t DdeTimeoutMs() { return g_timeout_ms; }
void SetDdeTimeoutMs(uint32_t ms) { g_timeout_ms = ms; }

void InitDdeClient(int32_t arg) {
  if (arg == 0) {
    g_timeout_ms = kDdeDefaultTimeoutMs;
    SetSystemPropertyHandler(kPropDdeTimeout, &SetTimeoutProperty, &TimeoutProperty);
    return;
  }
  for (int32_t channel : AllChannels()) DDEclose(channel);
  SetSystemPropertyHandler(kPropDdeTimeout, nullptr, nullptr);
}

}  // namespace kor

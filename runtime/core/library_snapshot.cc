// Takes the window library's state through its provider and formats it.
#include "runtime/core/library_snapshot.h"

#include <string.h>

#include <atomic>

#include "runtime/core/error_state.h"

namespace kor {

namespace {

// Set at start-up on one thread, read by the fault handler on any.
std::atomic<LibraryStateProvider> g_provider{nullptr};
LibrarySnapshot g_snapshot;

// Appends to a zero-ended text of kSnapshotTextSize bytes, cutting.
class SnapshotText {
 public:
  explicit SnapshotText(char* out) : out_(out) { out_[0] = '\0'; }
  SnapshotText& Text(const char* s) {
    for (; *s != '\0' && size_ < kSnapshotTextSize - 1; ++s) out_[size_++] = *s;
    out_[size_] = '\0';
    return *this;
  }
  SnapshotText& Decimal(int32_t value) {
    char digits[16];
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : value;
    int n = 0;
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[n++] = '-';
    return Reverse(digits, n);
  }
  SnapshotText& UpperHex(uint32_t value) {
    char digits[8];
    int n = 0;
    do {
      digits[n++] = "0123456789ABCDEF"[value & 15];
      value >>= 4;
    } while (value != 0);
    return Reverse(digits, n);
  }

 private:
  SnapshotText& Reverse(const char* digits, int n) {
    char forward[17];
    for (int i = 0; i < n; ++i) forward[i] = digits[n - 1 - i];
    forward[n] = '\0';
    return Text(forward);
  }
  char* out_;
  size_t size_ = 0;
};

void CopyErrorText(char* out) {
  const ErrorStateRecord& state = CurrentErrorState();
  size_t n = 0;
  while (n < kSnapshotTextSize - 1 && n < sizeof state.text && state.text[n] != '\0') {
    out[n] = state.text[n];
    ++n;
  }
  out[n] = '\0';
}

}  // namespace

void SetLibraryStateProvider(LibraryStateProvider provider) { g_provider.store(provider); }

void FormatLibraryValue(const LibraryStateValue& value, char* out) {
  SnapshotText text(out);
  if (value.number == 0) {
    text.Text("0");
    return;
  }
  bool named = value.name != nullptr && value.name[0] != '\0';
  if (named) text.Text(value.name).Text(" (");
  text.Decimal(value.number).Text(" (0").UpperHex(static_cast<uint32_t>(value.number)).Text("H)");
  if (named) text.Text(")");
}

void TakeLibrarySnapshot() {
  LibraryState state;
  memset(&state, 0, sizeof state);
  LibraryStateProvider provider = g_provider.load();
  if (provider != nullptr) provider(&state);
  FormatLibraryValue(state.event, g_snapshot.event);
  FormatLibraryValue(state.field, g_snapshot.field);
  FormatLibraryValue(state.focus, g_snapshot.focus);
  FormatLibraryValue(state.accepted, g_snapshot.accepted);
  FormatLibraryValue(state.first_field, g_snapshot.first_field);
  FormatLibraryValue(state.last_field, g_snapshot.last_field);
  g_snapshot.error_code = ERRORCODE();
  CopyErrorText(g_snapshot.error);
}

const LibrarySnapshot& CurrentLibrarySnapshot() { return g_snapshot; }

}  // namespace kor

// The string-stack readers of the error state.
#include "runtime/builtins/error_functions.h"

#include <stddef.h>

#include "runtime/core/error_state.h"
#include "runtime/memory/memory.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

// Pushes a copy of a field without its trailing blanks (a field never set
// holds zero bytes, which count as blanks).
void PushTrimmedField(const char* field, size_t size) {
  size_t n = size;
  while (n > 0 && (field[n - 1] == ' ' || field[n - 1] == '\0')) --n;
  PushString(field, static_cast<int32_t>(n));
  DetachTop();
}

}  // namespace

#pragma push_macro("ERROR")
#undef ERROR
void ERROR() {
  const ErrorStateRecord& state = CurrentErrorState();
  constexpr int32_t kSize = sizeof state.text;
  auto* block = static_cast<char*>(Allocate(kSize));
  if (block == nullptr) {
    StringStackError();
    return;
  }
  // A state never posted holds zero bytes: it reads as blanks.
  for (int32_t i = 0; i < kSize; ++i) block[i] = state.text[i] == '\0' ? ' ' : state.text[i];
  PushOwnedString(block, kSize);
}
#pragma pop_macro("ERROR")

void DRIVERERRORCODE() {
  const ErrorStateRecord& state = CurrentErrorState();
  PushTrimmedField(state.driver_code_text, sizeof state.driver_code_text);
}

void DRIVERERROR() {
  const ErrorStateRecord& state = CurrentErrorState();
  PushTrimmedField(state.driver_text, sizeof state.driver_text);
}

}  // namespace kor

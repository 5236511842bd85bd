// Feeds arbitrary bytes to the environment-file reader as a file's content,
// then checks the invariants the rest of the runtime relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/core/error_state.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/environment.h"
#include "runtime/locale/locale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kor::ResetEnvironmentForTesting();
  kor::ApplyEnvironmentText(reinterpret_cast<const char*>(data), size);
  // Names stay inside their slots.
  for (int m = 1; m <= 12; ++m) {
    if (strlen(kor::LongMonthName(m)) > 12 || strlen(kor::ShortMonthName(m)) > 3) abort();
  }
  if (strlen(kor::MorningMark()) > 2 || strlen(kor::AfternoonMark()) > 2) abort();
  if (kor::DigraphCount() > kor::kMaxDigraphs) abort();
  // Comparison is antisymmetric on a few probes.
  const char a[] =
      "Stra\xDF"
      "e",
             b[] = "STRASSE";
  if (kor::CollateCompare(a, 6, b, 7) != -kor::CollateCompare(b, 7, a, 6)) abort();
  // Case mapping keeps A-Z and a-z paired.
  if (kor::ToUpperChar('q') != 'Q' || kor::ToLowerChar('Q') != 'q') abort();
  kor::InitErrorState(1);  // frees the message overrides the input set
  kor::InitErrorState(0);
  return 0;
}

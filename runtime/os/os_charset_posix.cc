// POSIX side of the operating-system layer's character-set services: the
// code page 437 and Windows-1252 tables stand in for the platform's own.
#include <string.h>

#include "runtime/os/charset_tables.h"
#include "runtime/os/os.h"

namespace kor {

namespace {
void Translate(const uint8_t table[256], const char* src, char* dst, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = static_cast<char>(table[static_cast<uint8_t>(src[i])]);
}
}  // namespace

// clang-format off
void OsOemToAnsi(const char* src, char* dst, size_t n) { Translate(kOem437ToAnsi1252, src, dst, n); }
void OsAnsiToOem(const char* src, char* dst, size_t n) { Translate(kAnsi1252ToOem437, src, dst, n); }
// clang-format on

bool OsIsCharAlpha(uint8_t c) { return IsAnsi1252Letter(c); }
uint8_t OsCharLower(uint8_t c) { return kAnsi1252Lower[c]; }
uint8_t OsCharUpper(uint8_t c) { return kAnsi1252Upper[c]; }

void OsSystemCharacterOrder(uint8_t order[253]) {
  memcpy(order, kAnsi1252SystemOrder, sizeof kAnsi1252SystemOrder);
}

// POSIX file systems take long names.
bool OsLongFileNamesSupported() { return true; }

}  // namespace kor

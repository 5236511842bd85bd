// Win32 side of the operating-system layer's character-set services: OEM and
// ANSI conversion, letters and case, the system's sort order.
#include <windows.h>

#include "runtime/os/os.h"

namespace kor {

namespace {
// The conversion functions take a DWORD length; convert in pieces so that
// any size_t is safe.
constexpr size_t kPiece = 1u << 30;
}  // namespace

void OsOemToAnsi(const char* src, char* dst, size_t n) {
  while (n > 0) {
    size_t k = n < kPiece ? n : kPiece;
    OemToCharBuffA(src, dst, static_cast<DWORD>(k));
    src += k;
    dst += k;
    n -= k;
  }
}

void OsAnsiToOem(const char* src, char* dst, size_t n) {
  while (n > 0) {
    size_t k = n < kPiece ? n : kPiece;
    CharToOemBuffA(src, dst, static_cast<DWORD>(k));
    src += k;
    dst += k;
    n -= k;
  }
}

bool OsIsCharAlpha(uint8_t c) { return IsCharAlphaA(static_cast<CHAR>(c)) != FALSE; }

// CharLowerA and CharUpperA take a single character in the low word of the
// pointer argument; character 0 would read as a null pointer.
uint8_t OsCharLower(uint8_t c) {
  if (c == 0) return 0;
  return static_cast<uint8_t>(
      reinterpret_cast<UINT_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(c)))));
}

uint8_t OsCharUpper(uint8_t c) {
  if (c == 0) return 0;
  return static_cast<uint8_t>(
      reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(c)))));
}

void OsSystemCharacterOrder(uint8_t order[253]) {
  // A stable insertion sort under the system's comparison: characters it
  // finds equal keep their byte order.
  int n = 0;
  for (int code = 2; code <= 254; ++code) {
    char c = static_cast<char>(code);
    int j = n;
    while (j > 0) {
      char prev = static_cast<char>(order[j - 1]);
      if (CompareStringA(LOCALE_USER_DEFAULT, 0, &prev, 1, &c, 1) <= CSTR_EQUAL) break;
      order[j] = order[j - 1];
      --j;
    }
    order[j] = static_cast<uint8_t>(code);
    ++n;
  }
}

bool OsLongFileNamesSupported() {
  DWORD max_component = 0;
  if (!GetVolumeInformationA(nullptr, nullptr, 0, nullptr, &max_component, nullptr, nullptr, 0))
    return true;
  return max_component > 12;
}

}  // namespace kor

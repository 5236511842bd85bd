// Character-set tables for code page 437 (OEM) and Windows-1252 (ANSI): the
// conversions, letters, case mapping and the system's sort order of the
// Windows character set, as the platform gives them on a US-English system.
#pragma once

#include <cstdint>

namespace kor {

// OEM (437) to ANSI (1252) and back, with the system's best-fit choices for
// characters the other set lacks (box drawing to '+', '-' and so on).
extern const uint8_t kOem437ToAnsi1252[256];
extern const uint8_t kAnsi1252ToOem437[256];
// Upper and lower case of every Windows-1252 character (itself when none).
extern const uint8_t kAnsi1252Upper[256];
extern const uint8_t kAnsi1252Lower[256];
// Bit c%8 of byte c/8 is set when character c is a letter.
extern const uint8_t kAnsi1252Letters[32];
// The characters 2 to 254 in the order the system's string comparison
// sorts them (a stable sort; characters it finds equal keep byte order).
extern const uint8_t kAnsi1252SystemOrder[253];

inline bool IsAnsi1252Letter(uint8_t c) { return (kAnsi1252Letters[c >> 3] >> (c & 7)) & 1; }

}  // namespace kor

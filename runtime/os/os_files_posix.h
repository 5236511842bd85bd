// Helpers shared by the POSIX files of the operating-system layer: the mapping
// of errno values to the system error numbers the layer returns, and the
// attribute and packed-time conversions that the directory search reuses.
#pragma once

#include <time.h>

#include <cstdint>

namespace kor {

// The system error number for an errno value; `name` (may be null) lets a
// missing directory on the way be told apart from a missing file (3 vs 2).
uint32_t OsErrnoToSystem(int err, const char* name);
// Attribute bits for a file of st_mode `mode` whose last path component is
// `base_name` (names starting with a dot are hidden).
uint8_t OsAttributesFromStat(unsigned mode, const char* base_name);
// Packs a time as local date and time words; false outside 1980..2107.
bool OsPackDosTime(time_t t, uint16_t* date, uint16_t* time_word);

}  // namespace kor

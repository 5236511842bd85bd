// The language's system statements built on the operating-system layer:
// RunProgram starts another program, ListDirectory lists files into a queue.
#pragma once

#include <cstdint>

#include "runtime/core/queue.h"

namespace kor {

// ---- RunProgram -----------------------------------------------------------

// The window library's global lock, released while RunProgram waits so that
// other threads of the window library keep working. Until the window library
// installs its hooks nothing is released.
using WindowLockHook = void (*)();
void SetWindowLockHooks(WindowLockHook release, WindowLockHook take);

// Takes the command off the string stack (trailing blanks removed) and starts
// it. wait != 0: a new process with no inherited handles, waited for without
// limit. wait == 0: through the system's program launcher, shown normally,
// returning at once. A failed start sets the run code to -4 and posts the
// system's error (2 "File Not Found" for a missing program; in the launcher
// form a result of 0, lack of memory, posts 300 + the system's error).
void RunProgram(int32_t wait);
// 0, or -4 after the last RunProgram failed to start its program.
int32_t RunCode();

// ---- ListDirectory --------------------------------------------------------

// One record of a directory listing queue, 26 bytes, packed:
//   offset size  field
//        0   13  NAME    STRING(13), the short (8.3) name where the system has
//                        one, else the name; cut to 13, blank-padded
//       13    4  DATE    LONG, day count (4 = 1 January 1801)
//       17    4  TIME    LONG, hundredths since midnight + 1, seconds even
//       21    4  SIZE    LONG, the low 32 bits of the size
//       25    1  ATTRIB  BYTE: 1 read-only, 2 hidden, 4 system, 16 directory,
//                        32 archive
// Integers are little-endian, as the language stores them.
inline constexpr uint32_t kDirNameOffset = 0, kDirNameSize = 13;
inline constexpr uint32_t kDirDateOffset = kDirNameOffset + kDirNameSize;
inline constexpr uint32_t kDirTimeOffset = kDirDateOffset + 4;
inline constexpr uint32_t kDirSizeOffset = kDirTimeOffset + 4;
inline constexpr uint32_t kDirAttribOffset = kDirSizeOffset + 4;
inline constexpr uint32_t kDirEntrySize = kDirAttribOffset + 1;
static_assert(kDirEntrySize == 26, "a directory entry is 26 bytes");

// Takes the file pattern off the string stack (trailing blanks removed, at
// most 260 characters) and appends one record per matching entry, in the
// order the system returns them. An entry with none of the attributes hidden,
// system and directory is always listed; one with some of them only when all
// of them are in `filter`. A pattern that matches nothing leaves the table
// unchanged. A table whose records are not 26 bytes gets nothing and posts 47
// "Invalid Record Declaration"; a failed append posts 8 and ends the listing.
void ListDirectory(Queue* table, uint32_t filter);

// The conversions ListDirectory applies to the packed date and time words:
// day count (0 for a zero date) and hundredths since midnight + 1.
int32_t DayCountFromPackedDate(uint16_t date);
int32_t TimeFromPackedTime(uint16_t time);

}  // namespace kor

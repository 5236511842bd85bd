// The application's data: the project list `Apps` and the activity log
// `TempFile` (Velocore files in the current folder, created when missing),
// the record-less target file on the DOS driver named by GLO:TargetName,
// their record buffers and the use counts.
//
// Apps ("APPS"), 133-byte record:
//   offset size  field
//        0   80  APP:DRIVENPATH   STRING(80), ends in "\"
//       80   50  APP:APPLICATION  STRING(50), file name with its extension
//      130    2  APP:TAG          SHORT, 1 = tagged
//      132    1  APP:PRIORITY     BYTE, lower first
// keys: APP:DriveKey (DRIVENPATH, APPLICATION; OPT NOCASE, unique),
//       APP:PriorityKey (PRIORITY; DUP NOCASE)
//
// TempFile ("TEMPFILE"), 128-byte record:
//        0   40  TMP:APPS   STRING(40)
//       40    4  TMP:DATE   LONG, day number
//       44    4  TMP:CLOCK  LONG, hundredths since midnight + 1
//       48   80  TMP:EVENT  STRING(80)
// key: TMP:ClockKey (DATE, CLOCK; DUP OPT NOCASE)
//
// Integers are little-endian, as the language stores them. A project name
// without "." is processed with its whole name as base name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/file_decl.h"

namespace mxb {

#pragma pack(push, 1)
struct AppsRecord {
  char drive_path[80];
  char application[50];
  int16_t tag;
  uint8_t priority;
};
struct TempRecord {
  char apps[40];
  int32_t date;
  int32_t clock;
  char event[80];
};
#pragma pack(pop)
static_assert(offsetof(AppsRecord, application) == 80 && offsetof(AppsRecord, tag) == 130 &&
              offsetof(AppsRecord, priority) == 132 && sizeof(AppsRecord) == 133);
static_assert(offsetof(TempRecord, date) == 40 && offsetof(TempRecord, clock) == 44 &&
              offsetof(TempRecord, event) == 48 && sizeof(TempRecord) == 128);

// The declarations. Their driver entries and names are fixed; tests may
// point `name` elsewhere and the driver at another entry.
struct AppData {
  AppsRecord apps_record;
  TempRecord temp_record;
  char target_name[80];  // GLO:TargetName
  int32_t apps_uses = 0;
  int32_t temp_uses = 0;
  kor::FileDescriptor apps;
  kor::FileDescriptor temp;
  kor::FileDescriptor target;
  kor::KeyDescriptor drive_key;
  kor::KeyDescriptor priority_key;
  kor::KeyDescriptor clock_key;
};
AppData& Data();

// Clears the record buffers (blanks and zeros) and the target name.
void ClearAppData();
// Sets GLO:TargetName (cut to 80, blank-padded).
void SetTargetName(std::string_view name);
// A blank-padded string field from a text, cut to its size.
void StoreField(char* field, size_t size, std::string_view text);

}  // namespace mxb

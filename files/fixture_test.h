// A FILE declaration with every field type the DOS driver accepts, GROUP
// nesting, an array, an OVER field, a KEY with a descending component, an
// INDEX, a MEMO and a BLOB; shared by the dump and trace tests.
#pragma once

#include <cstdint>

#include "files/file_decl.h"

namespace kor::testing {

// Field offsets in the record buffer.
enum : uint32_t {
  // clang-format off
  kOffByte = 0, kOffShort = 1, kOffUShort = 3, kOffDate = 5, kOffTime = 9, kOffLong = 13,
  kOffULong = 17, kOffSReal = 21, kOffReal = 25, kOffDecimal = 33, kOffPDecimal = 36,
  kOffBFloat4 = 39, kOffBFloat8 = 43, kOffName = 51, kOffCode = 61, kOffPName = 67,
  kOffStreet = 73, kOffZip = 81, kOffFlags = 85, kOffCodes = 87, kRecordSize = 89,
  // clang-format on
};

struct EveryTypeFile {
  EveryTypeFile();
  uint8_t record[kRecordSize];
  uint8_t notes[20];
  uint8_t picture[4];
  MemoDescriptor notes_memo;
  MemoDescriptor picture_blob;
  MemoDescriptor* memos[2];
  KeyDescriptor name_key;
  KeyDescriptor long_index;
  KeyDescriptor* keys[2];
  FileDescriptor file;

  // Fills the record and the memos with the values the tests expect.
  void FillSample();
};

}  // namespace kor::testing
